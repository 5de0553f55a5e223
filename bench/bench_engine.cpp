// The rules engine alone: one whole exchange (white's move, playStone, black's answer with
// playComputerMove, white's new map with markPlayable), and the allocations every engine
// operation makes, which must be none.
#include "allocation_counter.h"
#include "first_legal_cell.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tavrin;
using tavrin::bench::allocationCount;
using tavrin::bench::firstLegalCell;

// A game state that notes that a game ended instead of closing it.
class EndAwareState : public GameState
{
public:
    bool gameOver = false;

protected:
    void ended() override { gameOver = true; }
};

// The state right after the new-game command: the starting stones counted, white's map built.
EndAwareState startingPosition()
{
    EndAwareState state;
    state.placeStartingStones();
    // playStone on the empty corner turns nothing over: it only counts the four stones.
    state.playStone(1, 1, kWhite);
    state.markPlayable(kWhite);
    return state;
}

// What one accepted release asks of the engine.
void exchange(EndAwareState &state, RecordEntry cell)
{
    state.board[cell.x][cell.y] = kWhite;
    state.playStone(cell.x, cell.y, kWhite);
    if (!state.gameOver) {
        state.playComputerMove(false);
    }
    state.markPlayable(kWhite);
}

// White takes the first cell of its map. The iterations walk through whole games; setting up
// the next game is not timed, but its allocations are counted with the rest.
void BM_engineExchange(benchmark::State &state)
{
    EndAwareState game = startingPosition();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        RecordEntry cell = firstLegalCell(game);
        if (cell.x == 0 || game.gameOver) {
            state.PauseTiming();
            game = startingPosition();
            cell = firstLegalCell(game);
            state.ResumeTiming();
        }
        exchange(game, cell);
        benchmark::DoNotOptimize(game.playable);
    }
    state.counters["allocs/iter"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_engineExchange);

} // namespace
