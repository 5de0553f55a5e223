// The review window: preparing a whole game's record (every position worked out once), and
// stepping through all of its entries one by one, forward then back, each step redrawn on the
// (offscreen) screen.
#include "bench_record.h"
#include "replay/review_window.h"
#include "run_benchmarks.h"
#include "widget_wait.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

using tavrin::bench::waitUntilExposed;

namespace {

using namespace tavrin::replay;

void BM_reviewPrepare(benchmark::State &state)
{
    const QByteArray record = tavrin::bench::wholeGameRecord();
    for (auto _ : state) {
        ReviewGame game = prepareReview(parseRecord(record), false);
        benchmark::DoNotOptimize(game.positions.data());
    }
    state.SetLabel("read, checked and every position worked out, 255 entries");
}
BENCHMARK(BM_reviewPrepare)->Unit(benchmark::kMillisecond);

// One step through the window's own action, and the repaint it causes.
void step(QAction &action)
{
    action.trigger();
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

void BM_reviewStepAcrossGame(benchmark::State &state)
{
    const QByteArray record = tavrin::bench::wholeGameRecord();
    ReviewWindow window(prepareReview(parseRecord(record), false), QStringLiteral("game.tvr"), {});
    window.showEntry(0);
    window.show();
    if (!waitUntilExposed(window)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    auto &forward = *window.findChild<QAction *>(QStringLiteral("forward"));
    auto &back = *window.findChild<QAction *>(QStringLiteral("back"));
    long long steps = 0;
    for (auto _ : state) {
        while (forward.isEnabled()) {
            step(forward);
            ++steps;
        }
        while (back.isEnabled()) {
            step(back);
            ++steps;
        }
    }
    state.counters["steps/iter"]
        = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
    state.counters["time/step"] = benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_reviewStepAcrossGame)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return tavrin::bench::runBenchmarks(argc, argv);
}
