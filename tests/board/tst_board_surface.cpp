// The drawn board alone: grid lines of one width at any scale.
#include "board/board_surface.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace tavrin;

namespace {
// Runs of grid colour along line `at` of `image`, across (or `down`), as (start, width).
QList<QPoint> gridRuns(const QImage &image, int at, bool down)
{
    QList<QPoint> runs;
    const int length = down ? image.height() : image.width();
    for (int i = 0; i < length; ++i) {
        if (image.pixelColor(down ? at : i, down ? i : at) != kGridColour)
            continue;
        if (!runs.isEmpty() && runs.last().x() + runs.last().y() == i)
            ++runs.last().ry();
        else
            runs << QPoint(i, 1);
    }
    return runs;
}

} // namespace

class BoardSurfaceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardSurface> board;

private slots:
    void init()
    {
        board = std::make_unique<BoardSurface>();
        board->resize(340, 340);
        board->drawGrid();
    }

    // Run by gridLinesAreEquallyWide at each scale, and on its own at the scale of the test.
    void gridLinesAtThisScale()
    {
        // A stone on every cell: none may cut into a line.
        for (int cell = 0; cell < 256; ++cell)
            board->paintDisc(cell % 16 + 1, cell / 16 + 1,
                cell % 3 ? BoardSurface::Disc::White : BoardSurface::Disc::Black);
        const QImage &image = board->picture();
        QCOMPARE(image.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
        for (const bool down : {false, true}) {
            // The frame at both ends and the 15 lines between the cells, all equally wide, each
            // one whole from edge to edge.
            const QList<QPoint> runs = gridRuns(image, image.width() / 32, down);
            QCOMPARE(runs.size(), 17);
            for (const QPoint &run : runs) {
                QCOMPARE(run.y(), runs.first().y());
                for (int along = 0; along < image.width(); ++along)
                    for (int i = run.x(); i < run.x() + run.y(); ++i)
                        QCOMPARE(image.pixelColor(down ? along : i, down ? i : along), kGridColour);
            }
        }
    }

    void gridLinesAreEquallyWide_data()
    {
        QTest::addColumn<QString>("scale");
        for (const char *scale : {"1.25", "1.5", "2"})
            QTest::newRow(scale) << scale;
    }

    void gridLinesAreEquallyWide()
    {
        QFETCH(QString, scale);
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", scale);
        run.setProcessEnvironment(environment);
        run.start(QCoreApplication::applicationFilePath(), {"gridLinesAtThisScale"});
        QVERIFY(run.waitForFinished(60000));
        QVERIFY2(run.exitCode() == 0, run.readAllStandardOutput().constData());
    }
};

QTEST_MAIN(BoardSurfaceTest)
#include "tst_board_surface.moc"
