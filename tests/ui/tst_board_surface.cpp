// The board surface: releases and pointer moves turned into cells, and the picture that
// drawnewqp, hq and hq2 leave on it.
#include "board_text.h"
#include "ui_test_support.h"

#include <QAction>
#include <QLabel>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// Pixels of the board surface per board unit.
double pixelsPerUnit(const QWidget *board)
{
    return board->width() / 1000.0;
}

// Counts the paint events of a widget and the area they covered.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
};

} // namespace

class BoardSurfaceTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void releaseTurnsIntoTheRightCell_data();
    void releaseTurnsIntoTheRightCell();
    void pointerShowsWhetherTheCellIsLegal_data();
    void pointerShowsWhetherTheCellIsLegal();
    void pointerBeforeTheFirstGameIsNoDropEverywhere();
    void firstGameShowsTheFourStartingStones();
    void capturedStoneKeepsNoTraceOfItsOldColour();
    void hqNeverRemovesAStoneButHq2Does();
    void countCaptionsKeepTheBlankBeforeTheNumber_data();
    void countCaptionsKeepTheBlankBeforeTheNumber();
    void unchangedPositionRepaintsNothing();
    void oneNewStoneRepaintsOnlyItsCell();

private:
    QColor colourAtCell(int column, int row) const;
    QAction *action(const char *name) const;
    QLabel *label(const char *name) const;

    PrivateRuntimeFolder runtime_;
    BeepCountingWindow *window_ = nullptr;
    BoardSurface *board_ = nullptr;
};

void BoardSurfaceTest::init()
{
    window_ = new BeepCountingWindow;
    QVERIFY(loadWindow(*window_));
    board_ = window_->findChild<BoardSurface *>(QStringLiteral("qp"));
    QVERIFY(board_);
}

void BoardSurfaceTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

QColor BoardSurfaceTest::colourAtCell(int column, int row) const
{
    const QImage &picture = board_->picture();
    return picture.pixelColor(
        (cellCentre(column, row, board_->width()) * picture.devicePixelRatio()).toPoint());
}

QAction *BoardSurfaceTest::action(const char *name) const
{
    return window_->findChild<QAction *>(QLatin1String(name));
}

QLabel *BoardSurfaceTest::label(const char *name) const
{
    return window_->findChild<QLabel *>(QLatin1String(name));
}

void BoardSurfaceTest::releaseTurnsIntoTheRightCell_data()
{
    // Positions are in board units; `started` says whether the first game was started first.
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("playedColumn"); // 0: nothing is played
    QTest::addColumn<int>("playedRow");
    QTest::addColumn<int>("beeps");

    QTest::newRow("centre of legal cell 10,9 plays it")
        << true << int(Qt::LeftButton) << 593.75 << 531.25 << 10 << 9 << 0;
    QTest::newRow("590,530 inside cell 10,9 plays it")
        << true << int(Qt::LeftButton) << 590.0 << 530.0 << 10 << 9 << 0;
    QTest::newRow("437.6 just past the grid line 437.5 gives legal 8,7")
        << true << int(Qt::LeftButton) << 437.6 << 406.25 << 8 << 7 << 0;
    QTest::newRow("on the vertical grid line 625 is ignored")
        << true << int(Qt::LeftButton) << 625.0 << 531.25 << 0 << 0 << 0;
    QTest::newRow("on the horizontal grid line 500 is ignored")
        << true << int(Qt::LeftButton) << 593.75 << 500.0 << 0 << 0 << 0;
    QTest::newRow("on the left border is ignored")
        << true << int(Qt::LeftButton) << 0.0 << 531.25 << 0 << 0 << 0;
    QTest::newRow("right button on a legal cell is ignored")
        << true << int(Qt::RightButton) << 593.75 << 531.25 << 0 << 0 << 0;
    QTest::newRow("legal cell before the first game is ignored")
        << false << int(Qt::LeftButton) << 593.75 << 531.25 << 0 << 0 << 0;
    QTest::newRow("empty cell capturing nothing is ignored silently")
        << true << int(Qt::LeftButton) << 31.25 << 31.25 << 0 << 0 << 0;
    QTest::newRow("occupied cell is ignored")
        << true << int(Qt::LeftButton) << 468.75 << 468.75 << 0 << 0 << 0;
    QTest::newRow("left of the board beeps")
        << true << int(Qt::LeftButton) << -10.0 << 531.25 << 0 << 0 << 1;
    QTest::newRow("below the board beeps")
        << true << int(Qt::LeftButton) << 593.75 << 1010.0 << 0 << 0 << 1;
    QTest::newRow("far right of the board beeps")
        << true << int(Qt::LeftButton) << 1000000064.0 << 531.25 << 0 << 0 << 1;
    QTest::newRow("far right on a whole multiple of a cell is a grid line, ignored")
        << true << int(Qt::LeftButton) << 1.0e9 << 531.25 << 0 << 0 << 0;
    QTest::newRow("far above the board beeps")
        << true << int(Qt::LeftButton) << 593.75 << -1000000064.0 << 0 << 0 << 1;
}

