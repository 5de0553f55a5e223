#include "bench_positions.h"

namespace tavrin::bench {

RecordEntry firstLegalCell(const GameState &state)
{
    for (std::int16_t x = 1; x <= kBoardSize; ++x) {
        for (std::int16_t y = 1; y <= kBoardSize; ++y) {
            if (state.playable[x][y] == kLegal) {
                return {x, y};
            }
        }
    }
    return {};
}

EndAwareState startingPosition()
{
    EndAwareState state;
    state.placeStartingStones();
    // playStone on the empty corner turns nothing over: it only counts the four stones.
    state.playStone(1, 1, kWhite);
    state.markPlayable(kWhite);
    state.gameStarted = 1;
    return state;
}

void engineExchange(EndAwareState &state, RecordEntry cell)
{
    state.board[cell.x][cell.y] = kWhite;
    state.playStone(cell.x, cell.y, kWhite);
    if (!state.gameOver) {
        state.playComputerMove(false);
    }
    state.markPlayable(kWhite);
}

EndAwareState crowdedPosition(int stones)
{
    EndAwareState state = startingPosition();
    // Every exchange adds a stone unless both sides are stuck, which ends the set-up as well.
    while (state.whiteCount + state.blackCount < stones && !state.gameOver) {
        const int before = state.whiteCount + state.blackCount;
        const RecordEntry cell = firstLegalCell(state);
        if (cell.x == 0) {
            // White passes: black answers alone.
            state.playComputerMove(false);
            state.markPlayable(kWhite);
        } else {
            engineExchange(state, cell);
        }
        if (state.whiteCount + state.blackCount == before) {
            break;
        }
    }
    return state;
}

} // namespace tavrin::bench
