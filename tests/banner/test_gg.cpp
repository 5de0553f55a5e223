#include "gg_fixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QMouseEvent>
#include <QTest>

using tavrin::Gg;

namespace {

const QColor kDesignBlue(0x00, 0x00, 0xC0);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kOrange(0xFF, 0xC0, 0x80);

QColor textColour(const Gg &banner, const QString &name)
{
    return labelOf(banner, name)->palette().color(QPalette::WindowText);
}

// Moves the pointer over the named child, or over the banner's own background for "Gg".
void movePointerOver(Gg &banner, const QString &name)
{
    QWidget *target = name == QLatin1String("Gg") ? &banner : banner.findChild<QWidget *>(name);
    QVERIFY(target != nullptr);
    const QPointF local(1, 1);
    QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

void tick(Gg &banner, int times)
{
    for (int i = 0; i < times; ++i) {
        banner.Timer1Timer();
    }
}

// Ticks until the next entry has been brought in; returns the caption it brought.
QString tickToNextAdvance(Gg &banner)
{
    const int before = banner.nextEntryIndex();
    for (int i = 0; i < 1000; ++i) {
        banner.Timer1Timer();
        if (banner.tickerTop() == 24) {
            return labelOf(banner, "Label1")->text();
        }
    }
    qWarning("no advance after index %d", before);
    return {};
}

} // namespace

class GgTest : public QObject
{
    Q_OBJECT

private slots:
    void loadFillsTableAndCaptions_data();
    void loadFillsTableAndCaptions();
    void loadOfAStalledFeedEndsWithinTheDeadline();
    void loadFetchesNothingButTheFeed();
    void childrenSitAtTheirDesignPlacesAndAreClippedNotMoved_data();
    void childrenSitAtTheirDesignPlacesAndAreClippedNotMoved();
    void captionsUseTheUnderlinedSongFaceAndThePointingHand_data();
    void captionsUseTheUnderlinedSongFaceAndThePointingHand();
    void backgroundsAreOrangeExceptTheTicker();
    void captionsAreShownAsPlainText();
    void tickerMovesOnePixelPerTickAndRestsAtSix_data();
    void tickerMovesOnePixelPerTickAndRestsAtSix();
    void tickerRunsOnItsOwnClock();
    void rotationShowsEntryZeroTwiceThenCycles();
    void rotationWithOneEntryRepeatsIt();
    void pointerMovesHoldReleaseAndColour_data();
    void pointerMovesHoldReleaseAndColour();
    void nextTickAfterAHoldMovesOnWithoutPausing();
};

void GgTest::loadFillsTableAndCaptions_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("label2_0");
    QTest::addColumn<QString>("label2_1");

    QTest::newRow("three items") << feedOf(
        {{"一", "http://a/1"}, {"二", "http://a/2"}, {"三", "http://a/3"}})
                                 << QStringList {"一", "二", "三"} << "一"
                                 << "一"
                                 << "二";
    QTest::newRow("one item keeps the design caption of Label2(1)")
        << feedOf({{"唯一", "http://a/1"}}) << QStringList {"唯一"} << "唯一"
        << "唯一"
        << "商城导航";
    QTest::newRow("empty first title falls back")
        << feedOf({{"", "http://a/1"}, {"二", "http://a/2"}}) << kFallbackCaptions << "淘宝特卖123"
        << "淘宝特卖123"
        << "商城导航";
    QTest::newRow("no channel falls back") << QByteArray("<rss><item><title>A</title></item></rss>")
                                           << kFallbackCaptions << "淘宝特卖123"
                                           << "淘宝特卖123"
                                           << "商城导航";
    QTest::newRow("malformed document falls back")
        << QByteArray("<rss><channel><item><title>A</title>") << kFallbackCaptions << "淘宝特卖123"
        << "淘宝特卖123"
        << "商城导航";
    QTest::newRow("oversized document falls back")
        << feedOf({{"A", "http://a/1"}}) + QByteArray(1024 * 1024, ' ') << kFallbackCaptions
        << "淘宝特卖123"
        << "淘宝特卖123"
        << "商城导航";
}

