#include "flow/atomic_save.h"

#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tavrin {

namespace {

// The reason of the system call that just failed.
QString systemReason()
{
    return qt_error_string(errno);
}

// The file a save replaces: the final target of a symbolic link, or the path itself when
// nothing exists there yet. Nothing when the path cannot be followed (a loop of links, a folder
// that cannot be searched, a name too long); errno then says why.
std::optional<QByteArray> followedLinks(const QByteArray &path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(path.constData(), nullptr), &std::free);
    if (resolved)
        return QByteArray(resolved.get());
    if (errno == ENOENT)
        return path;
    return std::nullopt;
}

// The folder of `target`, with its final slash ("" for a name without a folder).
QByteArray folderOf(const QByteArray &target)
{
    return target.left(target.lastIndexOf('/') + 1);
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

    // Creates ".tavrin-<random hex>" in the target's folder, with the permissions the umask gives
    // a new file. The name is short, so a target whose own name is as long as the system allows
    // can still be saved.
    std::optional<QString> create(const QByteArray &target)
    {
        for (int attempt = 0; attempt < 64; ++attempt) {
            const quint32 suffix = 0x10000000 + QRandomGenerator::global()->bounded(0xE0000000U);
            const QByteArray path = folderOf(target) + ".tavrin-" + QByteArray::number(suffix, 16);
            fd_ = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                path_ = path;
                return std::nullopt;
            }
            if (errno != EEXIST)
                break;
        }
        return systemReason();
    }

    // Writes all of `bytes`; a short write (a full disk, a size limit) is a failure.
    std::optional<QString> write(const QByteArray &bytes)
    {
        qsizetype written = 0;
        while (written < bytes.size()) {
            const ssize_t step = ::write(
                fd_, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
            if (step < 0 && errno == EINTR)
                continue;
            if (step <= 0)
                return step == 0 ? qt_error_string(ENOSPC) : systemReason();
            written += step;
        }
        return std::nullopt;
    }

    // Gives the file `mode` (if any), syncs and closes it, and renames it over `target`.
    std::optional<QString> replace(const QByteArray &target, std::optional<mode_t> mode)
    {
        if ((mode && ::fchmod(fd_, *mode) != 0) || (::fsync(fd_) != 0 && errno != EINVAL))
            return systemReason();
        if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR)
            return systemReason();
        if (::rename(path_.constData(), target.constData()) != 0)
            return systemReason();
        path_.clear();
        return std::nullopt;
    }

private:
    int fd_ = -1;
    QByteArray path_; // empty once nothing is left to remove
};

} // namespace

std::optional<QString> saveAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, const QString &notRegularReason)
{
    const std::optional<QByteArray> followed = followedLinks(nativePath);
    if (!followed)
        return systemReason();
    const QByteArray &target = *followed;
    struct stat existing = {};
    std::optional<mode_t> mode;
    if (::stat(target.constData(), &existing) != 0) {
        if (errno != ENOENT)
            return systemReason();
    } else {
        if (!S_ISREG(existing.st_mode))
            return notRegularReason;
        if (::access(target.constData(), W_OK) != 0)
            return systemReason();
        mode = existing.st_mode & 07777;
    }
    NewFile file;
    if (auto failure = file.create(target))
        return failure;
    if (auto failure = file.write(bytes))
        return failure;
    return file.replace(target, mode);
}

} // namespace tavrin
