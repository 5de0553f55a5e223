#include "board_text.h"
#include "game_state.h"

#include <QPoint>
#include <QTest>

using namespace tavrin;
using tavrin::test::boardFromText;
using tavrin::test::boardToText;
using tavrin::test::startingBoardText;

namespace {

const QString kEmptyRow = QStringLiteral("................");

// The legal-move map as text: '+' where the map holds kLegal, '.' for kIllegal, '?' otherwise.
QStringList mapToText(const GameState &state)
{
    QStringList rows;
    for (int y = 1; y <= kBoardSize; ++y) {
        QString row;
        for (int x = 1; x <= kBoardSize; ++x) {
            const std::int16_t value = state.kyxq[x][y];
            row.append(value == kLegal  ? QLatin1Char('+')
                    : value == kIllegal ? QLatin1Char('.')
                                        : QLatin1Char('?'));
        }
        rows.append(row);
    }
    return rows;
}

// The rules' own illustration in the top-left corner; (4, 4) is the cell to play.
QStringList workedExample(QChar at44 = QLatin1Char('.'))
{
    QStringList rows {
        "o..o............",
        ".xx.............",
        "..xx............",
        "oxx.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    };
    rows[3][3] = at44;
    return rows;
}

// Around the empty (8, 8): white captures 1 up, 2 left, 3 down, 4 right, 1 down-right, 2 up-left
// and 3 up-right; the down-left line is broken by a gap.
QStringList allRaysAround88()
{
    return {
        "................",
        "................",
        "................",
        "...........o....",
        "....o.....x.....",
        ".....x.o.x......",
        "......xxx.......",
        "....oxx.xxxxo...",
        "......xxx.......",
        ".......x.o......",
        "....o..x........",
        ".......o........",
        "................",
        "................",
        "................",
        "................",
    };
}

// Column 5 is black from row 2 to row 15 between two white stones.
QStringList fullColumn()
{
    QStringList rows;
    rows << "....o...........";
    for (int y = 2; y <= 15; ++y)
        rows << "....x...........";
    rows << "....o...........";
    return rows;
}

QStringList fullRow()
{
    QStringList rows(kBoardSize, kEmptyRow);
    rows[4] = "oxxxxxxxxxxxxxxo";
    return rows;
}

QStringList fullDiagonal()
{
    return {
        "o...............",
        ".x..............",
        "..x.............",
        "...x............",
        "....x...........",
        ".....x..........",
        "......x.........",
        ".......x........",
        "........x.......",
        ".........x......",
        "..........x.....",
        "...........x....",
        "............x...",
        ".............x..",
        "..............x.",
        "...............o",
    };
}

QStringList fullAntiDiagonal()
{
    return {
        "...............o",
        "..............x.",
        ".............x..",
        "............x...",
        "...........x....",
        "..........x.....",
        ".........x......",
        "........x.......",
        ".......x........",
        "......x.........",
        ".....x..........",
        "....x...........",
        "...x............",
        "..x.............",
        ".x..............",
        "o...............",
    };
}

// A board that is empty apart from `row` as row `y`.
QStringList withRow(int y, const char *row)
{
    QStringList rows(kBoardSize, kEmptyRow);
    rows[y - 1] = QString::fromLatin1(row);
    return rows;
}

// Records every call of ended() and, on request, sets up the next game inside it as the game
// flow does when the player chooses to play again.
class EndRecorder : public GameState
{
public:
    bool restartInside = false;
    QList<QPoint> countsSeen; // (bqnum, hqnum) at each call

protected:
    void ended() override
    {
        countsSeen.append(QPoint(bqnum, hqnum));
        if (restartInside) {
            initqizi();
            pd(1, 1, kWhite);
        }
    }
};

} // namespace

class TestGameState : public QObject
{
    Q_OBJECT

private slots:
    void initqizi_putsStartingPositionAndEmptiesRecordOnly();

    void dfpd_countsCaptures_data();
    void dfpd_countsCaptures();
    void dfpd_neverReadsTheBorder();
    void dfpd_changesNothing();
    void offBoardCell_capturesAndTurnsNothing_data();
    void offBoardCell_capturesAndTurnsNothing();

    void pd_turnsOverAndRecounts_data();
    void pd_turnsOverAndRecounts();
    void pd_endsTheGame_data();
    void pd_endsTheGame();

