#include "replay/replay.h"

#include <QString>

namespace tavrin::replay {

namespace {

const char *sideName(std::int16_t side)
{
    return side == kWhite ? "white" : "black";
}

// The entry the computer writes for its turn at `index` of the record in `state`.
RecordEntry computerChoice(const GameState &state, int index)
{
    GameState trial = state;
    trial.lastEntry = static_cast<std::int16_t>(index);
    trial.record[index] = RecordEntry {};
    trial.playComputerMove();
    return trial.record[index];
}

// Checks one turn against the rules: a failure says why it may not be played.
Result<> checkTurn(
    const GameState &state, RecordEntry entry, std::int16_t side, int index, bool checkComputer)
{
    if (isGameOver(state)) {
        return Failure {QStringLiteral("the game was already over")};
    }
    if (checkComputer && side == kBlack) {
        const RecordEntry expected = computerChoice(state, index);
        if (expected.x != entry.x || expected.y != entry.y) {
            return Failure {
                QStringLiteral("the computer plays (%1, %2) here, the record has (%3, %4)")
                    .arg(expected.x)
                    .arg(expected.y)
                    .arg(entry.x)
                    .arg(entry.y)};
        }
    }
    if (entry.x != 0
        && (state.board[entry.x][entry.y] != kEmpty
            || state.capturesAt(entry.x, entry.y, side) == 0)) {
        return Failure {QStringLiteral("illegal move for %1 at (%2, %3)")
                            .arg(QLatin1String(sideName(side)))
                            .arg(entry.x)
                            .arg(entry.y)};
    }
    return {};
}

} // namespace

bool isGameOver(const GameState &state)
{
    return state.whiteCount + state.blackCount == kBoardSize * kBoardSize || state.whiteCount == 0
        || state.blackCount == 0;
}

ReplayResult replayRecord(const std::vector<RecordEntry> &entries, const ReplayOptions &options)
{
    GameState state;
    state.placeStartingStones();
    state.playStone(1, 1, kWhite); // only recounts the starting position

    ReplayResult result;
    const int step = options.step < 0 ? static_cast<int>(entries.size()) : options.step;
    const auto keepPosition = [&](int index) {
        if (index == step) {
            result.position = state;
            result.gameOver = index > 0 && isGameOver(state);
        }
    };
    keepPosition(0);
    for (int index = 1; index <= static_cast<int>(entries.size()); ++index) {
        const RecordEntry entry = entries[static_cast<std::size_t>(index - 1)];
        const std::int16_t side = index % 2 == 1 ? kWhite : kBlack;
        if (const Result<> turn = checkTurn(state, entry, side, index, options.checkComputer);
            !turn) {
            result.error = RecordError {index, turn.reason()};
            return result;
        }
        state.lastEntry = static_cast<std::int16_t>(index);
        state.record[index] = entry;
        if (entry.x != 0) {
            state.board[entry.x][entry.y] = side;
            state.playStone(entry.x, entry.y, side);
        }
        keepPosition(index);
    }
    return result;
}

} // namespace tavrin::replay
