#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tavrin {

// Replaces the file at `nativePath` by one holding `bytes`, or leaves whatever was there exactly
// as it was. `nativePath` holds the bytes of the name as the system spells them (see
// QFile::encodeName), so a name that is not valid in the locale's encoding is written as given.
//
// The bytes go to a new file beside the target; only when every byte is written and synced is
// that file renamed over the target, with the target's permissions. A symbolic link is followed
// and its target replaced; the link stays a link. A target that exists and is not a regular file
// (a folder, a FIFO, a device or a socket) is refused with `notRegularReason`. Other reasons are
// those of the system, in the words (and translation) Qt's file classes use.
//
// Returns the reason of a failure, std::nullopt when the file was written.
std::optional<QString> saveAtomically(
    const QByteArray &nativePath, const QByteArray &bytes, const QString &notRegularReason);

} // namespace tavrin
