// The figures of whole processes, each started offscreen with a runtime folder of its own (so no
// instance lock of a running game is in the way) and no settings of the user:
//  - start to window shown, and the peak resident size then, of the game window (feed refused),
//    the review window on a whole game's record, a bare Qt Widgets window and the bare window
//    showing one Chinese caption in the game's Song face, started in turn so that all four meet
//    the same load;
//  - start to the game window shown when the feed server accepts and never answers;
//  - a whole game played through the window: the release handler and the peak resident size;
//  - the CPU share of the program itself while it sits idle with its ticker running.
#include "flow/record_file.h"
#include "probe_report.h"
#include "random_player.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

const QString kProgram = QStringLiteral(TAVRIN_PROGRAM);
const QString kGameProbe = QStringLiteral(TAVRIN_GAME_PROBE);
const QString kReviewProbe = QStringLiteral(TAVRIN_REVIEW_PROBE);
const QString kBareProbe = QStringLiteral(TAVRIN_BARE_PROBE);
// Nothing listens on the discard port, so the connection is refused at once.
const QString kRefusedFeed = QStringLiteral("http://127.0.0.1:9/g/g.xml");
constexpr int kProbeTimeoutMs = 20000;
constexpr int kIdleGraceMs = 2000; // start-up and first paint are over by then
constexpr int kIdleSeconds = 30;
constexpr double kKiBPerMiB = 1024.0;
constexpr quint32 kFullBoardSeed = 25; // a game of the tests' random player that fills the board

// A child process with the offscreen platform, and a runtime and settings folder of its own (the
// Save dialog would otherwise open wherever the user's Qt settings last left it); ended, if it
// still runs, when the object goes.
class Child
{
public:
    explicit Child(const QString &program, const QStringList &arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime_.path());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startedAt = tavrin::bench::steadyNanoseconds();
        process_.start(program, arguments);
    }

    ~Child()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    qint64 pid() const { return process_.processId(); }

    // The fields of the first line the child writes that starts with `word`; empty when none
    // comes in time.
    QList<QByteArray> waitForLine(const QByteArray &word)
    {
        QDeadlineTimer deadline(kProbeTimeoutMs);
        do {
            while (process_.canReadLine()) {
                const QList<QByteArray> fields = process_.readLine().trimmed().split(' ');
                if (fields.value(0) == word) {
                    return fields;
                }
            }
        } while (
            !deadline.hasExpired() && process_.waitForReadyRead(int(deadline.remainingTime())));
        return {};
    }

    long long startedAt = 0; // steady clock, ns, just before the start

private:
    QTemporaryDir runtime_;
    QProcess process_;
};

// Start-up times of one window, in ms, and its largest peak resident size, in MiB.
struct Startups
{
    std::vector<double> milliseconds;
    double peakMiB = 0;

    // Starts the probe and waits for its report "shown <steady clock, ns> <peak, KiB>".
    bool run(const QString &probe, const QStringList &arguments = {})
    {
        Child child(probe, arguments);
        const QList<QByteArray> shown = child.waitForLine("shown");
        if (shown.size() < 3) {
            return false;
        }
        milliseconds.push_back(double(shown[1].toLongLong() - child.startedAt) / 1e6);
        peakMiB = std::max(peakMiB, shown[2].toDouble() / kKiBPerMiB);
        return true;
    }

    double medianMilliseconds()
    {
        std::sort(milliseconds.begin(), milliseconds.end());
        return milliseconds[milliseconds.size() / 2];
    }
};

// A whole game's record as the game saves it, 255 entries: the tests' random player (white)
// against the computer through the game flow.
QByteArray wholeGameRecord()
{
    tavrin::test::RandomPlayer player(kFullBoardSeed);
    player.playToEnd();
    return tavrin::recordText(player.flow);
}

