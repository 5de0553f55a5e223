// The game flow with a window that does nothing: one whole exchange as a release delivers it,
// and a whole game of the player's first legal cell against the computer.
#include "allocation_counter.h"
#include "bench_positions.h"
#include "flow/game_flow.h"
#include "run_benchmarks.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

using tavrin::cellAt;
using tavrin::cellCentreUnits;
using tavrin::GameFlow;
using tavrin::kWhite;
using tavrin::RecordEntry;
using tavrin::WindowServices;
using tavrin::bench::allocationCount;

// A window whose services cost nothing: every question gets the same answer, the Save dialog is
// cancelled, and nothing is drawn.
class NoOpWindow : public WindowServices
{
public:
    explicit NoOpWindow(bool playAgain) : playAgain_(playAgain) { }

    bool askYesNo(const QString &, const QString &, Icon) override { return playAgain_; }
    void showInformation(const QString &, const QString &) override { }
    QString chooseSaveFile(const QString &, const QString &) override { return {}; }
    void beep() override { }
    void endProgram() override { }
    void paintStones() override { }
    void repaintBoard() override { }
    void startClock() override { }
    void showStatusLabels() override { }
    void setModeCaption(const QString &) override { }
    void announceComputerMove(const std::optional<tavrin::RecordEntry> &) override { }

private:
    bool playAgain_;
};

// White's next turn: a release on the first legal cell, or the pass command when none is left.
void playWhite(GameFlow &flow)
{
    const RecordEntry cell = tavrin::bench::firstLegalCell(flow);
    if (cell.x == 0) {
        flow.pass();
        return;
    }
    flow.release(
        cellAt(float(cellCentreUnits(cell.x)), float(cellCentreUnits(cell.y))), Qt::LeftButton);
}

// One accepted release per iteration: white's stone, black's answer and the new map. A game
// that ends is followed by the next one (the window answers Yes); when white would have to pass,
// a new game is started without timing it.
void BM_flowExchange(benchmark::State &state)
{
    NoOpWindow window(true);
    GameFlow flow(window);
    flow.placeStartingStones();
    flow.newGame();
    std::int64_t allocationsInExchanges = 0;
    for (auto _ : state) {
        RecordEntry cell = tavrin::bench::firstLegalCell(flow);
        if (cell.x == 0) {
            state.PauseTiming();
            flow.newGame();
            cell = tavrin::bench::firstLegalCell(flow);
            state.ResumeTiming();
        }
        const std::uint64_t before = allocationCount();
        flow.release(
            cellAt(float(cellCentreUnits(cell.x)), float(cellCentreUnits(cell.y))), Qt::LeftButton);
        allocationsInExchanges += static_cast<std::int64_t>(allocationCount() - before);
        benchmark::DoNotOptimize(flow.playable);
    }
    // Only the end of a game (its result text) may allocate.
    state.counters["allocs/iter"] = benchmark::Counter(
        static_cast<double>(allocationsInExchanges), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_flowExchange);

// A whole game through the flow, from the new-game command until the player declines the next
// game; the Save dialog is cancelled.
void BM_selfPlayGame(benchmark::State &state)
{
    NoOpWindow window(false);
    std::int64_t turns = 0;
    for (auto _ : state) {
        GameFlow flow(window);
        flow.placeStartingStones();
        flow.newGame();
        for (int turn = 0; turn < tavrin::kRecordCapacity && !flow.programEnded(); ++turn) {
            playWhite(flow);
            ++turns;
        }
        benchmark::DoNotOptimize(flow.board);
    }
    state.counters["white turns/game"]
        = benchmark::Counter(static_cast<double>(turns), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_selfPlayGame)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    // The flow asks the application for the program's folder when it offers the Save dialog.
    QCoreApplication app(argc, argv);
    return tavrin::bench::runBenchmarks(argc, argv);
}
