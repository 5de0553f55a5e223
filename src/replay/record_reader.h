#pragma once

#include "desktop/result.h"
#include "game/game_state.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <optional>
#include <vector>

namespace tavrin::replay {

// Most bytes of a record file that are ever read: more than 256 entries of the longest form,
// so whatever lies beyond can only be an entry too many or a line too long.
constexpr qsizetype kReadLimit = 4096;

// A fault in a record, at a 1-based line (0 when it concerns no single line).
struct RecordError
{
    int line = 0;
    QString reason;
};

// What reading a record gives: its entries up to the first fault, and that fault if any.
struct RecordText
{
    std::vector<RecordEntry> entries;
    std::optional<RecordError> error;
};

// Reads the lines " x  y " (each ended by CR LF or LF alone; the last may lack its end) of a
// record; an empty file is no record. At most 257 lines and kReadLimit bytes are looked at.
RecordText parseRecord(QByteArrayView bytes);

// Longest wait for the bytes of a record: a FIFO whose writer never writes is given up on.
constexpr std::chrono::milliseconds kReadWait {3000};

// Reads the start of a record file, at most kReadLimit bytes however large the file is, or says
// why it could not be read. `nativePath` holds the bytes of the name as the system spells them
// (see QFile::encodeName), so a name that is not valid in the locale's encoding is read all the
// same.
Result<QByteArray> readRecordFile(const QByteArray &nativePath);

} // namespace tavrin::replay
