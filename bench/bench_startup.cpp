// Start-up, memory and idle CPU of the program, each measured on a process of its own started
// offscreen with a fresh runtime folder (so no instance lock of a running game is in the way):
//  - from process start to the main window shown, with the feed address refused and with a feed
//    server that accepts the connection and never answers (started here, on 127.0.0.1);
//  - the peak resident size after start-up and after a whole game played through the window;
//  - the CPU time the real program uses while it sits idle with its ticker running;
//  - from process start to the review window shown on a whole game's record.
#include "bench_record.h"
#include "process_figures.h"
#include "run_benchmarks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// Nothing listens on the discard port, so the connection is refused at once.
const QString kRefusedFeed = QStringLiteral("http://127.0.0.1:9/g/g.xml");
constexpr int kProbeTimeoutMs = 20000;
constexpr int kIdleGraceMs = 2000; // start-up and first paint are over by then
constexpr int kIdleSeconds = 30;
constexpr double kKiBPerMiB = 1024.0;

// Accepts every connection and never sends a byte.
class SilentServer : public QObject
{
public:
    SilentServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection()) {
                held_.emplace_back(socket);
            }
        });
    }

    QString feedUrl() const
    {
        return QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(server_.serverPort());
    }
    std::size_t connections() const { return held_.size(); }

private:
    QTcpServer server_;
    std::vector<std::unique_ptr<QTcpSocket>> held_;
};

// A child process with the offscreen platform and a runtime folder of its own.
class Child
{
public:
    explicit Child(const QString &program, const QStringList &arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startedAt_ = tavrin::bench::steadyNanoseconds();
        process_.start(program, arguments);
    }

    ~Child()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished();
            }
        }
    }

    long long startedAt() const { return startedAt_; }
    qint64 pid() const { return process_.processId(); }

    // The first line the child writes that starts with `word`, split at blanks; waits for it
    // while this process's own events (a server's connections) go on being handled.
    std::optional<QList<QByteArray>> waitForLine(const QByteArray &word)
    {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
        timeout.start(kProbeTimeoutMs);
        while (true) {
            while (process_.canReadLine()) {
                const QList<QByteArray> fields = process_.readLine().trimmed().split(' ');
                if (fields.value(0) == word) {
                    return fields;
                }
            }
            if (!timeout.isActive() || process_.state() == QProcess::NotRunning) {
                return std::nullopt;
            }
            loop.exec();
        }
    }

    // Spins this process's event loop for `ms` milliseconds.
    static void wait(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    QTemporaryDir runtime_;
    QProcess process_;
    long long startedAt_ = 0;
};

// One start-up per iteration, timed from just before the process was started to the moment it
// had painted its window, with the peak resident size at that moment.
void measureStartup(benchmark::State &state, const QString &feedUrl, SilentServer *server)
{
    double peakKiB = 0;
    for (auto _ : state) {
        Child probe(QStringLiteral(TAVRIN_PROBE), {QStringLiteral("shown"), feedUrl});
        const std::optional<QList<QByteArray>> shown = probe.waitForLine("shown");
        if (!shown || shown->size() < 3) {
            state.SkipWithError("the window was never shown");
            return;
        }
        state.SetIterationTime(
            static_cast<double>(shown->at(1).toLongLong() - probe.startedAt()) / 1e9);
        peakKiB = std::max(peakKiB, shown->at(2).toDouble());
    }
    state.counters["peak RSS MiB"] = peakKiB / kKiBPerMiB;
    if (server != nullptr) {
        state.counters["connections/iter"] = benchmark::Counter(
            static_cast<double>(server->connections()), benchmark::Counter::kAvgIterations);
    }
}

