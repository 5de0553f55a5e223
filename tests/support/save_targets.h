#pragma once

#include <QDir>
#include <QString>

// What a save may find at the name it writes to, and what a folder holds before and after.
namespace tavrin::test {

// Puts `name` in `dir` as a save finds it: a "file" holding "old" (mode 640), a "link" to such a
// file (named "old-" and `name`), or an empty "fifo", "device" (a null device of its own, which
// needs the right to make device nodes), "socket" or "folder", or a "loop" of two links leading
// to each other. False when it could not be made.
bool makeSaveTarget(const QString &kind, const QDir &dir, const QString &name);

// Every entry of `dir`, one a line: its name, its type and permissions, and what a regular file
// holds.
QString folderListing(const QDir &dir);

} // namespace tavrin::test
