#include "game_invariants.h"

#include "reference_rules.h"
#include "replay/replay.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <vector>

namespace tavrin::invariants {

namespace {

// The parts written one after the other, as a fault's description.
template<class... Parts>
std::optional<std::string> fault(const Parts &...parts)
{
    std::ostringstream text;
    (text << ... << parts);
    return text.str();
}

// The first cell whose board or map value breaks its rule: the border holds 0 in both, a board
// cell a stone code and, when `map` is set, its map value the legality rule for white.
std::optional<std::string> cellFault(const GameState &state, bool map)
{
    for (int x = 0; x <= kBoardSize; ++x)
        for (int y = 0; y <= kBoardSize; ++y) {
            const bool border = x == 0 || y == 0;
            const int code = state.board[x][y], marked = state.playable[x][y];
            if (border ? code != kEmpty : code != kEmpty && code != kWhite && code != kBlack)
                return fault("cell (", x, ", ", y, ") holds code ", code);
            const int rule = map && !border && legalByRule(state, x, y, kWhite) ? kLegal : kIllegal;
            if ((border || map) && marked != rule)
                return fault(
                    "legal-move map at (", x, ", ", y, ") is ", marked, ", the rule gives ", rule);
        }
    return std::nullopt;
}

std::optional<std::string> recordFault(const GameState &state, const CheckPoint &point)
{
    if (state.lastEntry < 0 || state.lastEntry > kRecordCapacity)
        return fault("lastEntry ", state.lastEntry, " outside 0..", kRecordCapacity);
    if (point.exchangeCompleted && state.lastEntry % 2 != 0)
        return fault("lastEntry ", state.lastEntry, " is odd after an exchange");
    for (int i = state.lastEntry + 1; i <= kRecordCapacity; ++i)
        if (state.record[i].x != 0 || state.record[i].y != 0)
            return fault("record entry ", i, " past lastEntry is not empty");
    return std::nullopt;
}

std::optional<std::string> replayFault(const GameState &state, ReplayCheck check)
{
    if (check == ReplayCheck::None || state.lastEntry >= kRecordCapacity)
        return std::nullopt;
    const replay::ReplayResult replayed = replay::replayRecord(
        std::vector<RecordEntry>(state.record + 1, state.record + 1 + state.lastEntry),
        {.checkComputer = check == ReplayCheck::StonesAndComputer});
    if (replayed.error)
        return fault("replaying the record fails at entry ", replayed.error->line, ": ",
            replayed.error->reason.toStdString());
    if (std::memcmp(replayed.position.board, state.board, sizeof state.board) != 0)
        return fault("replaying the record gives another board");
    return std::nullopt;
}

// White and black stones on the board, counted afresh.
std::pair<int, int> stonesOnBoard(const GameState &state)
{
    const auto *cells = &state.board[0][0], *end = cells + sizeof state.board / sizeof *cells;
    return {int(std::count(cells, end, kWhite)), int(std::count(cells, end, kBlack))};
}

} // namespace

bool legalByRule(const GameState &state, int x, int y, int side)
{
    return test::referenceCaptures(state, x, y, side) > 0;
}

bool gameOverByRule(const GameState &state)
{
    const auto [white, black] = stonesOnBoard(state);
    return white + black == kBoardSize * kBoardSize || white == 0 || black == 0;
}

std::optional<std::string> firstFault(const GameState &state, const CheckPoint &point)
{
    std::optional<std::string> found
        = cellFault(state, point.countsTaken && point.exchangeCompleted);
    if (!found)
        found = recordFault(state, point);
    if (found || !point.countsTaken)
        return found;
    const auto [white, black] = stonesOnBoard(state);
    if (state.whiteCount != white || state.blackCount != black)
        return fault("counts ", state.whiteCount, "/", state.blackCount, " but the board holds ",
            white, "/", black);
    return replayFault(state, point.replay);
}

} // namespace tavrin::invariants
