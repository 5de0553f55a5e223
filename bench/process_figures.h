#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>

namespace tavrin::bench {

// A monotonic clock reading that two processes of this machine can compare.
inline long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Peak resident size in KiB (VmHWM) of the process whose status file is `statusFile`, or -1.
inline long long peakResidentKiB(const QString &statusFile = QStringLiteral("/proc/self/status"))
{
    QFile status(statusFile);
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

} // namespace tavrin::bench
