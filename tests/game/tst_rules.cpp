#include "board_text.h"
#include "game_state.h"

#include <QPoint>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The rules' own illustration in the top-left corner: white at (4, 4) captures (2, 2) and (3, 3)
// up-left and (2, 4) and (3, 4) to the left, but not (4, 3), which no white stone closes.
const QStringList kWorkedExample = placedBoard("",
    {
        "o..o",
        ".xx",
        "..xx",
        "oxx",
    });

constexpr int kArrayCells = (kBoardSize + 1) * (kBoardSize + 1); // a board array with borders

// The capture rule stated plainly: in each of the eight directions, a run of opponent stones
// is captured when a stone of the side closes it. Plays the stone, recounts the board cells and
// returns the stones taken.
int referencePlay(GameState &state, int x, int y, std::int16_t side)
{
    const auto onBoard = [](int cx, int cy) {
        return cx >= 1 && cx <= 16 && cy >= 1 && cy <= 16;
    };
    int total = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            int cx = x + dx, cy = y + dy, run = 0;
            for (; (dx || dy) && onBoard(cx, cy) && state.qizi[cx][cy] != kEmpty
                 && state.qizi[cx][cy] != side;
                 cx += dx, cy += dy)
                ++run;
            if ((dx || dy) && onBoard(cx, cy) && state.qizi[cx][cy] == side)
                for (total += run; run > 0; --run)
                    state.qizi[x + run * dx][y + run * dy] = side;
        }
    }
    state.qizi[x][y] = side;
    state.bqnum = state.hqnum = 0;
    for (int cx = 1; cx <= kBoardSize; ++cx)
        for (int cy = 1; cy <= kBoardSize; ++cy)
            (state.qizi[cx][cy] == kWhite ? state.bqnum : state.hqnum) += state.qizi[cx][cy] != 0;
    return total;
}

// True when the two states hold the same values in every field.
bool sameState(const GameState &a, const GameState &b)
{
    return std::memcmp(a.qizi, b.qizi, sizeof a.qizi) == 0
        && std::memcmp(a.kyxq, b.kyxq, sizeof a.kyxq) == 0
        && std::memcmp(a.qipu, b.qipu, sizeof a.qipu) == 0
        && std::tie(a.timecount, a.gamestarted, a.bqnum, a.hqnum, a.stepnum)
        == std::tie(b.timecount, b.gamestarted, b.bqnum, b.hqnum, b.stepnum);
}

// Stones of `stone` ('o' or 'x') in a board text, counted here rather than trusted from pd.
int stonesIn(const QStringList &board, char stone)
{
    return int(board.join(QString()).count(QLatin1Char(stone)));
}