void BM_startupFeedRefused(benchmark::State &state)
{
    state.SetLabel("feed address refused");
    measureStartup(state, kRefusedFeed, nullptr);
}
BENCHMARK(BM_startupFeedRefused)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_startupFeedNeverAnswers(benchmark::State &state)
{
    state.SetLabel("feed server accepts and never answers");
    SilentServer server;
    measureStartup(state, server.feedUrl(), &server);
}
BENCHMARK(BM_startupFeedNeverAnswers)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The review window of `tavrin-replay --view` on a whole game's record (255 entries), timed as
// the game window's start-up.
void BM_startupReviewWindow(benchmark::State &state)
{
    state.SetLabel("tavrin-replay --view, 255 entries");
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("game.tvr"));
    QFile file(record);
    if (!file.open(QIODevice::WriteOnly) || file.write(tavrin::bench::wholeGameRecord()) <= 0) {
        state.SkipWithError("the record could not be written");
        return;
    }
    file.close();
    double peakKiB = 0;
    for (auto _ : state) {
        Child probe(QStringLiteral(TAVRIN_REVIEW_PROBE), {record});
        const std::optional<QList<QByteArray>> shown = probe.waitForLine("shown");
        if (!shown || shown->size() < 3) {
            state.SkipWithError("the review window was never shown");
            return;
        }
        state.SetIterationTime(
            static_cast<double>(shown->at(1).toLongLong() - probe.startedAt()) / 1e9);
        peakKiB = std::max(peakKiB, shown->at(2).toDouble());
    }
    state.counters["peak RSS MiB"] = peakKiB / kKiBPerMiB;
}
BENCHMARK(BM_startupReviewWindow)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// The peak resident size after a whole game played through the window, the end-of-game boxes
// included; the time is that of the whole run, start-up included.
void BM_peakRssAfterWholeGame(benchmark::State &state)
{
    for (auto _ : state) {
        Child probe(QStringLiteral(TAVRIN_PROBE), {QStringLiteral("game"), kRefusedFeed});
        const std::optional<QList<QByteArray>> shown = probe.waitForLine("shown");
        const std::optional<QList<QByteArray>> game = probe.waitForLine("game");
        if (!shown || !game || game->size() < 3) {
            state.SkipWithError("the game did not finish");
            return;
        }
        state.SetIterationTime(
            static_cast<double>(tavrin::bench::steadyNanoseconds() - probe.startedAt()) / 1e9);
        state.counters["peak RSS MiB after start-up"] = shown->at(2).toDouble() / kKiBPerMiB;
        state.counters["peak RSS MiB after game"] = game->at(1).toDouble() / kKiBPerMiB;
        state.counters["white turns"] = game->at(2).toDouble();
    }
}
BENCHMARK(BM_peakRssAfterWholeGame)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// CPU time of a process so far, from /proc/<pid>/stat (utime + stime), in clock ticks.
std::optional<long long> cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray line = stat.readAll();
    // The command name may hold blanks; the fields after it are counted from its closing ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int kUtime = 11; // field 14 of the whole line
    constexpr int kStime = 12; // field 15
    if (fields.size() <= kStime) {
        return std::nullopt;
    }
    return fields.at(kUtime).toLongLong() + fields.at(kStime).toLongLong();
}

// CPU time of every thread of a process so far, from the scheduler's statistics, in ns.
long long cpuNanoseconds(qint64 pid)
{
    long long total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    QDir folder(tasks);
    for (const QString &task : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(folder.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly)) {
            total += schedstat.readAll().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

// The real program, left alone for kIdleSeconds once it has started: its share of one core,
// and its peak resident size after start-up.
void BM_idleCpu(benchmark::State &state)
{
    state.SetLabel("the program itself, idle with its ticker running");
    for (auto _ : state) {
        Child program(QStringLiteral(TAVRIN_PROGRAM));
        Child::wait(kIdleGraceMs);
        const std::optional<long long> ticksBefore = cpuTicks(program.pid());
        const long long nsBefore = cpuNanoseconds(program.pid());
        const long long peakAfterStart
            = tavrin::bench::peakResidentKiB(QStringLiteral("/proc/%1/status").arg(program.pid()));
        QElapsedTimer idle;
        idle.start();
        Child::wait(kIdleSeconds * 1000);
        const std::optional<long long> ticksAfter = cpuTicks(program.pid());
        const long long nsAfter = cpuNanoseconds(program.pid());
        const double seconds = static_cast<double>(idle.nsecsElapsed()) / 1e9;
        if (!ticksBefore || !ticksAfter) {
            state.SkipWithError("the program was not running");
            return;
        }
        state.SetIterationTime(seconds);
        const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
        const double cpuSeconds = static_cast<double>(*ticksAfter - *ticksBefore) / ticksPerSecond;
        state.counters["CPU % (utime+stime)"] = 100.0 * cpuSeconds / seconds;
        state.counters["CPU % (schedstat)"]
            = 100.0 * static_cast<double>(nsAfter - nsBefore) / 1e9 / seconds;
        state.counters["peak RSS MiB after start-up"]
            = static_cast<double>(peakAfterStart) / kKiBPerMiB;
    }
}
BENCHMARK(BM_idleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char *argv[])
{
    // The silent feed server and the waits on the children run on this event loop.
    QCoreApplication app(argc, argv);
    return tavrin::bench::runBenchmarks(argc, argv);
}
