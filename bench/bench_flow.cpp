// The game flow's release handler with a window that does nothing, one accepted release per
// iteration (white's stone, black's answer and white's new map), and the allocations it makes.
// The release through the real window, redraw included, is timed by bench_startup's whole game.
#include "allocation_counter.h"
#include "first_legal_cell.h"
#include "flow/game_flow.h"

#include <benchmark/benchmark.h>

namespace {

using tavrin::GameFlow;
using tavrin::RecordEntry;
using tavrin::bench::allocationCount;
using tavrin::bench::firstLegalCell;

// A window whose services cost nothing: every question is answered Yes (the next game), the Save
// dialog is cancelled, nothing is drawn; counts the questions, which come only at a game's end.
class NoOpWindow : public tavrin::WindowServices
{
public:
    int questions = 0;

    bool askYesNo(const QString &, const QString &, Icon, const QString &) override
    {
        ++questions;
        return true;
    }
    void showInformation(const QString &, const QString &) override { }
    QString chooseSaveFile(const QString &, const QString &) override { return {}; }
    void beep() override { }
    void endProgram() override { }
    void paintStones() override { }
    void repaintBoard() override { }
    void startClock() override { }
    void showStatusLabels() override { }
    void setModeCaption(const QString &) override { }
    void announceExchange(const tavrin::Exchange &) override { }
};

// The allocations of releases that did not end a game; the end of a game (its result text) is
// the only part of the flow that may allocate.
void BM_flowRelease(benchmark::State &state)
{
    NoOpWindow window;
    GameFlow flow(window);
    flow.placeStartingStones();
    flow.newGame();
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        RecordEntry cell = firstLegalCell(flow);
        if (cell.x == 0) { // white would have to pass
            state.PauseTiming();
            flow.newGame();
            cell = firstLegalCell(flow);
            state.ResumeTiming();
        }
        const std::uint64_t before = allocationCount();
        const int questionsBefore = window.questions;
        flow.release(tavrin::cellAt(float(tavrin::cellCentreUnits(cell.x)),
                         float(tavrin::cellCentreUnits(cell.y))),
            Qt::LeftButton);
        if (window.questions == questionsBefore) {
            allocations += allocationCount() - before;
        }
    }
    state.counters["allocs/iter"]
        = benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_flowRelease);

} // namespace