    void pdkyxq_marksLegalCells_data();
    void pdkyxq_marksLegalCells();
    void pdkyxq_neverMarksOccupiedCell();
    void pdkyxq_rewritesEveryCellButNotTheBorder();
};

void TestGameState::initqizi_putsStartingPositionAndEmptiesRecordOnly()
{
    GameState state;
    for (auto &column : state.qizi)
        for (auto &cell : column)
            cell = kBlack;
    for (auto &column : state.kyxq)
        for (auto &cell : column)
            cell = kLegal;
    for (auto &entry : state.qipu)
        entry = {7, 9};
    state.stepnum = 251;
    state.bqnum = 150;
    state.hqnum = 106;
    state.timecount = 321;
    state.gamestarted = 1;

    state.initqizi();

    QCOMPARE(boardToText(state), startingBoardText());
    for (int i = 0; i <= kBoardSize; ++i) {
        QCOMPARE(state.qizi[0][i], kEmpty);
        QCOMPARE(state.qizi[i][0], kEmpty);
    }
    for (int i = 0; i <= kRecordCapacity; ++i) {
        QCOMPARE(state.qipu[i].x, std::int16_t(0));
        QCOMPARE(state.qipu[i].y, std::int16_t(0));
    }
    QCOMPARE(state.stepnum, std::int16_t(0));
    QCOMPARE(state.bqnum, std::int16_t(150));
    QCOMPARE(state.hqnum, std::int16_t(106));
    QCOMPARE(state.timecount, std::int16_t(321));
    QCOMPARE(state.gamestarted, std::uint8_t(1));
    for (const auto &column : state.kyxq)
        for (const auto cell : column)
            QCOMPARE(cell, kLegal);
}

void TestGameState::dfpd_countsCaptures_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("expected");

    const QStringList start = startingBoardText();
    QTest::newRow("start: white at (8, 7)") << start << 8 << 7 << 1 << 1;
    QTest::newRow("start: white at (7, 8)") << start << 7 << 8 << 1 << 1;
    QTest::newRow("start: white at (10, 9)") << start << 10 << 9 << 1 << 1;
    QTest::newRow("start: white at (9, 10)") << start << 9 << 10 << 1 << 1;
    QTest::newRow("start: white at (10, 10) captures nothing") << start << 10 << 10 << 1 << 0;
    QTest::newRow("start: black at (9, 7)") << start << 9 << 7 << 2 << 1;
    QTest::newRow("start: black at (10, 8)") << start << 10 << 8 << 2 << 1;
    QTest::newRow("start: black at (7, 9)") << start << 7 << 9 << 2 << 1;
    QTest::newRow("start: black at (8, 10)") << start << 8 << 10 << 2 << 1;
    QTest::newRow("start: black at (8, 7) captures nothing") << start << 8 << 7 << 2 << 0;

    QTest::newRow("worked example: white at (4, 4)") << workedExample() << 4 << 4 << 1 << 4;
    QTest::newRow("worked example: black at (4, 4)") << workedExample() << 4 << 4 << 2 << 0;
    QTest::newRow("cell held by black still counts")
        << workedExample(QLatin1Char('x')) << 4 << 4 << 1 << 4;
    QTest::newRow("cell held by white still counts")
        << workedExample(QLatin1Char('o')) << 4 << 4 << 1 << 4;

    QTest::newRow("seven rays around (8, 8) add up, gap adds nothing")
        << allRaysAround88() << 8 << 8 << 1 << 16;
    QTest::newRow("own stones next to (8, 8) on every ray")
        << allRaysAround88() << 8 << 8 << 2 << 0;

    QTest::newRow("up from the bottom edge to the top edge") << fullColumn() << 5 << 16 << 1 << 14;
    QTest::newRow("down from the top edge to the bottom edge") << fullColumn() << 5 << 1 << 1 << 14;
    QTest::newRow("left from the right edge to the left edge") << fullRow() << 16 << 5 << 1 << 14;
    QTest::newRow("right from the left edge to the right edge") << fullRow() << 1 << 5 << 1 << 14;
    QTest::newRow("down-right from corner to corner") << fullDiagonal() << 1 << 1 << 1 << 14;
    QTest::newRow("up-left from corner to corner") << fullDiagonal() << 16 << 16 << 1 << 14;
    QTest::newRow("up-right from corner to corner") << fullAntiDiagonal() << 1 << 16 << 1 << 14;
    QTest::newRow("down-left from corner to corner") << fullAntiDiagonal() << 16 << 1 << 1 << 14;

