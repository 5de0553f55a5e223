#include "game_invariants.h"

#include "reference_rules.h"
#include "replay/replay.h"

#include <utility>
#include <vector>

namespace tavrin::invariants {

namespace {

std::string cellName(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::optional<std::string> borderOrCodeFault(const GameState &state)
{
    for (int x = 0; x <= kBoardSize; ++x) {
        for (int y = 0; y <= kBoardSize; ++y) {
            const int code = state.qizi[x][y];
            const bool border = x == 0 || y == 0;
            if (border && (code != kEmpty || state.kyxq[x][y] != kIllegal))
                return "border cell " + cellName(x, y) + " is not 0";
            if (code != kEmpty && code != kWhite && code != kBlack)
                return "cell " + cellName(x, y) + " holds code " + std::to_string(code);
        }
    }
    return std::nullopt;
}

// White and black stones on the board, counted afresh.
std::pair<int, int> stonesOnBoard(const GameState &state)
{
    int white = 0;
    int black = 0;
    for (int x = 1; x <= kBoardSize; ++x) {
        for (int y = 1; y <= kBoardSize; ++y) {
            white += state.qizi[x][y] == kWhite;
            black += state.qizi[x][y] == kBlack;
        }
    }
    return {white, black};
}

std::optional<std::string> countFault(const GameState &state)
{
    const auto [white, black] = stonesOnBoard(state);
    if (state.bqnum != white || state.hqnum != black)
        return "counts " + std::to_string(state.bqnum) + "/" + std::to_string(state.hqnum)
            + " but the board holds " + std::to_string(white) + "/" + std::to_string(black);
    return std::nullopt;
}

std::optional<std::string> mapFault(const GameState &state)
{
    for (int x = 1; x <= kBoardSize; ++x) {
        for (int y = 1; y <= kBoardSize; ++y) {
            const std::int16_t expected = legalByRule(state, x, y, kWhite) ? kLegal : kIllegal;
            if (state.kyxq[x][y] != expected)
                return "legal-move map at " + cellName(x, y) + " is "
                    + std::to_string(state.kyxq[x][y]) + ", the rule gives "
                    + std::to_string(expected);
        }
    }
    return std::nullopt;
}

std::optional<std::string> recordFault(const GameState &state, const CheckPoint &point)
{
    if (state.stepnum < 0 || state.stepnum > kRecordCapacity)
        return "stepnum " + std::to_string(state.stepnum) + " outside 0.."
            + std::to_string(kRecordCapacity);
    if (point.exchangeCompleted && state.stepnum % 2 != 0)
        return "stepnum " + std::to_string(state.stepnum) + " is odd after an exchange";
    for (int i = state.stepnum + 1; i <= kRecordCapacity; ++i) {
        if (state.qipu[i].x != 0 || state.qipu[i].y != 0)
            return "record entry " + std::to_string(i) + " past stepnum is not empty";
    }
    return std::nullopt;
}

std::optional<std::string> replayFault(const GameState &state, ReplayCheck check)
{
    if (check == ReplayCheck::None || state.stepnum >= kRecordCapacity)
        return std::nullopt;
    const std::vector<stepxy> entries(state.qipu + 1, state.qipu + 1 + state.stepnum);
    replay::ReplayOptions options;
    options.checkComputer = check == ReplayCheck::StonesAndComputer;
    const replay::ReplayResult replayed = replay::replayRecord(entries, options);
    if (replayed.error)
        return "replaying the record fails at entry " + std::to_string(replayed.error->line) + ": "
            + replayed.error->reason.toStdString();
    for (int x = 1; x <= kBoardSize; ++x) {
        for (int y = 1; y <= kBoardSize; ++y) {
            if (replayed.position.qizi[x][y] != state.qizi[x][y])
                return "replaying the record gives " + std::to_string(replayed.position.qizi[x][y])
                    + " at " + cellName(x, y) + ", the board holds "
                    + std::to_string(state.qizi[x][y]);
        }
    }
    return std::nullopt;
}

} // namespace

bool legalByRule(const GameState &state, int x, int y, int side)
{
    return test::referenceCaptures(state, x, y, side) > 0;
}

bool neitherSideCanPlay(const GameState &state)
{
    for (int x = 1; x <= kBoardSize; ++x)
        for (int y = 1; y <= kBoardSize; ++y)
            if (legalByRule(state, x, y, kWhite) || legalByRule(state, x, y, kBlack))
                return false;
    return true;
}

bool gameOverByRule(const GameState &state)
{
    const auto [white, black] = stonesOnBoard(state);
    return white + black == kBoardSize * kBoardSize || white == 0 || black == 0;
}

std::optional<std::string> firstFault(const GameState &state, const CheckPoint &point)
{
    if (auto fault = borderOrCodeFault(state))
        return fault;
    if (auto fault = recordFault(state, point))
        return fault;
    if (!point.countsTaken)
        return std::nullopt;
    if (auto fault = countFault(state))
        return fault;
    if (point.exchangeCompleted) {
        if (auto fault = mapFault(state))
            return fault;
    }
    return replayFault(state, point.replay);
}

} // namespace tavrin::invariants
