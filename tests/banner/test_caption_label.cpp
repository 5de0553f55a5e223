// The banner's caption label keeps a picture of itself; what it shows must never differ from
// what a plain label with the same settings shows, before and after each change.
#include "caption_label.h"
#include "fonts.h"

#include <QApplication>
#include <QTest>

using tavrin::CaptionLabel;

namespace {

const QColor kOrange(0xFF, 0xC0, 0x80);
const QColor kDarkBlue(0x00, 0x00, 0xC0);
const QColor kRed(0xFF, 0x00, 0x00);

// Gives `label` the settings of a banner caption.
void setUpCaption(QLabel &label, const QString &text)
{
    label.setGeometry(0, 0, 167, 14);
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font = tavrin::songFont(10.5);
    font.setUnderline(true);
    label.setFont(font);
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, kOrange);
    palette.setColor(QPalette::WindowText, kDarkBlue);
    label.setPalette(palette);
    label.setText(text);
}

void setTextColour(QLabel &label, const QColor &colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

} // namespace

class CaptionLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void showsWhatAPlainLabelShows_data();
    void showsWhatAPlainLabelShows();
};

void CaptionLabelTest::showsWhatAPlainLabelShows_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QColor>("secondColour");

    QTest::newRow("chinese caption, then another")
        << QStringLiteral("淘宝特卖") << QStringLiteral("商城导航") << kDarkBlue;
    QTest::newRow("latin caption, then chinese")
        << QStringLiteral("Tavrin 1.0") << QStringLiteral("更多软件") << kDarkBlue;
    QTest::newRow("same caption turning red under the pointer")
        << QStringLiteral("今日特价") << QStringLiteral("今日特价") << kRed;
    QTest::newRow("caption emptied") << QStringLiteral("今日特价") << QString() << kDarkBlue;
    QTest::newRow("empty caption filled") << QString() << QStringLiteral("今日特价") << kRed;
}

void CaptionLabelTest::showsWhatAPlainLabelShows()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QColor, secondColour);

    CaptionLabel caption;
    QLabel plain;
    setUpCaption(caption, first);
    setUpCaption(plain, first);
    caption.show();
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&caption));
    QVERIFY(QTest::qWaitForWindowExposed(&plain));

    // The first paint draws the label itself; the ones after it draw the picture it then took.
    QCOMPARE(caption.grab().toImage(), plain.grab().toImage());
    QCoreApplication::processEvents();
    QCOMPARE(caption.grab().toImage(), plain.grab().toImage());

    for (QLabel *label : {static_cast<QLabel *>(&caption), &plain}) {
        label->setText(second);
        setTextColour(*label, secondColour);
    }
    QCOMPARE(caption.grab().toImage(), plain.grab().toImage());
    QCoreApplication::processEvents();
    QCOMPARE(caption.grab().toImage(), plain.grab().toImage());
}

QTEST_MAIN(CaptionLabelTest)
#include "test_caption_label.moc"
