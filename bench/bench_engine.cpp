// The rules engine alone: the capture count, the legal-move map, the computer's move and one
// whole exchange. Every benchmark also reports the allocations it made per iteration, which
// must be zero: the engine allocates nothing.
#include "allocation_counter.h"
#include "bench_positions.h"

#include <benchmark/benchmark.h>

namespace {

using tavrin::kBoardSize;
using tavrin::kWhite;
using tavrin::RecordEntry;
using tavrin::bench::allocationCount;
using tavrin::bench::EndAwareState;

constexpr int kCells = kBoardSize * kBoardSize;

enum Position { Start, Crowded };

EndAwareState position(Position which)
{
    return which == Start ? tavrin::bench::startingPosition() : tavrin::bench::crowdedPosition();
}

// Allocations per iteration since `before`, as a counter of the benchmark.
void reportAllocations(benchmark::State &state, std::uint64_t before)
{
    state.counters["allocs/iter"] = benchmark::Counter(
        static_cast<double>(allocationCount() - before), benchmark::Counter::kAvgIterations);
}

// Time of one capturesAt call, averaged over every cell of the board.
void BM_dfpd(benchmark::State &state)
{
    const EndAwareState game = position(static_cast<Position>(state.range(0)));
    state.SetLabel(state.range(0) == Start ? "starting position" : "crowded position");
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        int total = 0;
        for (std::int16_t x = 1; x <= kBoardSize; ++x) {
            for (std::int16_t y = 1; y <= kBoardSize; ++y) {
                total += game.capturesAt(x, y, kWhite);
            }
        }
        benchmark::DoNotOptimize(total);
    }
    reportAllocations(state, before);
    state.counters["per capturesAt"] = benchmark::Counter(
        kCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_dfpd)->Arg(Start)->Arg(Crowded);

void BM_pdkyxq(benchmark::State &state)
{
    EndAwareState game = position(static_cast<Position>(state.range(0)));
    state.SetLabel(state.range(0) == Start ? "starting position" : "crowded position");
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        game.markPlayable(kWhite);
        benchmark::DoNotOptimize(game.playable);
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_pdkyxq)->Arg(Start)->Arg(Crowded);

// playComputerMove changes the board, so each iteration plays it on a fresh copy of the position;
// the copy alone is timed by BM_copyPosition.
void BM_dfxq(benchmark::State &state)
{
    const EndAwareState game = position(static_cast<Position>(state.range(0)));
    state.SetLabel(state.range(0) == Start ? "starting position, with the copy"
                                           : "crowded position, with the copy");
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        EndAwareState copy = game;
        copy.playComputerMove(false);
        benchmark::DoNotOptimize(copy.board);
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_dfxq)->Arg(Start)->Arg(Crowded);

void BM_copyPosition(benchmark::State &state)
{
    const EndAwareState game = position(Crowded);
    for (auto _ : state) {
        EndAwareState copy = game;
        benchmark::DoNotOptimize(copy.board);
    }
}
BENCHMARK(BM_copyPosition);

// One whole exchange per iteration: white's move (the first cell of its map), playStone, black's
// answer and white's new map. The iterations walk through whole games; setting up the next
// game is not timed.
void BM_engineExchange(benchmark::State &state)
{
    EndAwareState game = tavrin::bench::startingPosition();
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        RecordEntry cell = tavrin::bench::firstLegalCell(game);
        if (cell.x == 0 || game.gameOver) {
            state.PauseTiming();
            game = tavrin::bench::startingPosition();
            cell = tavrin::bench::firstLegalCell(game);
            state.ResumeTiming();
        }
        tavrin::bench::engineExchange(game, cell);
        benchmark::DoNotOptimize(game.playable);
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_engineExchange);

// Every engine operation in a row over a whole game, counting allocations only.
void BM_engineWholeGame(benchmark::State &state)
{
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        EndAwareState game = tavrin::bench::startingPosition();
        for (int turn = 0; turn < kCells && !game.gameOver; ++turn) {
            const RecordEntry cell = tavrin::bench::firstLegalCell(game);
            if (cell.x == 0) {
                game.playComputerMove(false);
                game.markPlayable(kWhite);
                continue;
            }
            tavrin::bench::engineExchange(game, cell);
        }
        benchmark::DoNotOptimize(game.board);
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_engineWholeGame)->Unit(benchmark::kMicrosecond);

} // namespace
