#include "board_text.h"
#include "played_game.h"
#include "position_text.h"
#include "record_reader.h"
#include "replay.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using tavrin::GameState;
using tavrin::stepxy;
using tavrin::replay::parseRecord;
using tavrin::replay::RecordError;
using tavrin::replay::ReplayOptions;
using tavrin::replay::replayRecord;
using tavrin::test::boardFromText;
using tavrin::test::boardToText;
using tavrin::test::playWholeGame;
using tavrin::test::startingBoardText;

namespace {

// Seeds of the random player in the whole games below.
constexpr quint32 kFirstSeed = 1;
constexpr quint32 kLastSeed = 12;

// The first fault of a record, whether in its form or in its moves.
std::optional<RecordError> faultOf(const QByteArray &bytes, bool checkComputer = false)
{
    const auto record = parseRecord(bytes);
    if (record.error)
        return record.error;
    ReplayOptions options;
    options.checkComputer = checkComputer;
    return replayRecord(record.entries, options).error;
}

QByteArray repeated(const char *line, int times)
{
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += line;
    return bytes;
}

void addSeedRows()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = kFirstSeed; seed <= kLastSeed; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

// After white (10, 9) and the computer's answer (10, 8).
const QStringList kAfterFirstExchange
    = {"................", "................", "................", "................",
        "................", "................", "................", ".......xxx......",
        ".......ooo......", "................", "................", "................",
        "................", "................", "................", "................"};

// After white's (10, 9) alone: it turns black's (9, 9).
const QStringList kAfterWhitesFirstStone
    = {"................", "................", "................", "................",
        "................", "................", "................", ".......xo.......",
        ".......ooo......", "................", "................", "................",
        "................", "................", "................", "................"};

// A full board, white 130 to black 126.
QStringList fullBoardWhiteAhead()
{
    QStringList rows(8, QStringLiteral("oooooooooooooooo"));
    rows.append(QStringLiteral("oxxxxxxxxxxxxxxx"));
    rows.append(QStringLiteral("oxxxxxxxxxxxxxxx"));
    for (int y = 11; y <= 16; ++y)
        rows.append(QStringLiteral("xxxxxxxxxxxxxxxx"));
    return rows;
}

} // namespace

class ReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void gameRecordsReplayExactly_data() { addSeedRows(); }
    void gameRecordsReplayExactly();
    void computerCheckAcceptsGameRecords_data() { addSeedRows(); }
    void computerCheckAcceptsGameRecords();
    void computerCheckNamesFirstDifference_data() { addSeedRows(); }
    void computerCheckNamesFirstDifference();
    void computerCheckNamesChangedOpeningAnswer();
    void entryAfterEndOfGameIsRefused();
    void faultyRecordIsRefused_data();
    void faultyRecordIsRefused();
    void wellFormedRecordIsRead_data();
    void wellFormedRecordIsRead();
    void emptyRecordIsStartingPosition();
    void stepShowsPositionAfterThatEntry_data();
    void stepShowsPositionAfterThatEntry();
    void faultAfterStepIsStillFound();
    void hugeFileIsReadOnlyToLimit();
    void unreadableFileIsReported_data();
    void unreadableFileIsReported();
    void positionTextShowsBoardCountsAndResult_data();
    void positionTextShowsBoardCountsAndResult();
};

void ReplayTest::gameRecordsReplayExactly()
{
    QFETCH(quint32, seed);
    const auto game = playWholeGame(seed);
    const auto record = parseRecord(game.record);
    QVERIFY2(!record.error, qPrintable(record.error ? record.error->reason : QString()));
    QVERIFY2(record.entries.size() < tavrin::kRecordCapacity, "the record overflowed");

    const auto replayed = replayRecord(record.entries, {});
    QVERIFY2(!replayed.error, qPrintable(replayed.error ? replayed.error->reason : QString()));
    QCOMPARE(boardToText(replayed.position), game.board);
    QCOMPARE(replayed.position.bqnum, game.white);
    QCOMPARE(replayed.position.hqnum, game.black);
    QCOMPARE(replayed.gameOver, game.ended);
}

void ReplayTest::computerCheckAcceptsGameRecords()
{
    QFETCH(quint32, seed);
    const auto fault = faultOf(playWholeGame(seed).record, true);
    QVERIFY2(!fault, qPrintable(fault ? fault->reason : QString()));
}

