#include "ui/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace tavrin {

QString SingleInstance::lockFilePath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QStringLiteral("tavrin.lock"));
}

bool SingleInstance::acquire()
{
    if (lock_ && lock_->isLocked()) {
        return true;
    }
    lock_ = std::make_unique<QLockFile>(lockFilePath());
    // The lock is held for the whole run, so age alone must never make it look stale; a lock
    // whose process has died is still recognised as stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return true;
    }
    return lock_->error() != QLockFile::LockFailedError;
}

} // namespace tavrin
