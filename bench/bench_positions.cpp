#include "bench_positions.h"

namespace tavrin::bench {

stepxy firstLegalCell(const GameState &state)
{
    for (std::int16_t x = 1; x <= kBoardSize; ++x) {
        for (std::int16_t y = 1; y <= kBoardSize; ++y) {
            if (state.kyxq[x][y] == kLegal) {
                return {x, y};
            }
        }
    }
    return {};
}

EndAwareState startingPosition()
{
    EndAwareState state;
    state.initqizi();
    // pd on the empty corner turns nothing over: it only counts the four stones.
    state.pd(1, 1, kWhite);
    state.pdkyxq(kWhite);
    state.gamestarted = 1;
    return state;
}

void engineExchange(EndAwareState &state, stepxy cell)
{
    state.qizi[cell.x][cell.y] = kWhite;
    state.pd(cell.x, cell.y, kWhite);
    if (!state.gameOver) {
        state.dfxq(false);
    }
    state.pdkyxq(kWhite);
}

EndAwareState crowdedPosition(int stones)
{
    EndAwareState state = startingPosition();
    // Every exchange adds a stone unless both sides are stuck, which ends the set-up as well.
    while (state.bqnum + state.hqnum < stones && !state.gameOver) {
        const int before = state.bqnum + state.hqnum;
        const stepxy cell = firstLegalCell(state);
        if (cell.x == 0) {
            // White passes: black answers alone.
            state.dfxq(false);
            state.pdkyxq(kWhite);
        } else {
            engineExchange(state, cell);
        }
        if (state.bqnum + state.hqnum == before) {
            break;
        }
    }
    return state;
}

} // namespace tavrin::bench
