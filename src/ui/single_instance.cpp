#include "ui/single_instance.h"

#include "desktop/logging.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

// Opens what `path` names, for locking only: a file, created when missing (also as the target
// of a link), or a folder. Nothing is read or written, and the descriptor is not inherited by
// programs started later (a browser opened from the banner must not keep the lock). -1 when
// the path cannot be opened, for example a link into a missing folder, or belongs to another user.
int openForLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO left at the path must not wait for a writer.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(name.constData(), flags | O_CREAT, 0600);
    if (fd < 0 && errno == EISDIR) {
        fd = ::open(name.constData(), flags | O_DIRECTORY);
    }
    // Only a lock of this user's own can stand for a running copy of the game: another user's
    // file at the path must not keep this user's game from starting.
    struct stat owner = {};
    if (fd >= 0 && (::fstat(fd, &owner) != 0 || owner.st_uid != ::geteuid())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

SingleInstance::~SingleInstance()
{
    // The file stays: removing it would let a copy starting now lock a new file while another
    // one still holds the old.
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

QString SingleInstance::lockFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        // The temporary folder is shared by every user: the name is the user's own.
        return QDir(QDir::tempPath())
            .filePath(QStringLiteral("tavrin-%1.lock").arg(static_cast<qulonglong>(::geteuid())));
    }
    return QDir(folder).filePath(QStringLiteral("tavrin.lock"));
}

bool SingleInstance::acquire()
{
    if (fd_ >= 0) {
        return true;
    }
    // A path that cannot be opened is left as it is and a second name beside it is locked
    // instead: every copy meets the same obstacle, so all of them still agree on one lock.
    // Replacing the path would race with a copy that starts at the same moment.
    const QString path = lockFilePath();
    for (const QString &candidate : {path, path + QStringLiteral(".2")}) {
        const int fd = openForLock(candidate);
        if (fd < 0) {
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return true;
        }
        const bool heldByAnother = errno == EWOULDBLOCK;
        ::close(fd);
        qCDebug(lcLock) << candidate
                        << (heldByAnother ? "is held by a running copy" : "cannot be locked");
        return !heldByAnother;
    }
    qCDebug(lcLock) << "no lock file could be opened at" << path << "- running without one";
    return true;
}

} // namespace tavrin