void ReplayTest::computerCheckNamesFirstDifference()
{
    QFETCH(quint32, seed);
    auto entries = parseRecord(playWholeGame(seed).record).entries;

    // The first of black's turns where another cell was open to it gets that other cell.
    GameState state;
    state.initqizi();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool black = i % 2 == 1;
        if (black) {
            for (std::int16_t x = 1; x <= tavrin::kBoardSize; ++x) {
                for (std::int16_t y = 1; y <= tavrin::kBoardSize; ++y) {
                    const bool played = entries[i].x == x && entries[i].y == y;
                    if (played || state.qizi[x][y] != tavrin::kEmpty
                        || state.dfpd(x, y, tavrin::kBlack) == 0)
                        continue;
                    const stepxy computer = entries[i];
                    entries[i] = {x, y};
                    ReplayOptions options;
                    options.checkComputer = true;
                    const auto error = replayRecord(entries, options).error;
                    QVERIFY(error);
                    QCOMPARE(error->line, static_cast<int>(i + 1));
                    QCOMPARE(error->reason,
                        QStringLiteral("the computer plays (%1, %2) here, the record has (%3, %4)")
                            .arg(computer.x)
                            .arg(computer.y)
                            .arg(x)
                            .arg(y));
                    // The doctored record is still a legal game up to there.
                    QVERIFY(!replayRecord(
                        std::vector<stepxy>(entries.begin(), entries.begin() + i + 1), {})
                                 .error);
                    return;
                }
            }
        }
        const stepxy entry = entries[i];
        if (entry.x != 0) {
            const std::int16_t side = black ? tavrin::kBlack : tavrin::kWhite;
            state.qizi[entry.x][entry.y] = side;
            state.pd(entry.x, entry.y, side);
        }
    }
    QFAIL("black never had a choice in this game");
}

void ReplayTest::computerCheckNamesChangedOpeningAnswer()
{
    // After white's (10, 9) black may take (10, 8), (8, 10) or (10, 10); the computer takes
    // (10, 8).
    const QByteArray record = " 10  9 \r\n 8  10 \r\n";
    QVERIFY(!faultOf(record));
    const auto fault = faultOf(record, true);
    QVERIFY(fault);
    QCOMPARE(fault->line, 2);
    QCOMPARE(
        fault->reason, QStringLiteral("the computer plays (10, 8) here, the record has (8, 10)"));
}

void ReplayTest::entryAfterEndOfGameIsRefused()
{
    for (quint32 seed = kFirstSeed; seed <= kLastSeed; ++seed) {
        const auto game = playWholeGame(seed);
        if (!game.ended)
            continue;
        const int entries = static_cast<int>(game.record.count('\n'));
        const auto fault = faultOf(game.record + " 0  0 \r\n");
        QVERIFY(fault);
        QCOMPARE(fault->line, entries + 1);
        QCOMPARE(fault->reason, QStringLiteral("the game was already over"));
        return;
    }
    QFAIL("none of the games came to an end");
}

