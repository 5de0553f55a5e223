#include "board_text.h"
#include "game/game_state.h"
#include "reference_rules.h"

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

// True when the two states hold the same values in every field.
bool sameState(const GameState &a, const GameState &b)
{
    return std::memcmp(a.qizi, b.qizi, sizeof a.qizi) == 0
        && std::memcmp(a.kyxq, b.kyxq, sizeof a.kyxq) == 0
        && std::memcmp(a.qipu, b.qipu, sizeof a.qipu) == 0
        && std::tie(a.timecount, a.gamestarted, a.bqnum, a.hqnum, a.stepnum)
        == std::tie(b.timecount, b.gamestarted, b.bqnum, b.hqnum, b.stepnum);
}

// Notes the counts at every call of ended(), and the whole state at the first call.
struct EndWatcher : GameState
{
    QStringList seen; // "bqnum/hqnum" at each call
    GameState firstSeen;

    void ended() override
    {
        if (seen.isEmpty())
            firstSeen = *this;
        seen << QStringLiteral("%1/%2").arg(bqnum).arg(hqnum);
    }
};

} // namespace

// Black's choice by the plain statement: a corner, then the edge scan, then the interior cell
// that captures most, the first met row by row; null when black cannot play.
QPoint referenceChoice(const GameState &state)
{
    const auto captured = [&](int x, int y) {
        return referenceCaptures(state, x, y, kBlack);
    };
    for (const QPoint corner : {QPoint(1, 1), QPoint(1, 16), QPoint(16, 1), QPoint(16, 16)})
        if (captured(corner.x(), corner.y()))
            return corner;
    for (int i = 1; i <= kBoardSize; ++i)
        for (const QPoint edge : {QPoint(i, 1), QPoint(i, 16), QPoint(1, i), QPoint(16, i)})
            if (captured(edge.x(), edge.y()))
                return edge;
    QPoint chosen;
    for (int y = 2, best = 0; y < kBoardSize; ++y)
        for (int x = 2; x < kBoardSize; ++x)
            if (const int count = captured(x, y); count > best)
                best = count, chosen = QPoint(x, y);
    return chosen;
}

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void pdTurnsOverWhatDfpdCounts_data()
    {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<QPoint>("cell"); // where white plays
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("seen"); // the counts at each call of ended()

        const auto row = [](const char *name, auto board, QPoint at, int count, const char *seen) {
            QTest::newRow(name) << board << at << count << seen;
        };
        row("worked example: white at (4, 4)", kWorkedExample, {4, 4}, 4, "");
        row("line runs into the edge", placedBoard("x@2-16,5"), {1, 5}, 0, "");
        row("gap in the line", placedBoard("x@2,5 x@4,5 o@5,5"), {1, 5}, 0, "");
        row("own stone next to the cell", placedBoard("o@6,5 x@7,5 o@8,5"), {5, 5}, 0, "");
        row("corner (16, 16): left 1, up 2, up-left 3",
            placedBoard("x@15,16 o@14,16 x@16,14-15 o@16,13 x@15,15 x@14,14 x@13,13 o@12,12 x@1,1"),
            {16, 16}, 6, "");
        // The stone at (1, 1) is already on these boards.
        const QStringList allWhite = placedBoard("o@1-16,1-16 x@2,1");
        row("full board, both sides left: first end test only", placedBoard("x@1-16,16", allWhite),
            {1, 1}, 1, "240/16");
        row("full board of one colour: both end tests hold", allWhite, {1, 1}, 1, "256/0 256/0");
        row("white takes black's last stone", placedBoard("o@1,1 x@2,1 o@3,1"), {1, 1}, 1, "3/0");
    }

    // The border holds the moving side's stones: a ray that stepped off the board would find
    // them and capture the line it ran along. Stale counts must not survive pd's recount. The
    // board is looked at when the game ends, as a game flow would.
    void pdTurnsOverWhatDfpdCounts()
    {
        QFETCH(QStringList, board);
        QFETCH(QPoint, cell);
        QFETCH(int, count);
        QFETCH(QString, seen);

        EndWatcher state;
        putBoard(state, board);
        for (int i = 0; i <= kBoardSize; ++i)
            state.qizi[0][i] = state.qizi[i][0] = kWhite;
        QCOMPARE(int(state.dfpd(cell.x(), cell.y(), kWhite)), count);
        state.bqnum = state.hqnum = -7;
        GameState expected = state;
        referencePlay(expected, cell.x(), cell.y(), kWhite);

        state.qizi[cell.x()][cell.y()] = kWhite;
        state.pd(cell.x(), cell.y(), kWhite);
        const GameState &after = state.seen.isEmpty() ? state : state.firstSeen;
        QCOMPARE(boardToText(after), boardToText(expected));
        QCOMPARE(QPoint(after.bqnum, after.hqnum), QPoint(expected.bqnum, expected.hqnum));
        QCOMPARE(state.seen.join(' '), seen);
    }

    // Over random positions from full to empty, with the moving side's stones on the border where
    // no ray may look: dfpd counts what the plain rule captures on every cell, pd turns over
    // exactly those stones and leaves true counts, and pdkyxq rewrites every cell, and only
    // cells, to mark the empty ones that capture.
    void rulesAgreeWithThePlainStatement()
    {
        std::mt19937 rng(0x7A5B1u);
        for (int position = 0; position < 3000; ++position) {
            GameState before;
            for (int x = 1; x <= kBoardSize; ++x)
                for (int y = 1; y <= kBoardSize; ++y)
                    before.qizi[x][y] = int(rng() % 3000) < position ? 0 : 1 + rng() % 2;
            for (const std::int16_t side : {kWhite, kBlack}) {
                for (int i = 0; i <= kBoardSize; ++i)
                    before.qizi[0][i] = before.qizi[i][0] = side;
                if (side == kBlack) {
                    // The computer's choice follows the plain priority over the plain counts.
                    GameState computer = before;
                    computer.stepnum = 1;
                    computer.dfxq();
                    QCOMPARE(
                        QPoint(computer.qipu[1].x, computer.qipu[1].y), referenceChoice(before));
                }
                GameState mapped = before;
                std::fill_n(&mapped.kyxq[0][0], sizeof mapped.kyxq / 2, std::int16_t(5));
                mapped.pdkyxq(side);
                for (std::int16_t x = 1; x <= kBoardSize; ++x)
                    for (std::int16_t y = 1; y <= kBoardSize; ++y) {
                        GameState expected = before, played = before;
                        const int captured = referencePlay(expected, x, y, side);
                        played.qizi[x][y] = side;
                        const int counted = played.dfpd(x, y, side);
                        played.pd(x, y, side);
                        if (counted != captured || !sameState(played, expected)
                            || mapped.kyxq[x][y]
                                != (before.qizi[x][y] == kEmpty && captured ? kLegal : kIllegal)
                            || mapped.kyxq[0][y] != 5 || mapped.kyxq[x][0] != 5)
                            QFAIL(qPrintable(QString::asprintf("position %d, (%d, %d), side %d:\n",
                                                 position, x, y, side)
                                + boardToText(before).join('\n')));
                    }
            }
        }
    }

    void dfxqPlaysAndRecords_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("stepnum");
        QTest::addColumn<bool>("record");
        QTest::addColumn<QPoint>("chosen"); // black's stone; null for a pass
        QTest::addColumn<bool>("written"); // the stone lands in entry stepnum

        const auto choose = [](const char *name, const QString &board, QPoint chosen) {
            QTest::newRow(name) << board << 1 << true << chosen << true;
        };
        // White has just played (10, 9) on the starting position and turned (9, 9).
        choose("worked example: black answers (10, 8)", "x@8,8 o@9,8 o@8-10,9", {10, 8});
        const QString corners = "o@15,1 x@14,1 o@15,16 x@14,16"; // (16, 1) and (16, 16)
        choose("corner (1, 1) first of four", "o@2,1 x@3,1 o@2,16 x@3,16 " + corners, {1, 1});
        choose("corner (1, 16) before (16, 1)", "o@2,16 x@3,16 " + corners, {1, 16});
        choose("corner (16, 1) before (16, 16)", corners, {16, 1});
        // The edge scan meets the other three corners first anyway.
        choose("corner (16, 16) before edge (2, 1)", "o@3,1 x@4,1 o@15,16 x@14,16", {16, 16});
        choose("edge (1, 3) before (5, 1) taking more", "o@2,3 x@3,3 o@6-10,1 x@11,1", {1, 3});
        const QString sides = "o@2,5 x@3,5 o@15,5 x@14,5"; // (1, 5) and (16, 5)
        choose(
            "edge: top before bottom, left, right", "o@5,2 x@5,3 o@5,15 x@5,14 " + sides, {5, 1});
        choose("edge: bottom before left and right", "o@5,15 x@5,14 " + sides, {5, 16});
        choose("edge: left before right", sides, {1, 5});
        choose("edge taking 1 beats interior taking 10", "o@6,1 x@7,1 x@1,10 o@2-11,10", {5, 1});
        choose("occupied edge cell never chosen", "x@2,5 o@3-16,5 o@4,10 x@5,10", {3, 10});
        choose("interior tie: (15, 2) before (2, 15)", "o@14,2 x@13,2 o@3,15 x@4,15", {15, 2});
        choose("interior tie in a row: (2, 7) before (12, 7)", "o@3,7 x@4,7 o@11,7 x@10,7", {2, 7});
        choose(
            "interior: (15, 15) taking 2 beats (2, 2)", "o@3,2 x@4,2 o@13-14,15 x@12,15", {15, 15});

        const QString start = "x@8,8 x@9,9 o@9,8 o@8,9"; // black answers (9, 7)
        QTest::newRow("last entry") << start << 256 << true << QPoint(9, 7) << true;
        QTest::newRow("unused entry 0") << start << 0 << true << QPoint(9, 7) << false;
        QTest::newRow("recording off") << start << 5 << false << QPoint(9, 7) << false;
        QTest::newRow("silent pass") << "o@1,1 x@2,1" << 5 << true << QPoint() << false;
        QTest::newRow("black fills the board: stone and entry in place when the game ends")
            << "o@1-16,1-16 .@1,1 x@3,1" << 2 << true << QPoint(1, 1) << true;
    }

    // Every entry and map cell holds a mark beforehand: a write outside the record would land on
    // a neighbouring field. The game may be saved from inside pd, so the state is looked at
    // there when the game ends.
    void dfxqPlaysAndRecords()
    {
        QFETCH(QString, board);
        QFETCH(int, stepnum);
        QFETCH(bool, record);
        QFETCH(QPoint, chosen);
        QFETCH(bool, written);

        EndWatcher state;
        putBoard(state, placedBoard(board));
        std::fill(std::begin(state.qipu), std::end(state.qipu), stepxy {3, 3});
        std::fill_n(&state.kyxq[0][0], sizeof state.kyxq / 2, kLegal);
        state.stepnum = std::int16_t(stepnum);
        GameState expected = state;
        if (!chosen.isNull())
            referencePlay(expected, chosen.x(), chosen.y(), kBlack);
        if (written)
            expected.qipu[stepnum] = {std::int16_t(chosen.x()), std::int16_t(chosen.y())};
        state.dfxq(record);

        const GameState &at = state.seen.isEmpty() ? state : state.firstSeen;
        QVERIFY(sameState(at, expected));
        QCOMPARE(state.seen.isEmpty(), boardToText(expected).join("").contains('.'));
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
