#include "save_targets.h"

#include <QFile>
#include <algorithm>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

bool makeSocket(const QByteArray &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::copy_n(path.constData(), std::min(path.size(), qsizetype(sizeof address.sun_path - 1)),
        address.sun_path);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    return ::close(socket) == 0 && bound;
}

} // namespace

bool makeSaveTarget(const QString &kind, const QDir &dir, const QString &name)
{
    const QByteArray path = QFile::encodeName(dir.filePath(name));
    if (kind == "file" || kind == "link") {
        const QString old = kind == "link" ? "old-" + name : name;
        QFile file(dir.filePath(old));
        return file.open(QIODevice::WriteOnly) && file.write("old") == 3
            && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup)
            && (kind == "file"
                || ::symlink(QFile::encodeName(old).constData(), path.constData()) == 0);
    }
    if (kind == "socket")
        return makeSocket(path);
    if (kind == "folder")
        return dir.mkdir(name);
    const mode_t type = kind == "fifo" ? S_IFIFO : S_IFCHR;
    return ::mknod(path.constData(), type | 0666, makedev(1, 3)) == 0;
}

QString folderListing(const QDir &dir)
{
    QString text;
    const auto filter = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QFileInfo &entry : dir.entryInfoList(filter)) {
        QFile file(entry.filePath());
        const bool regular = entry.isFile() && !entry.isSymLink();
        text += entry.fileName()
            + (entry.isSymLink() ? " link "
                    : regular    ? " file "
                                 : " other ")
            + QString::number(entry.permissions(), 16) + ' ';
        if (regular && file.open(QIODevice::ReadOnly))
            text += file.readAll();
        text += '\n';
    }
    return text;
}

} // namespace tavrin::test