    QTest::newRow("opponent line runs into the right edge")
        << withRow(5, ".xxxxxxxxxxxxxxx") << 1 << 5 << 1 << 0;
    QTest::newRow("opponent line runs into the left edge")
        << withRow(5, "xxxxxxxxxxxxxxx.") << 16 << 5 << 1 << 0;
    QStringList columnToEdge = fullColumn();
    columnToEdge[0] = "....x...........";
    QTest::newRow("opponent line runs into the top edge") << columnToEdge << 5 << 16 << 1 << 0;
    QStringList diagonalToCorner = fullDiagonal();
    diagonalToCorner[0] = "x...............";
    QTest::newRow("opponent line runs into the top-left corner")
        << diagonalToCorner << 16 << 16 << 1 << 0;
    QTest::newRow("gap in the opponent line") << withRow(5, ".x.xo...........") << 1 << 5 << 1 << 0;
    QTest::newRow("own stone next to the cell, capture beyond it")
        << withRow(5, ".....oxo........") << 5 << 5 << 1 << 0;
    QTest::newRow("own stone at the second step")
        << withRow(5, ".xo.............") << 1 << 5 << 1 << 1;

    QTest::newRow("corner (1, 1): right, down and down-right") << QStringList {
        ".xo.............",
        "xx..............",
        "x.x.............",
        "o..x............",
        "....o...........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 1 << 1 << 1 << 6;
    QTest::newRow("corner (16, 16): left, up and up-left") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "...........o....",
        "............x..o",
        ".............x.x",
        "..............xx",
        ".............ox.",
    } << 16 << 16 << 1 << 6;
}

void TestGameState::dfpd_countsCaptures()
{
    QFETCH(QStringList, board);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, side);
    QFETCH(int, expected);

    const GameState state = boardFromText(board);
    QCOMPARE(int(state.dfpd(std::int16_t(x), std::int16_t(y), std::int16_t(side))), expected);
}