void ReplayTest::faultyRecordIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    const QString notTheForm = QStringLiteral("not of the form \" x  y \"");
    QTest::newRow("white stone capturing nothing")
        << QByteArray(" 1  1 \r\n") << 1 << QStringLiteral("illegal move for white at (1, 1)");
    QTest::newRow("white stone on an occupied cell")
        << QByteArray(" 8  8 \r\n") << 1 << QStringLiteral("illegal move for white at (8, 8)");
    QTest::newRow("black stone capturing nothing") << QByteArray(
        " 10  9 \r\n 16  16 \r\n") << 2 << QStringLiteral("illegal move for black at (16, 16)");
    QTest::newRow("black playing white's cell") << QByteArray(
        " 10  9 \r\n 10  9 \r\n") << 2 << QStringLiteral("illegal move for black at (10, 9)");
    QTest::newRow("letter for a number") << QByteArray(
        " 10  a \r\n") << 1 << QStringLiteral("bad number \"a\" (0 to 16 without leading zeros)");
    QTest::newRow("leading zero") << QByteArray(
        " 09  9 \r\n") << 1 << QStringLiteral("bad number \"09\" (0 to 16 without leading zeros)");
    QTest::newRow("zero written twice") << QByteArray(
        " 00  0 \r\n") << 1 << QStringLiteral("bad number \"00\" (0 to 16 without leading zeros)");
    QTest::newRow("column 17") << QByteArray(" 10  9 \r\n 17  8 \r\n") << 2
                               << QStringLiteral(
                                      "bad number \"17\" (0 to 16 without leading zeros)");
    QTest::newRow("minus sign") << QByteArray(
        " -1  9 \r\n") << 1 << QStringLiteral("bad number \"-1\" (0 to 16 without leading zeros)");
    QTest::newRow("line too long")
        << QByteArray(" 10  9 \r\n 100  16 \r\n") << 2 << QStringLiteral("line too long");
    QTest::newRow("binary bytes") << QByteArray("\x7F"
                                                "ELF\x02\x01\x01\x00",
        8) << 1 << QStringLiteral("not a text record (binary data)");
    QTest::newRow("NUL inside a line") << QByteArray(" 10\0  9 \r\n", 10) << 1
                                       << QStringLiteral("not a text record (binary data)");
    QTest::newRow("lines ended by CR alone") << QByteArray(
        " 10  9 \r 10  8 \r") << 1 << QStringLiteral("carriage return without a line feed");
    QTest::newRow("turn without a stone in one half") << QByteArray(
        " 0  5 \r\n") << 1 << QStringLiteral("(0, 5) is neither a cell nor a turn without a stone");
    QTest::newRow("one blank between the numbers") << QByteArray(" 10 9 \r\n") << 1 << notTheForm;
    QTest::newRow("no leading blank") << QByteArray("10  9 \r\n") << 1 << notTheForm;
    QTest::newRow("no trailing blank") << QByteArray(" 10  9\r\n") << 1 << notTheForm;
    QTest::newRow("tab for blanks") << QByteArray(" 10\t9 \r\n") << 1 << notTheForm;
    QTest::newRow("blank line between entries")
        << QByteArray(" 10  9 \r\n\r\n 10  8 \r\n") << 2 << notTheForm;
    QTest::newRow("257 entries") << repeated(" 0  0 \r\n", 257) << 257
                                 << QStringLiteral("more than 256 entries");
    QTest::newRow("megabytes of entries")
        << repeated(" 0  0 \r\n", 1 << 18) << 257 << QStringLiteral("more than 256 entries");
    QTest::newRow("megabytes on one line")
        << QByteArray(4 << 20, ' ') << 1 << QStringLiteral("line too long");
}

void ReplayTest::faultyRecordIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const auto fault = faultOf(bytes);
    QVERIFY(fault);
    QCOMPARE(fault->reason, reason);
    QCOMPARE(fault->line, line);
}

void ReplayTest::wellFormedRecordIsRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("entries");

    QTest::newRow("CR LF line ends")
        << QByteArray(" 10  9 \r\n 10  8 \r\n 0  0 \r\n 8  10 \r\n") << 4;
    QTest::newRow("LF line ends") << QByteArray(" 10  9 \n 10  8 \n 0  0 \n 8  10 \n") << 4;
    QTest::newRow("last line without its end") << QByteArray(" 10  9 \r\n 10  8 ") << 2;
    QTest::newRow("one line ended by CR alone") << QByteArray(" 10  9 \r") << 1;
    QTest::newRow("256 turns without a stone") << repeated(" 0  0 \r\n", 256) << 256;
}

void ReplayTest::wellFormedRecordIsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    const auto record = parseRecord(bytes);
    QVERIFY2(!record.error, qPrintable(record.error ? record.error->reason : QString()));
    QCOMPARE(static_cast<int>(record.entries.size()), entries);
    QVERIFY(!replayRecord(record.entries, {}).error);
}

void ReplayTest::emptyRecordIsStartingPosition()
{
    const auto record = parseRecord(QByteArray());
    QVERIFY(!record.error);
    QVERIFY(record.entries.empty());
    const auto replayed = replayRecord(record.entries, {});
    QVERIFY(!replayed.error);
    QCOMPARE(boardToText(replayed.position), startingBoardText());
    QCOMPARE(replayed.position.bqnum, std::int16_t {2});
    QCOMPARE(replayed.position.hqnum, std::int16_t {2});
    QVERIFY(!replayed.gameOver);
}

void ReplayTest::stepShowsPositionAfterThatEntry_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("white");
    QTest::addColumn<int>("black");

    QTest::newRow("step 0: starting position") << 0 << startingBoardText() << 2 << 2;
    QTest::newRow("step 1: white's stone") << 1 << kAfterWhitesFirstStone << 4 << 1;
    QTest::newRow("step 2: the computer's answer") << 2 << kAfterFirstExchange << 3 << 3;
    QTest::newRow("step 3: white passes") << 3 << kAfterFirstExchange << 3 << 3;
    QTest::newRow("no step: the last entry") << -1 << kAfterFirstExchange << 3 << 3;
}