void BoardSurfaceTest::releaseTurnsIntoTheRightCell()
{
    QFETCH(bool, started);
    QFETCH(int, button);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, playedColumn);
    QFETCH(int, playedRow);
    QFETCH(int, beeps);

    if (started) {
        action("MNrj")->trigger();
    }
    const QStringList before = boardToText(window_->flow());
    const std::int16_t stepsBefore = window_->flow().stepnum;
    const double scale = pixelsPerUnit(board_);
    sendRelease(board_, QPointF(x * scale, y * scale), Qt::MouseButton(button));

    QCOMPARE(window_->beeps, beeps);
    if (playedColumn == 0) {
        QCOMPARE(boardToText(window_->flow()), before);
        QCOMPARE(window_->flow().stepnum, stepsBefore);
    } else {
        QCOMPARE(window_->flow().qizi[playedColumn][playedRow], kWhite);
        QCOMPARE(window_->flow().qipu[1].x, std::int16_t(playedColumn));
        QCOMPARE(window_->flow().qipu[1].y, std::int16_t(playedRow));
        QCOMPARE(window_->flow().stepnum, std::int16_t(stepsBefore + 2));
        QCOMPARE(colourAtCell(playedColumn, playedRow), kWhiteStoneColour);
    }
}

void BoardSurfaceTest::pointerShowsWhetherTheCellIsLegal_data()
{
    // Each case starts with the pointer resting on cell 5,12; positions are in board units.
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("caption");

    const int cross = Qt::CrossCursor;
    const int noDrop = Qt::ForbiddenCursor;
    QTest::newRow("legal 8,7 shows the cross-hair") << 468.75 << 406.25 << cross << "8,7";
    QTest::newRow("legal 7,8 shows the cross-hair") << 406.25 << 468.75 << cross << "7,8";
    QTest::newRow("legal 10,9 shows the cross-hair") << 593.75 << 531.25 << cross << "10,9";
    QTest::newRow("legal 9,10 shows the cross-hair") << 531.25 << 593.75 << cross << "9,10";
    QTest::newRow("next cell 6,12 without blanks") << 343.75 << 718.75 << noDrop << "6,12";
    QTest::newRow("occupied 8,8 shows no-drop") << 468.75 << 468.75 << noDrop << "8,8";
    QTest::newRow("corner 16,16") << 990.0 << 990.0 << noDrop << "16,16";
    QTest::newRow("grid line 62.5 keeps the caption") << 62.5 << 531.25 << noDrop << "5,12";
    QTest::newRow("grid line y 250 keeps the caption") << 531.25 << 250.0 << noDrop << "5,12";
    QTest::newRow("less than a cell left shows column 0") << -10.0 << 531.25 << noDrop << "0,9";
    QTest::newRow("less than a cell above shows row 0") << 531.25 << -10.0 << noDrop << "9,0";
    QTest::newRow("just past the right edge keeps the caption")
        << 1010.0 << 531.25 << noDrop << "5,12";
    QTest::newRow("two cells left keeps the caption") << -70.0 << 531.25 << noDrop << "5,12";
    QTest::newRow("far left keeps the caption") << -1.0e9 << 531.25 << noDrop << "5,12";
    QTest::newRow("far below keeps the caption") << 531.25 << 1.0e9 << noDrop << "5,12";
    QTest::newRow("far off both ways keeps the caption") << 1.0e9 << -1.0e9 << noDrop << "5,12";
}

void BoardSurfaceTest::pointerShowsWhetherTheCellIsLegal()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, cursor);
    QFETCH(QString, caption);

    action("MNrj")->trigger();
    const double scale = pixelsPerUnit(board_);
    sendMove(board_, QPointF(281.25 * scale, 718.75 * scale));
    QCOMPARE(label("xqwz")->text(), QStringLiteral("5,12"));
    QCOMPARE(board_->cursor().shape(), Qt::ForbiddenCursor);

    sendMove(board_, QPointF(x * scale, y * scale));
    QCOMPARE(int(board_->cursor().shape()), cursor);
    QCOMPARE(label("xqwz")->text(), caption);
}

void BoardSurfaceTest::pointerBeforeTheFirstGameIsNoDropEverywhere()
{
    for (int row = 1; row <= 16; ++row) {
        for (int column = 1; column <= 16; ++column) {
            sendMove(board_, cellCentre(column, row, board_->width()));
            QCOMPARE(board_->cursor().shape(), Qt::ForbiddenCursor);
            QCOMPARE(label("xqwz")->text(), QString("%1,%2").arg(column).arg(row));
        }
    }
    QVERIFY(!label("xqwz")->isVisible());
}