// The iteration time is the game window's; the figures are the medians and their ratios.
void BM_startupSideBySide(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("game.tvr"));
    const QByteArray entries = wholeGameRecord();
    QFile file(record);
    if (!file.open(QIODevice::WriteOnly) || file.write(entries) <= 0 || !file.flush()) {
        state.SkipWithError("the record could not be written");
        return;
    }
    Startups game, review, bare, bareChinese;
    for (auto _ : state) {
        if (!game.run(kGameProbe, {QStringLiteral("game"), kRefusedFeed})
            || !review.run(kReviewProbe, {record}) || !bare.run(kBareProbe)
            || !bareChinese.run(kBareProbe, {QStringLiteral("cjk")})) {
            state.SkipWithError("a window was never shown");
            return;
        }
        state.SetIterationTime(game.milliseconds.back() / 1e3);
    }
    state.counters["record entries"] = double(entries.count('\n'));
    state.counters["game ms"] = game.medianMilliseconds();
    state.counters["review/game"] = review.medianMilliseconds() / game.medianMilliseconds();
    state.counters["bare ms"] = bare.medianMilliseconds();
    state.counters["bare+CJK ms"] = bareChinese.medianMilliseconds();
    state.counters["game/bare"] = game.medianMilliseconds() / bare.medianMilliseconds();
    state.counters["game/bare+CJK"] = game.medianMilliseconds() / bareChinese.medianMilliseconds();
    state.counters["game MiB"] = game.peakMiB;
    state.counters["review MiB"] = review.peakMiB;
    state.counters["bare MiB"] = bare.peakMiB;
    state.counters["bare+CJK MiB"] = bareChinese.peakMiB;
}
BENCHMARK(BM_startupSideBySide)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

// The kernel completes the connection and holds the request; no byte ever comes back.
void BM_startupFeedNeverAnswers(benchmark::State &state)
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const QString feed = QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(server.serverPort());
    Startups game;
    for (auto _ : state) {
        if (!game.run(kGameProbe, {QStringLiteral("game"), feed})
            || !server.waitForNewConnection(0)) {
            state.SkipWithError("the window was never shown, or the feed never asked for");
            return;
        }
        delete server.nextPendingConnection();
        state.SetIterationTime(game.milliseconds.back() / 1e3);
    }
}
BENCHMARK(BM_startupFeedNeverAnswers)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The probe reports "game <peak, KiB> <white turns> <median release handler, µs>" after the
// end-of-game box and the Save dialog; the iteration time is the whole run's.
void BM_wholeGameThroughWindow(benchmark::State &state)
{
    for (auto _ : state) {
        Child probe(kGameProbe, {QStringLiteral("whole-game"), kRefusedFeed});
        const QList<QByteArray> game = probe.waitForLine("game");
        if (game.size() < 4) {
            state.SkipWithError("the game did not finish");
            return;
        }
        state.SetIterationTime(double(tavrin::bench::steadyNanoseconds() - probe.startedAt) / 1e9);
        state.counters["peak MiB"] = game[1].toDouble() / kKiBPerMiB;
        state.counters["white turns"] = game[2].toDouble();
        state.counters["release us"] = game[3].toDouble();
    }
}
BENCHMARK(BM_wholeGameThroughWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// CPU time of every thread of a process so far, from the scheduler's statistics, in ns.
long long cpuNanoseconds(qint64 pid)
{
    long long total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly)) {
            total += schedstat.readAll().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

// The real program, left alone for kIdleSeconds once it has started: its share of one core.
void BM_idleCpu(benchmark::State &state)
{
    for (auto _ : state) {
        Child program(kProgram);
        QThread::msleep(kIdleGraceMs);
        const long long before = cpuNanoseconds(program.pid());
        const long long idleFrom = tavrin::bench::steadyNanoseconds();
        QThread::sleep(kIdleSeconds);
        const long long after = cpuNanoseconds(program.pid());
        const double idleNanoseconds = double(tavrin::bench::steadyNanoseconds() - idleFrom);
        if (before == 0 || after == 0) {
            state.SkipWithError("the program was not running");
            return;
        }
        state.SetIterationTime(idleNanoseconds / 1e9);
        state.counters["CPU %"] = 100.0 * double(after - before) / idleNanoseconds;
    }
}
BENCHMARK(BM_idleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char *argv[])
{
    // QProcess watches its children through this thread's event dispatcher.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