void ReplayTest::stepShowsPositionAfterThatEntry()
{
    QFETCH(int, step);
    QFETCH(QStringList, board);
    QFETCH(int, white);
    QFETCH(int, black);
    ReplayOptions options;
    options.step = step;
    const auto replayed
        = replayRecord(parseRecord(" 10  9 \r\n 10  8 \r\n 0  0 \r\n").entries, options);
    QVERIFY(!replayed.error);
    QCOMPARE(boardToText(replayed.position), board);
    QCOMPARE(replayed.position.bqnum, white);
    QCOMPARE(replayed.position.hqnum, black);
    QVERIFY(!replayed.gameOver);
}

void ReplayTest::faultAfterStepIsStillFound()
{
    ReplayOptions options;
    options.step = 1;
    const auto replayed
        = replayRecord(parseRecord(" 10  9 \r\n 10  8 \r\n 1  1 \r\n").entries, options);
    QVERIFY(replayed.error);
    QCOMPARE(replayed.error->line, 3);
    QCOMPARE(boardToText(replayed.position), kAfterWhitesFirstStone);
}

void ReplayTest::hugeFileIsReadOnlyToLimit()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("huge.tvr"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(" 10  9 \r\n 10  8 \r\n") > 0);
    // Sparse: eight gigabytes of zero bytes that take no room on disk.
    QVERIFY(file.resize(qint64 {8} << 30));
    file.close();

    const auto read = tavrin::replay::readRecordFile(path);
    QVERIFY(read.failure.isEmpty());
    QCOMPARE(read.bytes.size(), tavrin::replay::kReadLimit);
    const auto fault = faultOf(read.bytes);
    QVERIFY(fault);
    QCOMPARE(fault->line, 3);
    QCOMPARE(fault->reason, QStringLiteral("not a text record (binary data)"));
}

void ReplayTest::unreadableFileIsReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << QStringLiteral("missing.tvr");
    QTest::newRow("folder") << QStringLiteral(".");
}

void ReplayTest::unreadableFileIsReported()
{
    QFETCH(QString, name);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const auto read = tavrin::replay::readRecordFile(folder.filePath(name));
    QVERIFY(!read.failure.isEmpty());
    QVERIFY(read.bytes.isEmpty());
}

void ReplayTest::positionTextShowsBoardCountsAndResult_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("white");
    QTest::addColumn<int>("black");
    QTest::addColumn<bool>("gameOver");
    QTest::addColumn<QString>("lastLine");

    QTest::newRow("game under way")
        << kAfterFirstExchange << 3 << 3 << false << QStringLiteral("the game is not over");
    QTest::newRow("white wins") << fullBoardWhiteAhead() << 130 << 126 << true
                                << QStringLiteral("Congratulations , 重新来一盘？");
    QStringList blackOnly(16, QStringLiteral("................"));
    blackOnly[0] = QStringLiteral("xx..............");
    QTest::newRow("white wiped out")
        << blackOnly << 0 << 2 << true << QStringLiteral("Bad luck , 重新来一盘？");
    QStringList drawn(8, QStringLiteral("oooooooooooooooo"));
    drawn << QStringList(8, QStringLiteral("xxxxxxxxxxxxxxxx"));
    QTest::newRow("draw") << drawn << 128 << 128 << true
                          << QStringLiteral("Not too bad , 重新来一盘？");
}

void ReplayTest::positionTextShowsBoardCountsAndResult()
{
    QFETCH(QStringList, board);
    QFETCH(int, white);
    QFETCH(int, black);
    QFETCH(bool, gameOver);
    QFETCH(QString, lastLine);
    GameState state = boardFromText(board);
    state.bqnum = static_cast<std::int16_t>(white);
    state.hqnum = static_cast<std::int16_t>(black);

    const QStringList lines
        = tavrin::replay::positionText(state, gameOver).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 20); // column numbers, 16 rows, counts, result, and the final end
    QCOMPARE(lines[0].simplified(), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"));
    for (int y = 1; y <= 16; ++y) {
        QStringList cells = lines[y].simplified().split(QLatin1Char(' '));
        QCOMPARE(cells.takeFirst(), QString::number(y));
        QCOMPARE(cells.join(QString()), board[y - 1]);
    }
    QCOMPARE(lines[17], QStringLiteral("white (o): %1  black (x): %2").arg(white).arg(black));
    QCOMPARE(lines[18], lastLine);
    QVERIFY(lines[19].isEmpty());
}

QTEST_GUILESS_MAIN(ReplayTest)
#include "tst_replay.moc"
