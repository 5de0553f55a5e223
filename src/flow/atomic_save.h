#pragma once

#include "desktop/result.h"

#include <QByteArray>
#include <QString>

namespace tavrin {

// Replaces the file at `nativePath` by one holding `bytes`, or leaves whatever was there exactly
// as it was. `nativePath` holds the bytes of the name as the system spells them (see
// QFile::encodeName), so a name that is not valid in the locale's encoding is written as given.
//
// The bytes go to a new file beside the target; only when every byte is written and synced is
// that file renamed over the target, with the target's permissions and, where the process may,
// its owner; the folder is synced after the rename. A symbolic link is followed to the file it
// names, which is replaced or, when missing, created; the link stays a link. Another hard link
// to the target keeps the old content. A target that exists and is not a regular file
// (a folder, a FIFO, a device or a socket) is refused with `notRegularReason`. Other reasons are
// those of the system, in the words (and translation) Qt's file classes use.
//
Result<> saveAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, const QString &notRegularReason);

} // namespace tavrin