void GgTest::loadFillsTableAndCaptions()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, table);
    QFETCH(QString, label1);
    QFETCH(QString, label2_0);
    QFETCH(QString, label2_1);

    const auto banner = bannerServing(document);

    QCOMPARE(captionsOf(*banner), table);
    QCOMPARE(labelOf(*banner, "Label1")->text(), label1);
    QCOMPARE(labelOf(*banner, "Label2_0")->text(), label2_0);
    QCOMPARE(labelOf(*banner, "Label2_1")->text(), label2_1);
    QCOMPARE(labelOf(*banner, "Label3")->text(), QStringLiteral("更多软件"));
    QCOMPARE(banner->shownLink(), banner->entries().front().link);
    QCOMPARE(banner->nextEntryIndex(), 0);
    QVERIFY(banner->tickerRunning());
}

void GgTest::loadOfAStalledFeedEndsWithinTheDeadline()
{
    LocalHttpServer server;
    server.serve(
        "/g/g.xml", {200, feedOf({{"A", "h"}}), {}, LocalHttpServer::Behaviour::NeverAnswer});
    QElapsedTimer clock;
    clock.start();

    const Gg banner(nullptr, server.url("/g/g.xml"));

    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(captionsOf(banner), kFallbackCaptions);
    QCOMPARE(banner.loadedCount(), 0);
}

void GgTest::loadFetchesNothingButTheFeed()
{
    LocalHttpServer server;
    const QByteArray dtd = "<!ENTITY x SYSTEM \"" + server.url("/entity").toLatin1() + "\">";
    server.serve("/g/g.xml",
        {200,
            "<?xml version=\"1.0\"?><!DOCTYPE rss SYSTEM \"" + server.url("/dtd").toLatin1()
                + "\" [" + dtd
                + "]><rss><channel><item><title>A&x;</title>"
                  "<link>http://a/1</link></item></channel></rss>",
            {}, {}});

    const Gg banner(nullptr, server.url("/g/g.xml"));

    QCOMPARE(server.requestedPaths(), QByteArrayList {"/g/g.xml"});
    QCOMPARE(banner.entries().size(), std::size_t {1});
    QCOMPARE(banner.loadedCount(), 1);
}

void GgTest::childrenSitAtTheirDesignPlacesAndAreClippedNotMoved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");

    QTest::newRow("Picture1") << "Picture1" << QRect(72, 0, 177, 25);
    QTest::newRow("Label1 inside Picture1") << "Label1" << QRect(0, 8, 167, 14);
    QTest::newRow("Label2(0)") << "Label2_0" << QRect(8, 6, 65, 17);
    QTest::newRow("Label2(1)") << "Label2_1" << QRect(264, 8, 73, 17);
    QTest::newRow("Label3") << "Label3" << QRect(344, 8, 57, 17);
}

void GgTest::childrenSitAtTheirDesignPlacesAndAreClippedNotMoved()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    const auto banner = unreachableBanner();
    QCOMPARE(banner->size(), QSize(405, 31));

    banner->setGeometry(0, 384, 345, 33);

    QCOMPARE(banner->findChild<QWidget *>(name)->geometry(), place);
}

void GgTest::captionsUseTheUnderlinedSongFaceAndThePointingHand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Qt::Alignment>("horizontal");

    QTest::newRow("Label1 centred") << "Label1" << Qt::Alignment(Qt::AlignHCenter);
    QTest::newRow("Label2(0)") << "Label2_0" << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("Label2(1)") << "Label2_1" << Qt::Alignment(Qt::AlignLeft);
    QTest::newRow("Label3") << "Label3" << Qt::Alignment(Qt::AlignLeft);
}

void GgTest::captionsUseTheUnderlinedSongFaceAndThePointingHand()
{
    QFETCH(QString, name);
    QFETCH(Qt::Alignment, horizontal);
    const auto banner = unreachableBanner();
    const QLabel *label = labelOf(*banner, name);

    QCOMPARE(label->font().pointSizeF(), 10.5);
    QVERIFY(label->font().underline());
    QCOMPARE(label->font().weight(), QFont::Normal);
    QVERIFY(label->font().families().contains(QStringLiteral("AR PL UMing CN")));
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, horizontal);
    QCOMPARE(textColour(*banner, name), kDesignBlue);
}

