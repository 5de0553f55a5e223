#include "replay/record_reader.h"

#include <QFile>
#include <algorithm>

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

// One line without its end: a blank, x, two blanks, y, a blank.
std::optional<stepxy> entryFromLine(QByteArrayView line, QString &reason)
{
    const qsizetype gap = line.indexOf(QByteArrayView("  "));
    if (line.size() < 6 || line.front() != ' ' || line.back() != ' ' || gap < 2
        || line.count(' ') != 4) {
        reason = QStringLiteral("not of the form \" x  y \"");
        return std::nullopt;
    }
    const QByteArrayView xText = line.sliced(1, gap - 1);
    const QByteArrayView yText = line.sliced(gap + 2, line.size() - gap - 3);
    const auto x = coordinate(xText);
    const auto y = coordinate(yText);
    if (!x || !y) {
        const QByteArrayView bad = x ? yText : xText;
        reason = QStringLiteral("bad number \"%1\" (0 to %2 without leading zeros)")
                     .arg(QString::fromLatin1(bad), QString::number(kBoardSize));
        return std::nullopt;
    }
    if ((*x == 0) != (*y == 0)) {
        reason = QStringLiteral("(%1, %2) is neither a cell nor a turn without a stone")
                     .arg(*x)
                     .arg(*y);
        return std::nullopt;
    }
    return stepxy {*x, *y};
}

} // namespace

RecordText parseRecord(QByteArrayView bytes)
{
    RecordText result;
    bytes = bytes.first(std::min(bytes.size(), kReadLimit));
    qsizetype start = 0;
    int lineNumber = 0;
    while (start < bytes.size()) {
        ++lineNumber;
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0) {
            end = bytes.size();
        }
        QByteArrayView line = bytes.sliced(start, end - start);
        start = next;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        const auto fail = [&](QString reason) {
            result.error = RecordError {lineNumber, std::move(reason)};
            return result;
        };
        if (!std::all_of(line.begin(), line.end(), isTextByte)) {
            return fail(QStringLiteral("not a text record (binary data)"));
        }
        if (lineNumber > kRecordCapacity) {
            return fail(QStringLiteral("more than %1 entries").arg(kRecordCapacity));
        }
        // Lines ended by CR alone read as one long line; say what is wrong with them instead.
        if (line.contains('\r')) {
            return fail(QStringLiteral("carriage return without a line feed"));
        }
        if (line.size() > kLongestLine) {
            return fail(QStringLiteral("line too long"));
        }
        QString reason;
        const auto entry = entryFromLine(line, reason);
        if (!entry) {
            return fail(reason);
        }
        result.entries.push_back(*entry);
    }
    return result;
}

RecordFile readRecordFile(const QString &path)
{
    RecordFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
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
