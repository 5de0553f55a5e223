#pragma once

#include "desktop/result.h"

#include <QByteArray>
#include <QString>

namespace tavrin {

class GameState;

// The text of a game record file: entries 1..lastEntry of the move record, one line each,
// " x  y " ended by carriage return and line feed.
QByteArray recordText(const GameState &state);

// The file a chosen Save-dialog name stands for: ".tvr" is added when the file's own name has no
// dot. Empty when the file's own name is empty or blanks only (the dialog was cancelled, or gave
// its folder before a name of blanks) or a wildcard pattern, so nothing is to be written.
QString normalizedSaveName(const QString &chosen);

// True when a file's own name is a pattern that the Save dialog lists files by ("*.tvr"), never
// the name of a file to write.
bool isFilePattern(const QString &fileName);

// The folder the Save dialog starts in: `programFolder` when it is a writable folder, else the
// user's home folder. Without an argument, the folder of the running executable is tried.
QString initialSaveFolder(const QString &programFolder);
QString initialSaveFolder();

// The initial name of the Save dialog: the record wildcard inside initialSaveFolder().
QString initialSaveName();

// Writes `bytes` to `path` so that a failure leaves any existing file as it was (see
// saveAtomically); a target that is not a regular file is refused.
Result<> saveRecord(const QString &path, const QByteArray &bytes);

} // namespace tavrin
