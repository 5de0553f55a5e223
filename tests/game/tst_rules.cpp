// The rule operations of the game state (capturesAt, playStone, markPlayable, playComputerMove)
// checked against the capture rule and the computer's priorities written out plainly.
#include "board_text.h"
#include "game/game_state.h"
#include "reference_rules.h"

#include <QTest>
#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <tuple>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// True when the two states hold the same values in every field.
bool sameState(const GameState &a, const GameState &b)
{
    return std::memcmp(a.board, b.board, sizeof a.board) == 0
        && std::memcmp(a.playable, b.playable, sizeof a.playable) == 0
        && std::memcmp(a.record, b.record, sizeof a.record) == 0
        && std::tie(a.elapsedSeconds, a.gameStarted, a.whiteCount, a.blackCount, a.lastEntry)
        == std::tie(b.elapsedSeconds, b.gameStarted, b.whiteCount, b.blackCount, b.lastEntry);
}

// Counts the calls of ended() and keeps the whole state as the first one saw it: the state a game
// flow would close the game with.
struct EndWatcher : GameState
{
    int calls = 0;
    GameState firstSeen;

    void ended() override
    {
        if (calls++ == 0)
            firstSeen = *this;
    }
    const GameState &atEnd() const { return calls ? firstSeen : *this; }
};

// The calls of ended() a play must make to reach `after`: one for a full board, one more for a
// side without stones.
int endsReaching(const GameState &after)
{
    return (after.whiteCount + after.blackCount == kBoardSize * kBoardSize)
        + (after.whiteCount == 0 || after.blackCount == 0);
}

// Black's choice by the plain statement: a corner, then the edge scan, then the interior cell
// that captures most, the first met row by row; null when black cannot play.
QPoint referenceChoice(const GameState &state)
{
    const auto captured = [&](QPoint cell) {
        return referenceCaptures(state, cell.x(), cell.y(), kBlack);
    };
    for (const QPoint corner : {QPoint(1, 1), QPoint(1, 16), QPoint(16, 1), QPoint(16, 16)})
        if (captured(corner))
            return corner;
    for (int i = 1; i <= kBoardSize; ++i)
        for (const QPoint edge : {QPoint(i, 1), QPoint(i, 16), QPoint(1, i), QPoint(16, i)})
            if (captured(edge))
                return edge;
    QPoint chosen;
    for (int y = 2, best = 0; y < kBoardSize; ++y)
        for (int x = 2; x < kBoardSize; ++x)
            if (const int count = captured({x, y}); count > best)
                best = count, chosen = QPoint(x, y);
    return chosen;
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    // Over random positions from full to empty, with the moving side's stones on the border where
    // no ray may look and stale counts: on every cell capturesAt counts what the plain rule
    // captures, playStone turns over exactly those stones, recounts and ends the game as the rule
    // says; markPlayable rewrites every cell, and only cells, to mark the empty ones that capture;
    // and the computer plays the plain priority over the plain counts and records its stone in
    // entry lastEntry when recording and that entry is one of 1..256. Each entry and map cell holds
    // a mark beforehand, so that a stray write shows; the state is looked at when the game ends, as
    // a game may be saved from there.
    void rulesAgreeWithThePlainStatement()
    {
        std::mt19937 rng(0x7A5B1u);
        for (int position = 0; position < 3000; ++position) {
            GameState before;
            before.whiteCount = before.blackCount = -7;
            std::fill(std::begin(before.record), std::end(before.record), RecordEntry {3, 3});
            std::fill_n(&before.playable[0][0], sizeof before.playable / 2, kLegal);
            for (int x = 1; x <= kBoardSize; ++x)
                for (int y = 1; y <= kBoardSize; ++y)
                    before.board[x][y] = int(rng() % 3000) < position ? 0 : 1 + rng() % 2;
            for (const std::int16_t side : {kWhite, kBlack}) {
                EndWatcher played;
                for (int i = 0; i <= kBoardSize; ++i)
                    before.board[0][i] = before.board[i][0] = side;
                if (side == kBlack) {
                    played.GameState::operator=(before);
                    played.lastEntry = std::array {0, 1, 256}[position % 3];
                    GameState expected = played;
                    const QPoint chosen = referenceChoice(before);
                    if (!chosen.isNull())
                        referencePlay(expected, chosen.x(), chosen.y(), kBlack);
                    if (!chosen.isNull() && position % 4 != 0 && expected.lastEntry >= 1)
                        expected.record[expected.lastEntry]
                            = {std::int16_t(chosen.x()), std::int16_t(chosen.y())};
                    played.playComputerMove(position % 4 != 0);
                    QVERIFY2(sameState(played.atEnd(), expected)
                            && played.calls == (chosen.isNull() ? 0 : endsReaching(expected)),
                        qPrintable(QStringLiteral("computer, position %1:\n").arg(position)
                            + boardToText(before).join('\n')));
                }
                GameState mapped = before;
                std::fill_n(&mapped.playable[0][0], sizeof mapped.playable / 2, std::int16_t(5));
                mapped.markPlayable(side);
                for (std::int16_t x = 1; x <= kBoardSize; ++x)
                    for (std::int16_t y = 1; y <= kBoardSize; ++y) {
                        GameState expected = before;
                        played.GameState::operator=(before);
                        played.calls = 0;
                        const int captured = referencePlay(expected, x, y, side);
                        played.board[x][y] = side;
                        const int counted = played.capturesAt(x, y, side);
                        played.playStone(x, y, side);
                        if (counted != captured || !sameState(played.atEnd(), expected)
                            || played.calls != endsReaching(expected)
                            || mapped.playable[x][y]
                                != (before.board[x][y] == kEmpty && captured ? kLegal : kIllegal)
                            || mapped.playable[0][y] != 5 || mapped.playable[x][0] != 5)
                            QFAIL(qPrintable(QString::asprintf("position %d, (%d, %d), side %d:\n",
                                                 position, x, y, side)
                                + boardToText(before).join('\n')));
                    }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