void GgTest::backgroundsAreOrangeExceptTheTicker()
{
    const auto banner = unreachableBanner();

    QVERIFY(banner->autoFillBackground());
    QCOMPARE(banner->palette().color(QPalette::Window), kOrange);
    QCOMPARE(banner->findChild<QWidget *>("Picture1")->palette().color(QPalette::Window), kOrange);
    for (const QString name : {"Label2_0", "Label2_1", "Label3"}) {
        QCOMPARE(labelOf(*banner, name)->palette().color(QPalette::Window), kOrange);
    }
    QCOMPARE(labelOf(*banner, "Label1")->palette().color(QPalette::Window),
        QApplication::palette().color(QPalette::Window));
}

void GgTest::captionsAreShownAsPlainText()
{
    const auto banner = bannerServing(feedOf({{"&lt;img src=x&gt;&lt;b&gt;粗&lt;/b&gt;", "h"}}));

    for (const QString name : {"Label1", "Label2_0"}) {
        QCOMPARE(labelOf(*banner, name)->text(), QStringLiteral("<img src=x><b>粗</b>"));
        QCOMPARE(labelOf(*banner, name)->textFormat(), Qt::PlainText);
    }
}

void GgTest::tickerMovesOnePixelPerTickAndRestsAtSix_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("nextIndex");
    QTest::addColumn<QString>("caption");

    QTest::newRow("start at design top") << 0 << 8 << 20 << 0 << "淘宝特卖123";
    QTest::newRow("first tick rises one pixel") << 1 << 7 << 20 << 0 << "淘宝特卖123";
    QTest::newRow("second tick reaches the rest") << 2 << 6 << 6000 << 0 << "淘宝特卖123";
    QTest::newRow("rest ends after one tick") << 3 << 5 << 20 << 0 << "淘宝特卖123";
    QTest::newRow("reaches the top edge") << 8 << 0 << 20 << 0 << "淘宝特卖123";
    QTest::newRow("entry 0 re-enters at the bottom") << 9 << 24 << 20 << 1 << "淘宝特卖123";
    QTest::newRow("rises towards the rest") << 26 << 7 << 20 << 1 << "淘宝特卖123";
    QTest::newRow("second rest") << 27 << 6 << 6000 << 1 << "淘宝特卖123";
    QTest::newRow("top edge again") << 33 << 0 << 20 << 1 << "淘宝特卖123";
    QTest::newRow("entry 1 enters") << 34 << 24 << 20 << 2 << "商城导航";
}

void GgTest::tickerMovesOnePixelPerTickAndRestsAtSix()
{
    QFETCH(int, ticks);
    QFETCH(int, top);
    QFETCH(int, interval);
    QFETCH(int, nextIndex);
    QFETCH(QString, caption);
    const auto banner = unreachableBanner();

    tick(*banner, ticks);

    QCOMPARE(banner->tickerTop(), top);
    QCOMPARE(banner->tickerInterval(), interval);
    QCOMPARE(banner->nextEntryIndex(), nextIndex);
    QCOMPARE(labelOf(*banner, "Label1")->text(), caption);
}

void GgTest::tickerRunsOnItsOwnClock()
{
    const auto banner = unreachableBanner();

    QTRY_COMPARE_WITH_TIMEOUT(banner->tickerTop(), 6, 2000);
    QTest::qWait(300);

    QCOMPARE(banner->tickerTop(), 6);
    QCOMPARE(banner->tickerInterval(), 6000);
}