// The border never holds a stone in play; white codes planted there expose a ray that walks one
// step too far towards row 0 or column 0.
void TestGameState::dfpd_neverReadsTheBorder()
{
    GameState state = boardFromText({
        "x.x.x...........",
        ".xxx............",
        "xx..............",
        ".x..............",
        "x...............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    });
    state.qizi[0][0] = kWhite; // beyond the up-left ray from (3, 3)
    state.qizi[3][0] = kWhite; // beyond the up ray
    state.qizi[6][0] = kWhite; // beyond the up-right ray
    state.qizi[0][3] = kWhite; // beyond the left ray
    state.qizi[0][6] = kWhite; // beyond the down-left ray

    QCOMPARE(int(state.dfpd(3, 3, kWhite)), 0);
}

void TestGameState::dfpd_changesNothing()
{
    GameState state = boardFromText(allRaysAround88());
    state.bqnum = 5;
    state.hqnum = 6;
    const QStringList before = boardToText(state);

    QCOMPARE(int(state.dfpd(8, 8, kWhite)), 16);
    QCOMPARE(boardToText(state), before);
    QCOMPARE(state.bqnum, std::int16_t(5));
    QCOMPARE(state.hqnum, std::int16_t(6));
}

void TestGameState::offBoardCell_capturesAndTurnsNothing_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");

    QTest::newRow("column 0") << 0 << 5;
    QTest::newRow("column 17") << 17 << 5;
    QTest::newRow("row 0") << 5 << 0;
    QTest::newRow("row 17") << 5 << 17;
    QTest::newRow("far outside") << -300 << 1000;
}

// Only board cells are ever played; a cell off the board must not reach through the edge.
void TestGameState::offBoardCell_capturesAndTurnsNothing()
{
    QFETCH(int, x);
    QFETCH(int, y);

    const QStringList board {
        "....x...........",
        "....o...........",
        "................",
        "................",
        "xo............ox",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....o...........",
        "....x...........",
    };
    GameState state = boardFromText(board);
    QCOMPARE(int(state.dfpd(std::int16_t(x), std::int16_t(y), kWhite)), 0);

    state.pd(std::int16_t(x), std::int16_t(y), kWhite);
    QCOMPARE(boardToText(state), board);
    QCOMPARE(state.bqnum, std::int16_t(4));
    QCOMPARE(state.hqnum, std::int16_t(4));
}

void TestGameState::pd_turnsOverAndRecounts_data()
{
    QTest::addColumn<QStringList>("before"); // the played stone is already in place
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("side");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("whites");
    QTest::addColumn<int>("blacks");

    QStringList start = startingBoardText();
    QStringList white87 = start;
    white87[6] = ".......o........";
    QStringList white87After = white87;
    white87After[7] = ".......oo.......";
    QTest::newRow("start: white at (8, 7) turns (8, 8)")
        << white87 << 8 << 7 << 1 << white87After << 4 << 1;

    QStringList black97 = start;
    black97[6] = "........x.......";
    QStringList black97After = black97;
    black97After[7] = ".......xx.......";
    QTest::newRow("start: black at (9, 7) turns (9, 8)")
        << black97 << 9 << 7 << 2 << black97After << 1 << 4;

    QTest::newRow("recount on the start from the empty corner")
        << start << 1 << 1 << 1 << start << 2 << 2;

    QStringList exampleAfter = workedExample();
    exampleAfter[0] = "o..o............";
    exampleAfter[1] = ".ox.............";
    exampleAfter[2] = "..ox............";
    exampleAfter[3] = "oooo............";
    QTest::newRow("worked example: white at (4, 4), (4, 3) stays black")
        << workedExample(QLatin1Char('o')) << 4 << 4 << 1 << exampleAfter << 8 << 2;

    QStringList allRays = allRaysAround88();
    allRays[7][7] = QLatin1Char('o');
    QTest::newRow("seven rays around (8, 8) turn, the broken one does not")
        << allRays << 8 << 8 << 1
        << QStringList {
               "................",
               "................",
               "................",
               "...........o....",
               "....o.....o.....",
               ".....o.o.o......",
               "......ooo.......",
               "....ooooooooo...",
               "......xoo.......",
               ".......o.o......",
               "....o..o........",
               ".......o........",
               "................",
               "................",
               "................",
               "................",
           }
        << 25 << 1;

    QStringList columnAfter(kBoardSize, QStringLiteral("....o..........."));
    QTest::newRow("up from edge to edge") << fullColumn() << 5 << 16 << 1 << columnAfter << 16 << 0;
    QStringList rowAfter = withRow(5, "oooooooooooooooo");
    QTest::newRow("left from edge to edge") << fullRow() << 16 << 5 << 1 << rowAfter << 16 << 0;
    QStringList diagonalAfter
        = fullDiagonal().replaceInStrings(QStringLiteral("x"), QStringLiteral("o"));
    QTest::newRow("down-right from corner to corner")
        << fullDiagonal() << 1 << 1 << 1 << diagonalAfter << 16 << 0;
    QStringList antiAfter
        = fullAntiDiagonal().replaceInStrings(QStringLiteral("x"), QStringLiteral("o"));
    QTest::newRow("down-left from corner to corner")
        << fullAntiDiagonal() << 16 << 1 << 1 << antiAfter << 16 << 0;

    QStringList adjacent = withRow(5, "....ooxo........");
    QTest::newRow("own stone next to the cell turns nothing")
        << adjacent << 5 << 5 << 1 << adjacent << 3 << 1;
    QStringList gap = withRow(5, "ox.xo...........");
    QTest::newRow("gap in the line turns nothing") << gap << 1 << 5 << 1 << gap << 2 << 2;
    QStringList toEdge = withRow(5, "oxxxxxxxxxxxxxxx");
    QTest::newRow("line into the edge turns nothing") << toEdge << 1 << 5 << 1 << toEdge << 1 << 15;
}

void TestGameState::pd_turnsOverAndRecounts()
{
    QFETCH(QStringList, before);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, side);
    QFETCH(QStringList, after);
    QFETCH(int, whites);
    QFETCH(int, blacks);

    GameState state = boardFromText(before);
    state.bqnum = -7; // stale counts must not survive the recount
    state.hqnum = 300;

    state.pd(std::int16_t(x), std::int16_t(y), std::int16_t(side));

    QCOMPARE(boardToText(state), after);
    QCOMPARE(int(state.bqnum), whites);
    QCOMPARE(int(state.hqnum), blacks);
}

