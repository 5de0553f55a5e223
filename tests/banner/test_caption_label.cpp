// The banner's caption label paints a picture it keeps of itself; after any change of caption it
// must still show what a plain label with the same settings shows.
#include "banner/caption_label.h"

#include <QTest>

// One change made to both labels.
using Change = void (*)(QLabel &);

class CaptionLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void changeShowsInThePaint_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("text") << Change([](QLabel &label) { label.setText("商城导航"); });
        QTest::newRow("font") << Change([](QLabel &label) { label.setFont(QFont("Sans", 14)); });
        QTest::newRow("palette") << Change([](QLabel &l) { l.setPalette(QPalette(Qt::red)); });
    }

    void changeShowsInThePaint()
    {
        QFETCH(Change, change);
        tavrin::CaptionLabel caption;
        QLabel plain;
        // Plain text on an opaque background: the kind of label whose picture is kept.
        const Change setUp = [](QLabel &label) {
            label.setTextFormat(Qt::PlainText);
            label.setAutoFillBackground(true);
            label.setText("淘宝特卖 Tavrin");
        };
        // The first paint after a change draws the label itself and then keeps a picture; the
        // paints after it draw that picture.
        for (const Change step : {setUp, change}) {
            step(caption);
            step(plain);
            for (int paint = 0; paint < 2; ++paint, QCoreApplication::processEvents())
                QCOMPARE(caption.grab().toImage(), plain.grab().toImage());
        }
    }
};

QTEST_MAIN(CaptionLabelTest)
#include "test_caption_label.moc"
