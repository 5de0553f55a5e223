#include "replay/record_reader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
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

// Faults of a line as a whole, whatever its numbers: bytes no record holds, a line beyond the
// record's capacity, a carriage return inside, or more bytes than any entry needs.
Result<> checkLine(QByteArrayView line, int lineNumber)
{
    if (!std::all_of(line.begin(), line.end(), isTextByte)) {
        return Failure {QStringLiteral("not a text record (binary data)")};
    }
    if (lineNumber > kRecordCapacity) {
        return Failure {QStringLiteral("more than %1 entries").arg(kRecordCapacity)};
    }
    // Lines ended by CR alone read as one long line; say what is wrong with them instead.
    if (line.contains('\r')) {
        return Failure {QStringLiteral("carriage return without a line feed")};
    }
    if (line.size() > kLongestLine) {
        return Failure {QStringLiteral("line too long")};
    }
    return {};
}

// The entry of one line without its end: a blank, x, two blanks, y, a blank.
Result<RecordEntry> entryFromLine(QByteArrayView line)
{
    // The four blanks are the first one, the two after x and the last one, so x lies between the
    // first blank and the gap, and y, not empty either, between the gap and the last blank.
    const qsizetype gap = line.indexOf(QByteArrayView("  "));
    if (line.size() < 6 || line.front() != ' ' || line.back() != ' ' || gap < 2
        || gap + 3 >= line.size() || line.count(' ') != 4) {
        return Failure {QStringLiteral("not of the form \" x  y \"")};
    }
    const QByteArrayView xText = line.sliced(1, gap - 1);
    const QByteArrayView yText = line.sliced(gap + 2, line.size() - gap - 3);
    const auto x = coordinate(xText);
    const auto y = coordinate(yText);
    if (!x || !y) {
        const QByteArrayView bad = x ? yText : xText;
        return Failure {QStringLiteral("bad number \"%1\" (0 to %2 without leading zeros)")
                            .arg(QString::fromLatin1(bad), QString::number(kBoardSize))};
    }
    if ((*x == 0) != (*y == 0)) {
        return Failure {QStringLiteral("(%1, %2) is neither a cell nor a turn without a stone")
                            .arg(*x)
                            .arg(*y)};
    }
    return RecordEntry {*x, *y};
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

// Reads at most kReadLimit bytes from a non-blocking descriptor, waiting for more while the
// writer of a pipe is slow, but no longer than kReadWait in all.
Result<QByteArray> readStart(int descriptor)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kReadWait;
    QByteArray bytes(kReadLimit, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < kReadLimit) {
        const ssize_t got = ::read(descriptor, bytes.data() + size, kReadLimit - size);
        if (got == 0)
            break;
        if (got > 0) {
            size += got;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return Failure {qt_error_string(errno)};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable = {descriptor, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) == 0)
            return Failure {
                (size == 0 ? QStringLiteral("nothing to read after %1 seconds")
                           : QStringLiteral("the rest did not come within %1 seconds"))
                    .arg(std::chrono::duration_cast<std::chrono::seconds>(kReadWait).count())};
    }
    bytes.truncate(size);
    return bytes;
}

} // namespace

RecordText parseRecord(QByteArrayView bytes)
{
    RecordText result;
    if (bytes.isEmpty()) {
        result.error = RecordError {1, QStringLiteral("empty file, not a record")};
        return result;
    }
    bytes = bytes.first(std::min(bytes.size(), kReadLimit));
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        const QByteArrayView rawLine = lineAt(bytes, start);
        start += rawLine.size();
        const QByteArrayView line = withoutLineEnd(rawLine);
        ++lineNumber;
        const Result<> whole = checkLine(line, lineNumber);
        const Result<RecordEntry> read = whole ? entryFromLine(line) : Failure {whole.reason()};
        if (!read) {
            result.error = RecordError {lineNumber, read.reason()};
            break;
        }
        result.entries.push_back(read.value());
    }
    return result;
}

Result<QByteArray> readRecordFile(const QByteArray &nativePath)
{
    // Opened by the bytes of its name, which need not be valid in any encoding. Opening does not
    // wait for a writer, and reading waits for one at most kReadWait: a FIFO never holds the
    // program for good.
    const int descriptor = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return Failure {qt_error_string(errno)};
    const Result<QByteArray> read = readStart(descriptor);
    ::close(descriptor);
    return read;
}

} // namespace tavrin::replay
