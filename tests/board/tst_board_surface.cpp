// The drawn board alone: its grid at any scale, the keyboard's focus cell and the frame that
// marks it, and the table that a screen reader reads without a game.
#include "board/board_surface.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>

using namespace tavrin;

namespace {

// Contrast ratio of two colours, as the accessibility guidelines measure it.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        double sum = 0;
        for (const auto &[v, weight] :
            {std::pair {c.redF(), 0.2126}, {c.greenF(), 0.7152}, {c.blueF(), 0.0722}})
            sum += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        return sum + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

} // namespace

class BoardSurfaceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardSurface> board;

    // Sends each key of `keys` ("Left", "Ctrl+Space", "held:Space" for an auto-repeat, ...).
    void press(const QString &keys)
    {
        for (QString key : keys.split(' ', Qt::SkipEmptyParts)) {
            const bool held = key.startsWith("held:");
            const QKeyCombination combination = QKeySequence(key.remove("held:"))[0];
            QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(),
                QString(), held);
            QApplication::sendEvent(board.get(), &event);
        }
    }
    // Where the board as it shows on the screen differs from its picture.
    QRect framedArea() const
    {
        const QImage shown = board->grab().toImage(), &kept = board->picture();
        QRect changed;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x)
                if (shown.pixelColor(x, y) != kept.pixelColor(x, y))
                    changed |= QRect(x, y, 1, 1);
        return changed;
    }

