#include "replay/replay.h"

#include <QString>

namespace tavrin::replay {

namespace {

const char *sideName(std::int16_t side)
{
    return side == kWhite ? "white" : "black";
}

// The entry the computer writes for its turn at `index` of the record in `state`.
stepxy computerChoice(const GameState &state, int index)
{
    GameState trial = state;
    trial.stepnum = static_cast<std::int16_t>(index);
    trial.qipu[index] = stepxy {};
    trial.dfxq();
    return trial.qipu[index];
}

// Checks one turn against the rules; empty when it may be played.
std::optional<QString> turnFault(
    const GameState &state, stepxy entry, std::int16_t side, int index, bool checkComputer)
{
    if (isGameOver(state)) {
        return QStringLiteral("the game was already over");
    }
    if (checkComputer && side == kBlack) {
        const stepxy expected = computerChoice(state, index);
        if (expected.x != entry.x || expected.y != entry.y) {
            return QStringLiteral("the computer plays (%1, %2) here, the record has (%3, %4)")
                .arg(expected.x)
                .arg(expected.y)
                .arg(entry.x)
                .arg(entry.y);
        }
    }
    if (entry.x != 0
        && (state.qizi[entry.x][entry.y] != kEmpty || state.dfpd(entry.x, entry.y, side) == 0)) {
        return QStringLiteral("illegal move for %1 at (%2, %3)")
            .arg(QLatin1String(sideName(side)))
            .arg(entry.x)
            .arg(entry.y);
    }
    return std::nullopt;
}

} // namespace

bool isGameOver(const GameState &state)
{
    return state.bqnum + state.hqnum == kBoardSize * kBoardSize || state.bqnum == 0
        || state.hqnum == 0;
}

ReplayResult replayRecord(const std::vector<stepxy> &entries, const ReplayOptions &options)
{
    GameState state;
    state.initqizi();
    state.pd(1, 1, kWhite); // only recounts the starting position

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
        const stepxy entry = entries[static_cast<std::size_t>(index - 1)];
        const std::int16_t side = index % 2 == 1 ? kWhite : kBlack;
        if (auto fault = turnFault(state, entry, side, index, options.checkComputer)) {
            result.error = RecordError {index, *fault};
            return result;
        }
        state.stepnum = static_cast<std::int16_t>(index);
        state.qipu[index] = entry;
        if (entry.x != 0) {
            state.qizi[entry.x][entry.y] = side;
            state.pd(entry.x, entry.y, side);
        }
        keepPosition(index);
    }
    return result;
}

} // namespace tavrin::replay