void GgTest::rotationShowsEntryZeroTwiceThenCycles()
{
    const auto banner = unreachableBanner();
    QStringList shown {labelOf(*banner, "Label1")->text()};
    QStringList links {banner->shownLink()};

    for (int advance = 1; advance <= 17; ++advance) {
        shown << tickToNextAdvance(*banner);
        links << banner->shownLink();
    }

    QStringList expected {"淘宝特卖123"};
    for (int advance = 1; advance <= 17; ++advance) {
        expected << kFallbackCaptions.at((advance - 1) % 8);
    }
    QCOMPARE(shown, expected);
    for (int i = 0; i < shown.size(); ++i) {
        const auto at = kFallbackCaptions.indexOf(shown.at(i));
        QCOMPARE(links.at(i), banner->entries().at(static_cast<std::size_t>(at)).link);
    }
}

void GgTest::rotationWithOneEntryRepeatsIt()
{
    const auto banner = bannerServing(feedOf({{"唯一", "http://a/1"}}));

    for (int advance = 1; advance <= 4; ++advance) {
        QCOMPARE(tickToNextAdvance(*banner), QStringLiteral("唯一"));
        QCOMPARE(banner->shownLink(), QStringLiteral("http://a/1"));
        QCOMPARE(banner->nextEntryIndex(), 1);
    }
}

void GgTest::pointerMovesHoldReleaseAndColour_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QColor>("label1");
    QTest::addColumn<QColor>("label2_0");
    QTest::addColumn<QColor>("label2_1");

    QTest::newRow("untouched") << QStringList {} << true << kDesignBlue << kDesignBlue
                               << kDesignBlue;
    QTest::newRow("over Label1 holds and reddens")
        << QStringList {"Label1"} << false << kRed << kDesignBlue << kDesignBlue;
    QTest::newRow("leaving Label1 over Label3 stays held")
        << QStringList {"Label1", "Label3"} << false << kRed << kDesignBlue << kDesignBlue;
    QTest::newRow("Picture1 releases and blues Label1")
        << QStringList {"Label1", "Picture1"} << true << kBlue << kDesignBlue << kDesignBlue;
    QTest::newRow("background releases and blues Label1")
        << QStringList {"Label1", "Gg"} << true << kBlue << kBlue << kBlue;
    QTest::newRow("over Label2(0) reddens it only")
        << QStringList {"Label2_0"} << true << kDesignBlue << kRed << kDesignBlue;
    QTest::newRow("Label2(0) then Picture1 stays red")
        << QStringList {"Label2_0", "Picture1"} << true << kBlue << kRed << kDesignBlue;
    QTest::newRow("Label2(1) then background blues it")
        << QStringList {"Label2_1", "Gg"} << true << kBlue << kBlue << kBlue;
    QTest::newRow("Label2(1) then Label3 stays red")
        << QStringList {"Label2_1", "Label3"} << true << kDesignBlue << kDesignBlue << kRed;
}

void GgTest::pointerMovesHoldReleaseAndColour()
{
    QFETCH(QStringList, path);
    QFETCH(bool, running);
    QFETCH(QColor, label1);
    QFETCH(QColor, label2_0);
    QFETCH(QColor, label2_1);
    const auto banner = unreachableBanner();
    tick(*banner, 4);

    for (const QString &name : path) {
        movePointerOver(*banner, name);
    }

    QCOMPARE(banner->tickerRunning(), running);
    QCOMPARE(banner->tickerTop(), path.contains("Label1") ? 6 : 4);
    QCOMPARE(textColour(*banner, "Label1"), label1);
    QCOMPARE(textColour(*banner, "Label2_0"), label2_0);
    QCOMPARE(textColour(*banner, "Label2_1"), label2_1);
    QCOMPARE(textColour(*banner, "Label3"), kDesignBlue);
}

void GgTest::nextTickAfterAHoldMovesOnWithoutPausing()
{
    const auto banner = unreachableBanner();
    tick(*banner, 12);
    movePointerOver(*banner, "Label1");
    QCOMPARE(banner->tickerTop(), 6);

    movePointerOver(*banner, "Picture1");
    banner->Timer1Timer();

    QCOMPARE(banner->tickerTop(), 5);
    QCOMPARE(banner->tickerInterval(), 20);
    QVERIFY(banner->tickerRunning());
}

QTEST_MAIN(GgTest)
#include "test_gg.moc"
