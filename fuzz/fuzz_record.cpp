// Fuzz target: tavrin-replay's record reader and replay on arbitrary bytes, read exactly where
// they lie (a read one byte past them is caught). Besides the sanitizers' checks, the results
// must keep their promises.

#include "replay/position_text.h"
#include "replay/record_reader.h"
#include "replay/replay.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void checkEntries(const tavrin::replay::RecordText &record)
{
    if (record.entries.size() > static_cast<std::size_t>(tavrin::kRecordCapacity))
        fail("more entries than a record holds");
    if (record.error
        && (record.error->reason.isEmpty()
            || record.error->line != static_cast<int>(record.entries.size()) + 1))
        fail("a fault without a reason, or not on the line after the last entry");
    for (const tavrin::RecordEntry entry : record.entries) {
        if (entry.x < 0 || entry.x > tavrin::kBoardSize || entry.y < 0
            || entry.y > tavrin::kBoardSize || (entry.x == 0) != (entry.y == 0))
            fail("an entry that is neither a cell nor a turn without a stone");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tavrin::replay;
    const RecordText record
        = parseRecord(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    checkEntries(record);

    const int count = static_cast<int>(record.entries.size());
    const ReplayResult whole = replayRecord(record.entries, {-1, false});
    if (whole.error && (whole.error->line < 1 || whole.error->line > count))
        fail("a replay fault outside the record");
    if (whole.position.whiteCount + whole.position.blackCount
        > tavrin::kBoardSize * tavrin::kBoardSize)
        fail("more stones than cells");
    // Every entry is checked whatever position is shown; checking the computer's choices too
    // can only add faults.
    const bool checkComputer = size % 2 == 1;
    const ReplayResult half = replayRecord(record.entries, {count / 2, checkComputer});
    if ((whole.error && !half.error) || (!checkComputer && half.error && !whole.error))
        fail("the position shown changes which entries are checked");
    if (!whole.error && positionText(whole.position, whole.gameOver).count('\n') < 19)
        fail("a position text without its board, counts and state");
    return 0;
}
