#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

namespace tavrin::bench {

// A monotonic clock reading that two processes of this machine can compare.
inline long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// This process's peak resident size in KiB (VmHWM), or -1.
inline long long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return -1;
    }
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:")) {
            // "VmHWM:     12345 kB"
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// Once the application's first window has painted its first exposure, writes
//     shown <steady clock, ns> <peak resident size, KiB>
// on standard output, then calls `then`, which by default leaves the event loop.
class ShownReporter : public QObject
{
public:
    explicit ShownReporter(std::function<void()> then = [] { QCoreApplication::exit(0); })
        : then_(std::move(then))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Expose && watched->isWindowType()) {
            seen_ = true;
            // The window paints itself while it handles the exposure; the report comes after.
            QTimer::singleShot(0, this, [this] {
                std::printf("shown %lld %lld\n", steadyNanoseconds(), peakResidentKiB());
                std::fflush(stdout);
                then_();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> then_;
    bool seen_ = false;
};

} // namespace tavrin::bench