// Notes every call of ended() with the counts, and the whole state at the first call; on request it
// sets up the next game inside, as a game flow does on "play again".
class EndWatcher : public GameState
{
public:
    bool restartInside = false;
    QStringList seen; // "bqnum/hqnum" at each call
    GameState firstSeen; // the state at the first call

protected:
    void ended() override
    {
        if (seen.isEmpty())
            firstSeen = *this;
        seen << QStringLiteral("%1/%2").arg(bqnum).arg(hqnum);
        if (restartInside) {
            initqizi();
            pd(1, 1, kWhite);
        }
    }
};

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void initqizi_resetsBoardAndRecordOnly()
    {
        GameState state;
        std::fill(&state.qizi[0][0], &state.qizi[0][0] + kArrayCells, kBlack);
        std::fill(std::begin(state.qipu), std::end(state.qipu), stepxy {7, 9});
        state.stepnum = 251;
        state.bqnum = 150;
        state.hqnum = 106;
        state.initqizi();

        GameState expected = boardFromText(startingBoardText()); // empty border and record
        expected.bqnum = 150;
        expected.hqnum = 106;
        QCOMPARE(boardToText(state), startingBoardText());
        QVERIFY(sameState(state, expected));
    }

    void dfpdCountsWhatPdTurnsOver_data()
    {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("turned"); // the stones pd turns over, as placements

        const QString exampleTurned = "o@2,2 o@3,3 o@2-3,4"; // (4, 3) stays black
        QTest::newRow("worked example: white at (4, 4)")
            << kWorkedExample << 4 << 4 << 1 << 4 << exampleTurned;
        QTest::newRow("line runs into the right edge")
            << placedBoard("x@2-16,5") << 1 << 5 << 1 << 0 << "";
        QTest::newRow("line runs into the corner")
            << placedBoard("x@1,1 x@2,2 x@3,3") << 4 << 4 << 1 << 0 << "";
        QTest::newRow("gap in the line")
            << placedBoard("x@2,5 x@4,5 o@5,5") << 1 << 5 << 1 << 0 << "";
        QTest::newRow("own stone next to the cell")
            << placedBoard("o@6,5 x@7,5 o@8,5") << 5 << 5 << 1 << 0 << "";
        QTest::newRow("corner (16, 16): left 1, up 2, up-left 3")
            << placedBoard("x@15,16 o@14,16 x@16,14-15 o@16,13 x@15,15 x@14,14 x@13,13 o@12,12")
            << 16 << 16 << 1 << 6 << "o@15,16 o@16,14-15 o@15,15 o@14,14 o@13,13";
    }

    // The border holds the moving side's stones: a ray that stepped off the board would find
    // them and capture the line it ran along. Stale counts must not survive pd's recount.
    void dfpdCountsWhatPdTurnsOver()
    {
        QFETCH(QStringList, board);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, side);
        QFETCH(int, count);
        QFETCH(QString, turned);

        GameState state = boardFromText(board);
        for (int i = 0; i <= kBoardSize; ++i)
            state.qizi[0][i] = state.qizi[i][0] = std::int16_t(side);
        QCOMPARE(int(state.dfpd(std::int16_t(x), std::int16_t(y), std::int16_t(side))), count);

        state.qizi[x][y] = std::int16_t(side);
        state.bqnum = -7;
        state.hqnum = 300;
        state.pd(std::int16_t(x), std::int16_t(y), std::int16_t(side));
        const QChar stone = QLatin1Char(side == kWhite ? 'o' : 'x');
        const QStringList after
            = placedBoard(QStringLiteral("%1@%2,%3 ").arg(stone).arg(x).arg(y) + turned, board);
        QCOMPARE(boardToText(state), after);
        QCOMPARE(int(state.bqnum), stonesIn(after, 'o'));
        QCOMPARE(int(state.hqnum), stonesIn(after, 'x'));
    }

    // Over random positions from full to empty, with the moving side's stones on the border where
    // no ray may look: dfpd counts what the plain rule captures on
    // every cell, pd turns over exactly those stones and leaves true counts, and pdkyxq rewrites
    // every cell, and only cells, to mark the empty ones that capture.
    void rulesAgreeWithThePlainStatement()
    {
        std::mt19937 rng(0x7A5B1u);
        for (int position = 0; position < 3000; ++position) {
            GameState before;
            for (int x = 1; x <= kBoardSize; ++x)
                for (int y = 1; y <= kBoardSize; ++y)
                    before.qizi[x][y] = int(rng() % 3000) < position ? kEmpty
                        : rng() % 2 == 0                             ? kWhite
                                                                     : kBlack;
            for (const std::int16_t side : {kWhite, kBlack}) {
                for (int i = 0; i <= kBoardSize; ++i) // a ray stepping off the board finds these
                    before.qizi[0][i] = before.qizi[i][0] = side;
                GameState mapped = before;
                std::fill(&mapped.kyxq[0][0], &mapped.kyxq[0][0] + kArrayCells, std::int16_t(5));
                mapped.pdkyxq(side);
                for (int x = 1; x <= kBoardSize; ++x) {
                    for (int y = 1; y <= kBoardSize; ++y) {
                        GameState expected = before;
                        const int captured = referencePlay(expected, x, y, side);
                        GameState played = before;
                        played.qizi[x][y] = side;
                        const int counted = played.dfpd(std::int16_t(x), std::int16_t(y), side);
                        played.pd(std::int16_t(x), std::int16_t(y), side);
                        const bool legal = before.qizi[x][y] == kEmpty && captured > 0;
                        if (counted == captured && sameState(played, expected)
                            && mapped.kyxq[x][y] == (legal ? kLegal : kIllegal)
                            && mapped.kyxq[0][y] == 5 && mapped.kyxq[x][0] == 5)
                            continue;
                        QFAIL(qPrintable(QString::asprintf("position %d, (%d, %d), side %d:\n",
                                             position, x, y, side)
                            + boardToText(before).join('\n')));
                    }
                }
            }
        }
    }

    void pdCallsEndedOncePerEndTest_data()
    {
        QTest::addColumn<QStringList>("before"); // the stone at (1, 1) has just been played
        QTest::addColumn<bool>("restartInside");
        QTest::addColumn<QStringList>("seen");

        const QStringList allWhite = placedBoard("o@1-16,1-16 x@2,1"); // (1, 1) turns (2, 1)
        QTest::newRow("board full, both sides left")
            << placedBoard("x@1-16,16", allWhite) << false << QStringList {"240/16"};
        QTest::newRow("full board of one colour: both tests hold")
            << allWhite << false << QStringList {"256/0", "256/0"};
        QTest::newRow("restart inside the first call: no second call")
            << allWhite << true << QStringList {"256/0"};
        QTest::newRow("white takes black's last stone")
            << placedBoard("o@1,1 x@2,1 o@3,1") << false << QStringList {"3/0"};
        QTest::newRow("black takes white's last stone")
            << placedBoard("x@1,1 o@2,1 x@3,1") << false << QStringList {"0/3"};
    }

    void pdCallsEndedOncePerEndTest()
    {
        QFETCH(QStringList, before);
        QFETCH(bool, restartInside);
        QFETCH(QStringList, seen);

        EndWatcher state;
        QVERIFY(tavrin::test::putBoard(state, before));
        state.restartInside = restartInside;
        state.pd(1, 1, state.qizi[1][1]);
        QCOMPARE(state.seen, seen);
        if (restartInside)
            QCOMPARE(boardToText(state), startingBoardText());
    }

    void dfxqChoosesByPriority_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QPoint>("chosen");

        // White has just played (10, 9) on the starting position and turned (9, 9).
        QTest::newRow("worked example: black answers (10, 8)")
            << "x@8,8 o@9,8 o@8-10,9" << QPoint(10, 8);
        QTest::newRow("four corners: (1, 1) first")
            << "o@2,1 x@3,1 x@14,1 o@15,1 o@2,16 x@3,16 x@14,16 o@15,16" << QPoint(1, 1);
        QTest::newRow("corner (1, 16) before (16, 1)")
            << "x@14,1 o@15,1 o@2,16 x@3,16" << QPoint(1, 16);
        QTest::newRow("corner beats an earlier edge cell")
            << "o@3,1 x@4,1 x@14,16 o@15,16" << QPoint(16, 16);
        QTest::newRow("edge (2, 1) before (3, 16)") << "o@3,1 x@4,1 o@4,16 x@5,16" << QPoint(2, 1);
        QTest::newRow("edge (5, 1) before (1, 5)") << "o@6,1 x@7,1 o@2,5 x@3,5" << QPoint(5, 1);
        QTest::newRow("edge (1, 3) before (5, 1)") << "o@6,1 x@7,1 o@2,3 x@3,3" << QPoint(1, 3);
        QTest::newRow("first edge cell, not the one taking most")
            << "o@4,1 x@5,1 o@2-6,9 x@7,9" << QPoint(3, 1);
        QTest::newRow("edge taking 1 beats interior taking 10")
            << "o@6,1 x@7,1 x@1,10 o@2-11,10" << QPoint(5, 1);
        QTest::newRow("occupied edge cell never chosen")
            << "x@2,5 o@3-16,5 o@4,10 x@5,10" << QPoint(3, 10);
        QTest::newRow("interior tie: lower row first")
            << "o@11,5 x@12,5 o@5,8 x@6,8" << QPoint(10, 5);
        QTest::newRow("interior tie: lower column first")
            << "o@5,6 x@6,6 o@12,6 x@13,6" << QPoint(4, 6);
        QTest::newRow("interior: more later in the scan wins")
            << "o@5,4 x@6,4 o@11-12,12 x@13,12" << QPoint(10, 12);
        QTest::newRow("interior: (2, 2) is scanned") << "o@3,2 x@4,2" << QPoint(2, 2);
        QTest::newRow("interior: (15, 15) is scanned") << "x@13,15 o@14,15" << QPoint(15, 15);
    }

    void dfxqChoosesByPriority()
    {
        QFETCH(QString, board);
        QFETCH(QPoint, chosen);

        GameState state = boardFromText(placedBoard(board));
        state.stepnum = 1;
        state.dfxq();
        QCOMPARE(recordSummary(state), QStringLiteral("1: %1,%2").arg(chosen.x()).arg(chosen.y()));
        QCOMPARE(state.qizi[chosen.x()][chosen.y()], kBlack);
    }

    void dfxqTouchesOnlyItsStoneAndEntry_data()
    {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<int>("stepnum");
        QTest::addColumn<bool>("record");
        QTest::addColumn<bool>("written"); // the start's answer (9, 7) lands in entry stepnum

        const QStringList start = startingBoardText();
        QTest::newRow("first entry") << start << 1 << true << true;
        QTest::newRow("last entry") << start << 256 << true << true;
        QTest::newRow("unused entry 0") << start << 0 << true << false;
        QTest::newRow("just past the record") << start << 257 << true << false;
        QTest::newRow("recording off") << start << 5 << false << false;
        QTest::newRow("pass: nothing to capture")
            << placedBoard("o@1,1 x@2,1") << 5 << true << false;
        QTest::newRow("pass: full board")
            << placedBoard("o@1-16,1-16 x@1-16,2") << 5 << true << false;
    }

    // Every entry and map cell holds a mark beforehand: a write outside the record would land on
    // a neighbouring field. A silent pass changes nothing at all, not even the counts.
    void dfxqTouchesOnlyItsStoneAndEntry()
    {
        QFETCH(QStringList, board);
        QFETCH(int, stepnum);
        QFETCH(bool, record);
        QFETCH(bool, written);

        GameState state = boardFromText(board);
        std::fill(std::begin(state.qipu), std::end(state.qipu), stepxy {3, 3});
        std::fill(&state.kyxq[0][0], &state.kyxq[0][0] + kArrayCells, kLegal);
        state.stepnum = std::int16_t(stepnum);
        state.bqnum = 77;
        state.hqnum = 88;
        GameState expected = state;
        if (board == startingBoardText()) {
            QVERIFY(tavrin::test::putBoard(expected, placedBoard("x@9,7 x@9,8", board)));
            expected.bqnum = 1;
            expected.hqnum = 4;
        }
        if (written)
            expected.qipu[stepnum] = {9, 7};
        state.dfxq(record);

        QVERIFY(sameState(state, expected));
    }

    // The game may be saved from inside pd, so black's stone and entry must already be there.
    void dfxqPlacesStoneAndEntryBeforeTheGameEnds()
    {
        EndWatcher state;
        QVERIFY(tavrin::test::putBoard(state, placedBoard("o@1-16,1-16 .@1,1 x@3,1")));
        state.stepnum = 2;
        state.dfxq();

        QCOMPARE(state.seen, QStringList {"253/3"});
        QCOMPARE(boardToText(state.firstSeen), placedBoard("x@1-3,1", placedBoard("o@1-16,1-16")));
        QCOMPARE(recordSummary(state.firstSeen), QStringLiteral("2: 0,0 1,1"));
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
