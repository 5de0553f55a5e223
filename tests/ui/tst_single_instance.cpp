// One copy of the program at a time: the real program started twice, a lock left behind by a
// process that died, and the lock itself.
#include "single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

namespace {

// How long a program may take to start (and, for a second copy, to end again).
constexpr int kStartMilliseconds = 15000;
// How long a started copy must keep running to count as running.
constexpr int kSettleMilliseconds = 1500;

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondCopyEndsQuietlyWhileTheFirstRuns();
    void lockOfADeadProcessDoesNotBlockTheStart();
    void lockIsHeldUntilItsOwnerGoesAway();

private:
    // Starts the program with its runtime folder in this test's folder.
    void start(QProcess &program);
    QString lockPath() const { return runtime_->filePath(QStringLiteral("tavrin.lock")); }
    // Waits until the lock file names `program` as its owner.
    bool waitForLockOf(const QProcess &program);
    void stop(QProcess &program);

    std::unique_ptr<QTemporaryDir> runtime_;
};

void SingleInstanceTest::init()
{
    runtime_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime_->isValid());
}

void SingleInstanceTest::cleanup()
{
    runtime_.reset();
}

void SingleInstanceTest::start(QProcess &program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_->path());
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TAVRIN_PROGRAM), {});
    QVERIFY(program.waitForStarted(kStartMilliseconds));
}

bool SingleInstanceTest::waitForLockOf(const QProcess &program)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartMilliseconds) {
        QFile lock(lockPath());
        if (lock.open(QIODevice::ReadOnly)
            && lock.readLine().trimmed().toLongLong() == program.processId()) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

void SingleInstanceTest::stop(QProcess &program)
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(kStartMilliseconds);
    }
}

void SingleInstanceTest::secondCopyEndsQuietlyWhileTheFirstRuns()
{
    QProcess first;
    start(first);
    QVERIFY(waitForLockOf(first));

    QProcess second;
    start(second);
    QVERIFY(second.waitForFinished(kStartMilliseconds));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());

    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY(waitForLockOf(first));
    stop(first);
}

void SingleInstanceTest::lockOfADeadProcessDoesNotBlockTheStart()
{
    QProcess crashed;
    start(crashed);
    QVERIFY(waitForLockOf(crashed));
    crashed.kill(); // dies without releasing its lock
    QVERIFY(crashed.waitForFinished(kStartMilliseconds));
    QVERIFY(QFile::exists(lockPath()));

    QProcess next;
    start(next);
    QVERIFY(waitForLockOf(next));
    QTest::qWait(kSettleMilliseconds);
    QCOMPARE(next.state(), QProcess::Running);
    stop(next);
}

void SingleInstanceTest::lockIsHeldUntilItsOwnerGoesAway()
{
    qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
    QCOMPARE(SingleInstance::lockFilePath(), lockPath());
    auto owner = std::make_unique<SingleInstance>();
    QVERIFY(owner->acquire());
    QVERIFY(owner->acquire()); // asking again keeps it
    SingleInstance other;
    QVERIFY(!other.acquire());
    owner.reset();
    QVERIFY(other.acquire());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
