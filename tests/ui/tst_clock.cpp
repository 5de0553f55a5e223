// The game clock: its captions after a number of ticks and its 16-bit count.
#include "clock_caption.h"
#include "ui_test_support.h"

#include <QAction>
#include <QLabel>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

class ClockTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionAfterTicks_data();
    void captionAfterTicks();
    void countStartsAgainFromZeroAfter32767Seconds();
    void newGameStartsTheClockWithoutRewritingTheCaption();
    void timerTicksOnceASecondOnceStarted();

private:
    QLabel *timenow() const { return window_->findChild<QLabel *>(QStringLiteral("timenow")); }

    PrivateRuntimeFolder runtime_;
    xq *window_ = nullptr;
};

void ClockTest::init()
{
    window_ = new xq;
    QVERIFY(loadWindow(*window_));
}

void ClockTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void ClockTest::captionAfterTicks_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("caption");
    QTest::newRow("first tick") << 1 << "00:01";
    QTest::newRow("59 seconds") << 59 << "00:59";
    QTest::newRow("one minute") << 60 << "01:00";
    QTest::newRow("one second short of an hour") << 3599 << "59:59";
    QTest::newRow("an hour reads 60 minutes") << 3600 << "60:00";
    QTest::newRow("100 minutes keep their last two digits") << 6000 << "00:00";
    QTest::newRow("101 minutes and a second") << 6061 << "01:01";
}

void ClockTest::captionAfterTicks()
{
    QFETCH(int, ticks);
    QFETCH(QString, caption);
    for (int tick = 0; tick < ticks; ++tick) {
        window_->clockTick();
    }
    QCOMPARE(window_->flow().timecount, std::int16_t(ticks));
    QCOMPARE(timenow()->text(), caption);
}

void ClockTest::countStartsAgainFromZeroAfter32767Seconds()
{
    window_->flow().timecount = 32766;
    window_->clockTick();
    QCOMPARE(window_->flow().timecount, std::int16_t(32767));
    QCOMPARE(timenow()->text(), QStringLiteral("46:07")); // 546 minutes and 7 seconds
    window_->clockTick();
    QCOMPARE(window_->flow().timecount, std::int16_t(0));
    QCOMPARE(timenow()->text(), QStringLiteral("00:00"));
    window_->clockTick();
    QCOMPARE(timenow()->text(), QStringLiteral("00:01"));
    QCOMPARE(clockCaption(std::int16_t(-5)), QStringLiteral("00:00"));
}

void ClockTest::newGameStartsTheClockWithoutRewritingTheCaption()
{
    auto *clock = window_->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(!clock->isActive());
    for (int tick = 0; tick < 75; ++tick) {
        window_->clockTick();
    }
    window_->findChild<QAction *>(QStringLiteral("MNrj"))->trigger();
    QVERIFY(clock->isActive());
    QCOMPARE(window_->flow().timecount, std::int16_t(0));
    QCOMPARE(timenow()->text(), QStringLiteral("01:15"));
    window_->clockTick();
    QCOMPARE(timenow()->text(), QStringLiteral("00:01"));
}

void ClockTest::timerTicksOnceASecondOnceStarted()
{
    window_->findChild<QAction *>(QStringLiteral("MNrj"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(timenow()->text(), QStringLiteral("00:01"), 3000);
}

QTEST_MAIN(ClockTest)
#include "tst_clock.moc"