private slots:
    void init()
    {
        board = std::make_unique<BoardSurface>();
        board->resize(340, 340);
        board->drawGrid();
    }

    // Run by gridLinesAreEquallyWide at each scale, and on its own at the scale of the test: the
    // frame at both edges and a line on each of the 15 cell boundaries between, all equally wide
    // and each whole from edge to edge, a stone on every cell cutting into none.
    void gridLinesAtThisScale()
    {
        for (int cell = 0; cell < 256; ++cell)
            board->paintDisc(cell % 16 + 1, cell / 16 + 1,
                cell % 3 ? BoardSurface::Disc::White : BoardSurface::Disc::Black);
        const QImage &image = board->picture();
        const int size = image.width();
        QCOMPARE(image.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
        for (const bool down : {false, true}) {
            // Runs of grid colour across (or down) the first row of cells, as (start, width).
            QList<QPoint> runs;
            for (int i = 0; i < size; ++i) {
                if (image.pixelColor(down ? size / 32 : i, down ? i : size / 32) != kGridColour)
                    continue;
                if (!runs.isEmpty() && runs.last().x() + runs.last().y() == i)
                    ++runs.last().ry();
                else
                    runs << QPoint(i, 1);
            }
            QCOMPARE(runs.size(), 17);
            for (int line = 0; line <= 16; ++line) {
                const QPoint run = runs[line];
                QCOMPARE(run.y(), runs.first().y());
                const double boundary = line * size / 16.0;
                QVERIFY2(run.x() <= boundary && boundary <= run.x() + run.y(),
                    qPrintable(QString("line %1 from pixel %2").arg(line).arg(run.x())));
                for (int along = 0; along < size; ++along)
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

    void keysMoveTheFocusCellAndPlayThere_data()
    {
        QTest::addColumn<QString>("keys"); // from 8,8
        QTest::addColumn<QString>("outcome"); // the focus cell, then what the board told

        QTest::newRow("arrows") << "Left Up Up Right Right Right Down"
                                << "10,7 moved 7,8 moved 7,7 moved 7,6 moved 8,6 moved 9,6 "
                                   "moved 10,6 moved 10,7";
        QTest::newRow("Home, Page Up, End, Page Down and the edges")
            << "Home Left PgUp Up End Right PgDown Down PgDown"
            << "16,16 moved 1,8 moved 1,1 moved 16,1 moved 16,16";
        QTest::newRow("Enter, Return and Space play at the cell")
            << "Right Enter Return Space"
            << "9,8 moved 9,8 released 9,8 released 9,8 released 9,8";
        QTest::newRow("held or with a modifier: nothing")
            << "held:Return held:Space Ctrl+Return Shift+Space Alt+Left Ctrl+Home"
            << "8,8";
    }

    void keysMoveTheFocusCellAndPlayThere()
    {
        QFETCH(QString, keys);
        QFETCH(QString, outcome);
        QStringList seen {""};
        connect(board.get(), &BoardSurface::focusCellMoved, this, [&seen](const PointerCell &c) {
            seen << QString("moved %1,%2").arg(c.column).arg(c.row);
        });
        connect(board.get(), &BoardSurface::released, this,
            [&seen](const std::optional<PointerCell> &c) {
                seen << QString("released %1,%2").arg(c->column).arg(c->row);
            });
        press(keys);
        seen[0] = QString("%1,%2").arg(board->focusCell().column).arg(board->focusCell().row);
        QCOMPARE(seen.join(' '), outcome);
    }

    // The frame shows in the focus cell alone, once a key is used while the board has focus;
    // the pointer moving over the board or the focus leaving it takes it away. The picture never
    // holds it.
    void focusFrameShowsForTheKeyboardOnly()
    {
        board->paintDisc(9, 8, BoardSurface::Disc::Black);
        const QImage kept = board->picture().copy();
        board->show();
        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board.get()));
        board->setFocus();
        QCOMPARE(framedArea(), QRect());
        press("Right");
        QCOMPARE(framedArea(), board->cellArea(9, 8).toRect());
        QCOMPARE(board->picture(), kept);

        // Its outer band stands out from the board, the grid and a white stone; its inner band,
        // which faces the stone, from a black one.
        const QImage shown = board->grab().toImage();
        const QPoint corner = board->cellArea(9, 8).toRect().topLeft();
        const QColor outer = shown.pixelColor(corner);
        QPoint inside = corner;
        while (shown.pixelColor(inside) == outer)
            inside += QPoint(1, 1);
        for (const QColor &background : {kBoardColour, kGridColour, kWhiteStoneColour})
            QVERIFY(contrast(outer, background) >= 3);
        QVERIFY(contrast(shown.pixelColor(inside), kBlackStoneColour) >= 3);

        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), board->mapToGlobal(QPointF(5, 5)),
            Qt::NoButton, {}, {});
        QApplication::sendEvent(board.get(), &move);
        QCOMPARE(framedArea(), QRect());
        press("Left");
        QCOMPARE(framedArea(), board->cellArea(8, 8).toRect());
        board->clearFocus();
        QCOMPARE(framedArea(), QRect());
    }

    // Without a game the table names what the picture shows.
    void tableNamesWhatThePictureShows()
    {
        board->paintDisc(1, 1, BoardSurface::Disc::White);
        board->paintDisc(16, 2, BoardSurface::Disc::Black);
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board.get());
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->text(QAccessible::Name), "棋盘");
        QAccessibleTableInterface *cells = table->tableInterface();
        QCOMPARE(QSize(cells->columnCount(), cells->rowCount()), QSize(16, 16));
        QStringList seenCells;
        for (const QPoint at : {QPoint(0, 0), QPoint(1, 15), QPoint(15, 15)}) { // row, column
            QAccessibleInterface *cell = cells->cellAt(at.x(), at.y());
            QVERIFY(cell->role() == QAccessible::Cell && cell->parent() == table);
            seenCells << QString("%1 at %2,%3, child %4")
                             .arg(cell->text(QAccessible::Name))
                             .arg(cell->tableCellInterface()->rowIndex())
                             .arg(cell->tableCellInterface()->columnIndex())
                             .arg(table->indexOfChild(cell));
        }
        QCOMPARE(seenCells.join('|'),
            "1,1 白棋 at 0,0, child 0|16,2 黑棋 at 1,15, child 31|16,16 空 at 15,15, child 255");
    }
};

QTEST_MAIN(BoardSurfaceTest)
#include "tst_board_surface.moc"
