#include "save_targets.h"

#include <QFile>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tavrin::test {

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
    if (kind == "folder")
        return dir.mkdir(name);
    if (kind == "loop") // two links that lead to each other
        return ::symlink(QFile::encodeName(name + "2").constData(), path.constData()) == 0
            && ::symlink(path.constData(), QFile::encodeName(dir.filePath(name + "2")).constData())
            == 0;
    // A socket made this way is bound to nothing, which is all a save may find.
    const mode_t type = kind == "fifo" ? S_IFIFO : kind == "socket" ? S_IFSOCK : S_IFCHR;
    return ::mknod(path.constData(), type | 0666, makedev(1, 3)) == 0;
}

QString folderListing(const QDir &dir)
{
    QString text;
    const auto filter = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QFileInfo &entry : dir.entryInfoList(filter)) {
        QFile file(entry.filePath());
        const bool regular = entry.isFile() && !entry.isSymLink();
        const char *type = entry.isSymLink() ? " link " : regular ? " file " : " other ";
        text += entry.fileName() + type + QString::number(entry.permissions(), 16) + ' '
            + (regular && file.open(QIODevice::ReadOnly) ? file.readAll() : "") + '\n';
    }
    return text;
}

} // namespace tavrin::test
