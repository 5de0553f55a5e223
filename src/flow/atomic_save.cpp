#include "flow/atomic_save.h"

#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <utility>

namespace tavrin {

namespace {

// The reason of the system call that just failed.
QString systemReason()
{
    return qt_error_string(errno);
}

// The folder of `target`, with its final slash ("" for a name without a folder).
QByteArray folderOf(const QByteArray &target)
{
    return target.left(target.lastIndexOf('/') + 1);
}

// The folder of `path` as a name to open: "." for a name without a folder.
QByteArray openableFolderOf(const QByteArray &path)
{
    const QByteArray folder = folderOf(path);
    return folder.isEmpty() ? QByteArrayLiteral(".") : folder;
}

// Syncs the folder that holds `target`, so that a rename in it is on disk. A folder the user may
// write to but not read cannot be opened to be synced; the file is saved all the same.
Result<> syncFolder(const QByteArray &target)
{
    const int fd = ::open(openableFolderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const Result<> result = synced ? Result<>() : Failure {systemReason()};
    ::close(fd);
    return result;
}

// Whether the save may follow the symbolic link `link` (whose status is `status`). As the kernel
// does for its own writes: a link in a sticky folder that anybody may write to (such as /tmp) is
// followed only when it belongs to the user or to the folder's owner, so that nobody can plant a
// link there that makes a save replace another user's file. A link of /proc (/dev/stdout leads
// to one) names an open file, not a path: it is never followed.
Result<> mayFollow(const QByteArray &link, const struct stat &status, const QString &notRegular)
{
    struct stat folder = {};
    struct statfs system = {};
    const QByteArray folderName = openableFolderOf(link);
    if (::stat(folderName.constData(), &folder) != 0
        || ::statfs(folderName.constData(), &system) != 0)
        return Failure {systemReason()};
    if (system.f_type == PROC_SUPER_MAGIC)
        return Failure {notRegular};
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (shared && status.st_uid != ::geteuid() && status.st_uid != folder.st_uid)
        return Failure {qt_error_string(EACCES)};
    return {};
}

// The file a save replaces: the end of a chain of symbolic links, or the path itself. A link
// may lead to a file that does not exist yet, which the save then creates; a folder on the way
// that does not exist makes the save fail when it creates its file there.
Result<QByteArray> followedLinks(QByteArray path, const QString &notRegular)
{
    constexpr int kMostLinks = 40; // as the kernel allows in one path before ELOOP
    for (int link = 0; link <= kMostLinks; ++link) {
        struct stat entry = {};
        if (::lstat(path.constData(), &entry) != 0)
            return errno == ENOENT ? Result<QByteArray>(path) : Failure {systemReason()};
        if (!S_ISLNK(entry.st_mode))
            return path;
        if (Result<> allowed = mayFollow(path, entry, notRegular); !allowed)
            return Failure {allowed.reason()};
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), target.size());
        if (length < 0)
            return Failure {systemReason()};
        if (length >= target.size())
            return Failure {qt_error_string(ENAMETOOLONG)};
        target.truncate(length);
        path = target.startsWith('/') ? target : folderOf(path) + target;
    }
    return Failure {qt_error_string(ELOOP)};
}

// A file created beside the target, removed again unless it replaced the target.
class NewFile
{
public:
    NewFile() = default;
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;
    ~NewFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }

    // Creates ".tavrin-<random hex>" in the target's folder with `mode` (less the umask). The name
    // is short, so a target whose own name is as long as the system allows can still be saved.
    Result<> create(const QByteArray &target, mode_t mode)
    {
        for (int attempt = 0; attempt < 64; ++attempt) {
            const quint32 suffix = 0x10000000 + QRandomGenerator::global()->bounded(0xE0000000U);
            const QByteArray path = folderOf(target) + ".tavrin-" + QByteArray::number(suffix, 16);
            fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                path_ = path;
                return {};
            }
            if (errno != EEXIST)
                break;
        }
        return Failure {systemReason()};
    }

    // Writes all of `bytes`; a short write (a full disk, a size limit) is a failure.
    Result<> write(const QByteArray &bytes)
    {
        qsizetype written = 0;
        while (written < bytes.size()) {
            const ssize_t step = ::write(
                fd_, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
            if (step < 0 && errno == EINTR)
                continue;
            if (step <= 0)
                return Failure {step == 0 ? qt_error_string(ENOSPC) : systemReason()};
            written += step;
        }
        return {};
    }

    // Gives the file the mode and, where the process may, the owner of the file it replaces;
    // syncs and closes it, renames it over `target` and syncs the folder, so that the new name
    // survives a crash right after the save.
    Result<> replace(const QByteArray &target, const struct stat *replaced)
    {
        if (replaced) {
            // Only root may give a file away; anybody may keep a group they belong to. The mode
            // comes after the owner, whose change clears the set-user-ID and set-group-ID bits.
            if (::fchown(fd_, replaced->st_uid, replaced->st_gid) != 0)
                (void)::fchown(fd_, static_cast<uid_t>(-1), replaced->st_gid);
            if (::fchmod(fd_, replaced->st_mode & 07777) != 0)
                return Failure {systemReason()};
        }
        if (::fsync(fd_) != 0 && errno != EINVAL)
            return Failure {systemReason()};
        if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR)
            return Failure {systemReason()};
        if (::rename(path_.constData(), target.constData()) != 0)
            return Failure {systemReason()};
        path_.clear();
        return syncFolder(target);
    }

private:
    int fd_ = -1;
    QByteArray path_; // empty once nothing is left to remove
};

} // namespace

Result<> saveAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, const QString &notRegularReason)
{
    const Result<QByteArray> followed = followedLinks(nativePath, notRegularReason);
    if (!followed)
        return Failure {followed.reason()};
    const QByteArray &target = followed.value();
    struct stat existing = {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (!exists && errno != ENOENT)
        return Failure {systemReason()};
    if (exists && !S_ISREG(existing.st_mode))
        return Failure {notRegularReason};
    if (exists && ::access(target.constData(), W_OK) != 0)
        return Failure {systemReason()};
    NewFile file;
    // A file that replaces another is readable by its owner alone until it has that file's mode.
    if (Result<> created = file.create(target, exists ? 0600 : 0666); !created)
        return created;
    if (Result<> written = file.write(bytes); !written)
        return written;
    return file.replace(target, exists ? &existing : nullptr);
}

} // namespace tavrin