void TestGameState::pd_endsTheGame_data()
{
    QTest::addColumn<QStringList>("before"); // the played stone is already in place
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("restartInside");
    QTest::addColumn<QList<QPoint>>("countsSeen");
    QTest::addColumn<int>("whites");
    QTest::addColumn<int>("blacks");

    QStringList allWhite(kBoardSize, QStringLiteral("oooooooooooooooo"));
    allWhite[0] = "oxoooooooooooooo";
    QStringList mixedFull = allWhite;
    mixedFull[15] = "xxxxxxxxxxxxxxxx";

    QTest::newRow("last empty cell filled, both sides left")
        << mixedFull << 1 << 1 << 1 << false << QList<QPoint> {{240, 16}} << 240 << 16;
    QTest::newRow("white takes black's last stones, empty cells left")
        << withRow(5, "oxo.............") << 3 << 5 << 1 << false << QList<QPoint> {{3, 0}} << 3
        << 0;
    QTest::newRow("black takes white's last stone, empty cells left")
        << withRow(5, "xox.............") << 3 << 5 << 2 << false << QList<QPoint> {{0, 3}} << 0
        << 3;
    QTest::newRow("full board of one colour meets both tests")
        << allWhite << 1 << 1 << 1 << false << QList<QPoint> {{256, 0}, {256, 0}} << 256 << 0;
    QTest::newRow("restart inside the first call leaves nothing for the second")
        << allWhite << 1 << 1 << 1 << true << QList<QPoint> {{256, 0}} << 2 << 2;
    QTest::newRow("ordinary move does not end the game")
        << withRow(5, "oxo........x....") << 3 << 5 << 1 << false << QList<QPoint> {} << 3 << 1;
    QTest::newRow("recount on the start does not end the game")
        << startingBoardText() << 1 << 1 << 1 << false << QList<QPoint> {} << 2 << 2;
}

void TestGameState::pd_endsTheGame()
{
    QFETCH(QStringList, before);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, side);
    QFETCH(bool, restartInside);
    QFETCH(QList<QPoint>, countsSeen);
    QFETCH(int, whites);
    QFETCH(int, blacks);

    EndRecorder state;
    QVERIFY(tavrin::test::putBoard(state, before));
    state.restartInside = restartInside;

    state.pd(std::int16_t(x), std::int16_t(y), std::int16_t(side));

    QCOMPARE(state.countsSeen, countsSeen);
    QCOMPARE(int(state.bqnum), whites);
    QCOMPARE(int(state.hqnum), blacks);
    if (restartInside)
        QCOMPARE(boardToText(state), startingBoardText());
}

void TestGameState::pdkyxq_marksLegalCells_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("side");
    QTest::addColumn<QStringList>("map");

    QStringList whiteMap(kBoardSize, kEmptyRow);
    whiteMap[6] = ".......+........";
    whiteMap[7] = "......+.........";
    whiteMap[8] = ".........+......";
    whiteMap[9] = "........+.......";
    QTest::newRow("start, white: (8, 7), (7, 8), (10, 9), (9, 10)")
        << startingBoardText() << 1 << whiteMap;

    QStringList blackMap(kBoardSize, kEmptyRow);
    blackMap[6] = "........+.......";
    blackMap[7] = ".........+......";
    blackMap[8] = "......+.........";
    blackMap[9] = ".......+........";
    QTest::newRow("start, black: (9, 7), (10, 8), (7, 9), (8, 10)")
        << startingBoardText() << 2 << blackMap;

    QTest::newRow("empty board: nothing")
        << QStringList(kBoardSize, kEmptyRow) << 1 << QStringList(kBoardSize, kEmptyRow);
}

void TestGameState::pdkyxq_marksLegalCells()
{
    QFETCH(QStringList, board);
    QFETCH(int, side);
    QFETCH(QStringList, map);

    GameState state = boardFromText(board);
    state.pdkyxq(std::int16_t(side));
    QCOMPARE(mapToText(state), map);
}

void TestGameState::pdkyxq_neverMarksOccupiedCell()
{
    GameState state = boardFromText(workedExample(QLatin1Char('x')));
    QCOMPARE(int(state.dfpd(4, 4, kWhite)), 4);

    state.pdkyxq(kWhite);
    QCOMPARE(state.kyxq[4][4], kIllegal);
}

void TestGameState::pdkyxq_rewritesEveryCellButNotTheBorder()
{
    GameState state = boardFromText(QStringList(kBoardSize, kEmptyRow));
    for (auto &column : state.kyxq)
        for (auto &cell : column)
            cell = kLegal;

    state.pdkyxq(kWhite);

    QCOMPARE(mapToText(state), QStringList(kBoardSize, kEmptyRow));
    for (int i = 0; i <= kBoardSize; ++i) {
        QCOMPARE(state.kyxq[0][i], kLegal);
        QCOMPARE(state.kyxq[i][0], kLegal);
    }
}

QTEST_APPLESS_MAIN(TestGameState)
#include "tst_game_state.moc"
