#include "replay/record_reader.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin::replay {

namespace {

// Longest line without its line end: " 16  16 ".
constexpr qsizetype kLongestLine = 8;

// Printable ASCII, and the blanks and line ends a text editor may leave; anything else means the
// file is not a record at all.
bool isTextByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte == '\r' || byte == '\n' || byte == '\t' || (byte >= 0x20 && byte < 0x7F);
}

// A coordinate: decimal 0..16 without leading zeros.
std::optional<std::int16_t> coordinate(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > kBoardSize) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

// What one line of a record holds: its entry, or why it holds none.
struct LineEntry
{
    RecordEntry entry;
    std::optional<QString> fault;
};

// Faults of a line as a whole, whatever its numbers: bytes no record holds, a line beyond the
// record's capacity, a carriage return inside, or more bytes than any entry needs.
std::optional<QString> lineFault(QByteArrayView line, int lineNumber)
{
    if (!std::all_of(line.begin(), line.end(), isTextByte)) {
        return QStringLiteral("not a text record (binary data)");
    }
    if (lineNumber > kRecordCapacity) {
        return QStringLiteral("more than %1 entries").arg(kRecordCapacity);
    }
    // Lines ended by CR alone read as one long line; say what is wrong with them instead.
    if (line.contains('\r')) {
        return QStringLiteral("carriage return without a line feed");
    }
    if (line.size() > kLongestLine) {
        return QStringLiteral("line too long");
    }
    return std::nullopt;
}

// One line without its end: a blank, x, two blanks, y, a blank.
LineEntry entryFromLine(QByteArrayView line)
{
    // The four blanks are the first one, the two after x and the last one, so x lies between the
    // first blank and the gap, and y, not empty either, between the gap and the last blank.
    const qsizetype gap = line.indexOf(QByteArrayView("  "));
    if (line.size() < 6 || line.front() != ' ' || line.back() != ' ' || gap < 2
        || gap + 3 >= line.size() || line.count(' ') != 4) {
        return {{}, QStringLiteral("not of the form \" x  y \"")};
    }
    const QByteArrayView xText = line.sliced(1, gap - 1);
    const QByteArrayView yText = line.sliced(gap + 2, line.size() - gap - 3);
    const auto x = coordinate(xText);
    const auto y = coordinate(yText);
    if (!x || !y) {
        const QByteArrayView bad = x ? yText : xText;
        return {{},
            QStringLiteral("bad number \"%1\" (0 to %2 without leading zeros)")
                .arg(QString::fromLatin1(bad), QString::number(kBoardSize))};
    }
    if ((*x == 0) != (*y == 0)) {
        return {{},
            QStringLiteral("(%1, %2) is neither a cell nor a turn without a stone")
                .arg(*x)
                .arg(*y)};
    }
    return {RecordEntry {*x, *y}, std::nullopt};
}

// The line of `bytes` that starts at `start`, up to and with its line feed, if it has one.
QByteArrayView lineAt(QByteArrayView bytes, qsizetype start)
{
    const qsizetype feed = bytes.indexOf('\n', start);
    return bytes.sliced(start, (feed < 0 ? bytes.size() : feed + 1) - start);
}

// A line without its end: the line feed and a carriage return before it.
QByteArrayView withoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n')) {
        line.chop(1);
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

} // namespace

RecordText parseRecord(QByteArrayView bytes)
{
    RecordText result;
    bytes = bytes.first(std::min(bytes.size(), kReadLimit));
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        const QByteArrayView rawLine = lineAt(bytes, start);
        start += rawLine.size();
        const QByteArrayView line = withoutLineEnd(rawLine);
        ++lineNumber;
        const std::optional<QString> fault = lineFault(line, lineNumber);
        const LineEntry read = fault ? LineEntry {{}, fault} : entryFromLine(line);
        if (read.fault) {
            result.error = RecordError {lineNumber, *read.fault};
            break;
        }
        result.entries.push_back(read.entry);
    }
    return result;
}

RecordFile readRecordFile(const QByteArray &nativePath)
{
    RecordFile result;
    // Opened by the bytes of its name, which need not be valid in any encoding. Opening does not
    // wait for a writer: a FIFO nobody writes to reads as empty instead of blocking for good.
    const int descriptor = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0 || ::fcntl(descriptor, F_SETFL, 0) != 0) {
        result.failure = qt_error_string(errno);
        if (descriptor >= 0)
            ::close(descriptor);
        return result;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        result.failure = file.errorString();
        return result;
    }
    // A pipe or a slow device may hand over less than asked for at a time.
    result.bytes.reserve(kReadLimit);
    char buffer[kReadLimit];
    while (result.bytes.size() < kReadLimit) {
        const qint64 got = file.read(buffer, kReadLimit - result.bytes.size());
        if (got < 0) {
            result.failure = file.errorString();
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        result.bytes.append(buffer, static_cast<qsizetype>(got));
    }
    return result;
}

} // namespace tavrin::replay
