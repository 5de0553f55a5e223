// The main window's release handler with the redraw it causes: a release on the board is one
// whole exchange, the discs painted into the board's picture, the count captions changed, and
// the changed areas repainted on the (offscreen) screen.
#include "bench_positions.h"
#include "bench_window_support.h"
#include "run_benchmarks.h"
#include "widget_wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

using tavrin::bench::waitUntilExposed;

namespace {

using tavrin::kBoardSize;
using tavrin::kWhite;
using tavrin::MainWindow;
using tavrin::RecordEntry;

// A board this crowded is set back to the start before the next timed release, so that the
// iterations cover the opening and the middle game but never the modal end of a game.
constexpr int kMostStones = 200;

// The main window with the modal parts of the end of a game answered at once (Yes to the next
// game, Cancel in the Save dialog) and the beep silenced.
class BenchWindow : public MainWindow
{
public:
    bool askYesNo(const QString &, const QString &, Icon) override { return true; }
    void showInformation(const QString &, const QString &) override { }
    QString chooseSaveFile(const QString &, const QString &) override { return {}; }
    void beep() override { }
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    long long paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Every pending event, repaints included, handled now.
void settle()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

// The position right after the new-game command, drawn as the flow draws it.
void newPosition(BenchWindow &window)
{
    tavrin::GameFlow &flow = window.flow();
    flow.placeStartingStones();
    flow.playStone(1, 1, kWhite);
    window.repaintBoard();
    flow.markPlayable(kWhite);
    settle();
}

void BM_windowRelease(benchmark::State &state)
{
    BenchWindow window;
    window.load();
    if (!waitUntilExposed(window)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    window.flow().newGame();
    settle();
    PaintCounter boardPaints;
    window.findChild<QWidget *>(QStringLiteral("qp"))->installEventFilter(&boardPaints);

    for (auto _ : state) {
        RecordEntry cell = tavrin::bench::firstLegalCell(window.flow());
        if (cell.x == 0 || window.flow().whiteCount + window.flow().blackCount > kMostStones) {
            state.PauseTiming();
            newPosition(window);
            cell = tavrin::bench::firstLegalCell(window.flow());
            state.ResumeTiming();
        }
        tavrin::bench::releaseOnCell(window, cell.x, cell.y);
        settle();
    }
    state.counters["board paints/iter"] = benchmark::Counter(
        static_cast<double>(boardPaints.paints), benchmark::Counter::kAvgIterations);
    window.hide();
}
BENCHMARK(BM_windowRelease)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    // A runtime folder of its own, so the window's instance lock meets no running game.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    return tavrin::bench::runBenchmarks(argc, argv);
}