void BoardSurfaceTest::firstGameShowsTheFourStartingStones()
{
    action("MNrj")->trigger();
    const QStringList start = startingBoardText();
    for (int row = 1; row <= 16; ++row) {
        for (int column = 1; column <= 16; ++column) {
            const QChar cell = start.at(row - 1).at(column - 1);
            const QColor expected = cell == QLatin1Char(kWhiteChar) ? kWhiteStoneColour
                : cell == QLatin1Char(kBlackChar)                   ? kBlackStoneColour
                                                                    : kBoardColour;
            QCOMPARE(colourAtCell(column, row), expected);
        }
    }
    QCOMPARE(label("bqxy")->text(), QStringLiteral("白棋现有 2 子"));
    QCOMPARE(label("hqxy")->text(), QStringLiteral("黑棋现有 2 子"));
    QCOMPARE(label("xzld")->text(), QStringLiteral("   人机大战"));
    for (const char *name : {"bqxy", "hqxy", "xzld", "xqwz", "timenow"}) {
        QVERIFY2(label(name)->isVisible(), name);
    }
}

void BoardSurfaceTest::capturedStoneKeepsNoTraceOfItsOldColour()
{
    // Cells four apart lie the same way on the pixel grid (four cells are a whole 85 pixels).
    GameFlow &flow = window_->flow();
    flow.qizi[1][1] = kWhite;
    window_->hq();
    flow.qizi[1][1] = kBlack;
    flow.qizi[5][1] = kBlack;
    window_->hq();

    const QImage &picture = board_->picture();
    const int step = qRound(4 * board_->width() / 16.0 * picture.devicePixelRatio());
    const int cell = qRound(board_->width() / 16.0 * picture.devicePixelRatio());
    for (int y = 2; y < cell - 1; ++y) {
        for (int x = 2; x < cell - 1; ++x) {
            QCOMPARE(picture.pixel(x, y), picture.pixel(x + step, y));
        }
    }
    QCOMPARE(colourAtCell(1, 1), kBlackStoneColour);
}

void BoardSurfaceTest::hqNeverRemovesAStoneButHq2Does()
{
    GameFlow &flow = window_->flow();
    flow.qizi[16][16] = kWhite;
    window_->hq();
    flow.qizi[16][16] = kEmpty;
    window_->hq();
    QCOMPARE(colourAtCell(16, 16), kWhiteStoneColour);

    const QImage gridBefore = board_->picture().copy();
    window_->hq2();
    QCOMPARE(colourAtCell(16, 16), kBoardColour);
    // The discs never reach the grid: every grid pixel survives the repaint.
    QCOMPARE(board_->picture().pixel(0, 0), gridBefore.pixel(0, 0));
    const QImage &picture = board_->picture();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (QColor(gridBefore.pixel(x, y)) == kGridColour) {
                QCOMPARE(QColor(picture.pixel(x, y)), kGridColour);
            }
        }
    }
}

void BoardSurfaceTest::countCaptionsKeepTheBlankBeforeTheNumber_data()
{
    QTest::addColumn<int>("white");
    QTest::addColumn<int>("black");
    QTest::addColumn<QString>("whiteCaption");
    QTest::addColumn<QString>("blackCaption");
    QTest::newRow("zero and three digits")
        << 0 << 106 << QStringLiteral("白棋现有 0 子") << QStringLiteral("黑棋现有 106 子");
    QTest::newRow("full board split")
        << 130 << 126 << QStringLiteral("白棋现有 130 子") << QStringLiteral("黑棋现有 126 子");
}

void BoardSurfaceTest::countCaptionsKeepTheBlankBeforeTheNumber()
{
    QFETCH(int, white);
    QFETCH(int, black);
    QFETCH(QString, whiteCaption);
    QFETCH(QString, blackCaption);
    window_->flow().bqnum = std::int16_t(white);
    window_->flow().hqnum = std::int16_t(black);
    window_->hq();
    QCOMPARE(label("bqxy")->text(), whiteCaption);
    QCOMPARE(label("hqxy")->text(), blackCaption);
    QVERIFY(!label("bqxy")->isVisible());
}

void BoardSurfaceTest::unchangedPositionRepaintsNothing()
{
    action("MNrj")->trigger();
    QCoreApplication::processEvents();
    PaintCounter counter;
    board_->installEventFilter(&counter);
    window_->hq();
    window_->hq2();
    QCoreApplication::processEvents();
    QTest::qWait(50);
    QCOMPARE(counter.paints, 0);
}

void BoardSurfaceTest::oneNewStoneRepaintsOnlyItsCell()
{
    action("MNrj")->trigger();
    QCoreApplication::processEvents();
    PaintCounter counter;
    board_->installEventFilter(&counter);
    window_->flow().qizi[3][4] = kBlack;
    window_->hq();
    QTRY_VERIFY(counter.paints > 0);
    const double cell = board_->width() / 16.0;
    const QRectF cellArea(2 * cell, 3 * cell, cell, cell);
    QVERIFY2(cellArea.contains(counter.painted.boundingRect()),
        qPrintable(QString("painted %1,%2 %3x%4")
                       .arg(counter.painted.boundingRect().x())
                       .arg(counter.painted.boundingRect().y())
                       .arg(counter.painted.boundingRect().width())
                       .arg(counter.painted.boundingRect().height())));
}

QTEST_MAIN(BoardSurfaceTest)
#include "tst_board_surface.moc"
