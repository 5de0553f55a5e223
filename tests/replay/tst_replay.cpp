// The replay tool against records the game itself writes and records spoilt on purpose, both
// through its functions and as a user runs the program.
#include "board_text.h"
#include "flow/record_file.h"
#include "random_player.h"
#include "replay/position_text.h"
#include "replay/replay.h"
#include "save_targets.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <dirent.h>
#include <fcntl.h>

using namespace tavrin;
using namespace tavrin::replay;
using test::boardToText;

namespace {

// A game as it stood when the game flow announced its end, or when neither side could move.
struct PlayedGame
{
    QByteArray record; // what saving the game writes at that moment
    GameState position;
    bool ended = false; // whether the game flow announced the end
};

PlayedGame playWholeGame(quint32 seed)
{
    test::RandomPlayer player(seed);
    PlayedGame game;
    // The result question gets No, which ends the program after the save offer, so nothing
    // resets the finished game before it is looked at.
    player.window.onCall = [&](const QString &call) {
        if (call == QLatin1String("askYesNo") && !game.ended)
            game = {recordText(player.flow), player.flow, true};
    };
    while (!game.ended && player.exchange()) { }
    return game.ended ? game : PlayedGame {recordText(player.flow), player.flow, false};
}

// White's (10, 9), turning (9, 9), and the computer's answer (10, 8), turning (9, 8).
const QByteArray kOpening = " 10  9 \r\n 10  8 \r\n";
constexpr quint32 kWhiteWinsSeed = 25; // a game that fills the board with white ahead
constexpr quint32 kWipeOutSeed = 1; // a game where white loses its last stone

// Runs the program (or `program`, given the arguments) to its end, with no display at hand as on
// a build machine; gives its exit status, or -1 when it crashed or hung.
int runProgram(QProcess &process, const QStringList &arguments,
    const QString &program = QStringLiteral(TAVRIN_REPLAY_PROGRAM))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool ended
        = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return ended ? process.exitCode() : -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class ReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void gameRecordsReplayExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("boardFull");
        QTest::addColumn<QString>("result"); // the last line of the position text
        QTest::newRow("board full, white ahead")
            << kWhiteWinsSeed << true << "Congratulations , 重新来一盘？";
        QTest::newRow("white wiped out") << kWipeOutSeed << false << "Bad luck , 重新来一盘？";
    }

    void gameRecordsReplayExactly()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, boardFull);
        QFETCH(QString, result);
        const PlayedGame game = playWholeGame(seed);
        QCOMPARE(game.position.bqnum + game.position.hqnum == 256, boardFull);
        const RecordText record = parseRecord(game.record);
        QVERIFY(!record.error);
        for (const bool checkComputer : {false, true}) {
            const ReplayResult replayed = replayRecord(record.entries, {-1, checkComputer});
            QVERIFY2(!replayed.error, qPrintable(replayed.error ? replayed.error->reason : ""));
            QCOMPARE(boardToText(replayed.position), boardToText(game.position));
            QCOMPARE(replayed.position.bqnum, game.position.bqnum);
            QCOMPARE(replayed.position.hqnum, game.position.hqnum);
            QCOMPARE(replayed.gameOver, game.ended);
            const QStringList lines
                = positionText(replayed.position, replayed.gameOver).split('\n');
            for (int y = 1; y <= kBoardSize; ++y)
                QCOMPARE(lines[y].simplified().remove(' '),
                    QString::number(y) + boardToText(game.position)[y - 1]);
            QCOMPARE(lines[18], result);
        }
    }

    void faultyRecordIsRefusedAtItsLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("checkComputer");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const QByteArray &bytes, int line, const char *reason,
                             bool checkComputer = false) {
            QTest::newRow(name) << bytes << checkComputer << line << QString::fromUtf8(reason);
        };
        row("black stone capturing nothing", " 10  9 \r\n 16  16 \r\n", 2,
            "illegal move for black at (16, 16)");
        // (8, 8) is black's, but a white stone there would turn (9, 8) against (10, 8).
        row("white on a black stone", kOpening + " 11  7 \r\n 0  0 \r\n 8  8 \r\n", 5,
            "illegal move for white at (8, 8)");
        row("letter", " 10  a \r\n", 1, "bad number \"a\" (0 to 16 without leading zeros)");
        row("leading zero", " 09  9 \r\n", 1, "bad number \"09\" (0 to 16 without leading zeros)");
        row("17", kOpening + " 17  8 \r\n", 3, "bad number \"17\" (0 to 16 without leading zeros)");
        row("one blank between the numbers", " 10 9 \r\n", 1, "not of the form \" x  y \"");
        row("two blanks at the end", " 0 101  ", 1, "not of the form \" x  y \"");
        row("line too long", kOpening + " 100  16 \r\n", 3, "line too long");
        row("binary bytes", "\x89PNG\r\n\x1A\n", 1, "not a text record (binary data)");
        row("lines ended by CR alone", " 10  9 \r 10  8 \r", 1,
            "carriage return without a line feed");
        row("(0, 5)", " 0  5 \r\n", 1, "(0, 5) is neither a cell nor a turn without a stone");
        row("257 entries", QByteArray(" 0  0 \r\n").repeated(257), 257, "more than 256 entries");
        const QByteArray ended = playWholeGame(kWipeOutSeed).record;
        row("entry after the game ended", ended + " 0  0 \r\n", int(ended.count('\n')) + 1,
            "the game was already over");
        // After white's (10, 9) black may take (10, 8), (8, 10) or (10, 10).
        row("black not the computer's choice", " 10  9 \r\n 8  10 \r\n", 2,
            "the computer plays (10, 8) here, the record has (8, 10)", true);
    }

    void faultyRecordIsRefusedAtItsLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, checkComputer);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const RecordText record = parseRecord(bytes);
        const auto fault
            = record.error ? record.error : replayRecord(record.entries, {-1, checkComputer}).error;
        QVERIFY(fault);
        QCOMPARE(fault->reason, reason);
        QCOMPARE(fault->line, line);
    }

    void stepShowsPositionAfterThatEntry_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("step");
        QTest::addColumn<QStringList>("board");
        const QStringList start = test::startingBoardText();
        const QStringList opened = test::placedBoard("x@8-10,8 o@8-10,9");
        const QByteArray passed = kOpening + " 0  0 \r\n";
        QTest::newRow("empty record: starting position") << QByteArray() << -1 << start;
        QTest::newRow("step 0: starting position") << passed << 0 << start;
        QTest::newRow("step 1: white's stone")
            << passed << 1 << test::placedBoard("x@8,8 o@9,8 o@8-10,9");
        QTest::newRow("step 2: the computer's answer") << passed << 2 << opened;
        QTest::newRow("no step: after white's pass") << passed << -1 << opened;
    }

    void stepShowsPositionAfterThatEntry()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, step);
        QFETCH(QStringList, board);
        const ReplayResult replayed = replayRecord(parseRecord(bytes).entries, {step, false});
        QVERIFY(!replayed.error);
        QCOMPARE(boardToText(replayed.position), board);
        QCOMPARE(replayed.position.bqnum, board.join(QString()).count('o'));
        QCOMPARE(replayed.position.hqnum, board.join(QString()).count('x'));
        QVERIFY(!replayed.gameOver);
    }

    void programExitStatusAndMessage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("record"); // a null one is never written
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line"); // of stdout on success, else how stderr starts; %1: path
        const auto row = [](const char *name, const QStringList &options, const QByteArray &record,
                             int status, const char *line) {
            QTest::newRow(name) << options << record << status << QString::fromUtf8(line);
        };
        const QStringList computer = {"--check-computer"};
        row("good record", {}, kOpening, 0, "white (o): 3  black (x): 3");
        row("--step 1", {"--step", "1"}, kOpening, 0, "white (o): 4  black (x): 1");
        row("game's record, computer checked", computer, playWholeGame(kWhiteWinsSeed).record, 0,
            "Congratulations , 重新来一盘？");
        row("bad record", {}, kOpening + " 1  1 \r\n", 1, "%1:3: illegal move for white at (1, 1)");
        row("doctored record, computer checked", computer, " 10  9 \r\n 10  10 \r\n", 1,
            "%1:2: the computer plays (10, 8) here, the record has (10, 10)");
        row("full record, game not over", {}, QByteArray(" 0  0 \r\n").repeated(256), 0,
            "the record is full (256 entries); the game may have gone on beyond it");
        row("missing file", {}, QByteArray(), 2, "%1: ");
        row("bad option", {"--bogus"}, kOpening, 2, "Unknown option 'bogus'.");
        row("window without a display", {"--view"}, kOpening, 2, "--view needs a display");
    }

    void programExitStatusAndMessage()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, record);
        QFETCH(int, status);
        QFETCH(QString, line);
        const QString path = folder_.filePath(QTest::currentDataTag() + QStringLiteral(".tvr"));
        QVERIFY(record.isNull() || writeFile(path, record));

        QProcess process;
        QCOMPARE(runProgram(process, options << path), status);
        const QString out = process.readAllStandardOutput();
        const QStringList messages
            = QString(process.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        if (status == 0) {
            QCOMPARE(messages, QStringList());
            QVERIFY2(out.split('\n').contains(line), qPrintable(out));
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].startsWith("tavrin-replay: " + QString(line).replace("%1", path)),
                qPrintable(messages[0]));
            QCOMPARE(out, QString());
        }
    }

    void programDrawsPictureWithoutDisplay()
    {
        const QString record = folder_.filePath("opening.tvr");
        const QString picture = folder_.filePath("opening.png");
        QVERIFY(writeFile(record, kOpening));
        QProcess process;
        QCOMPARE(runProgram(process, {"--png", picture, record}), 0);

        // Cells are 340 / 16 pixels square; (10, 9) is centred on (202, 181).
        const QImage image(picture, "PNG");
        QCOMPARE(image.size(), QSize(340, 340));
        QCOMPARE(image.pixelColor(202, 181), QColor(Qt::white));
        QCOMPARE(image.pixelColor(202, 160), QColor(Qt::black)); // (10, 8)
        QCOMPARE(image.pixelColor(10, 10), QColor(0xFF, 0xC0, 0x80)); // the board at (1, 1)
        QCOMPARE(image.pixelColor(21, 100), QColor(Qt::cyan)); // the line after column 1
    }

    void programKeepsWhatItCannotWrite_data()
    {
        QTest::addColumn<QString>("picture"); // what t.png is before the run: makeSaveTarget
        QTest::addColumn<QString>("command"); // run by bash: $0 is the program, $1 a sound record
        QTest::addColumn<QString>("message"); // how stderr starts; "" when the run succeeds
        const QString png = R"(exec "$0" --png t.png "$1")";
        const QString full = "ulimit -f 1; " + png; // files of 1 KiB at most
        QTest::newRow("picture replaces a file") << "file" << png << "";
        QTest::newRow("picture replaces a link's file") << "link" << png << "";
        QTest::newRow("disk full: old picture kept") << "file" << full << "t.png: ";
        QTest::newRow("disk full: link and its file kept") << "link" << full << "t.png: ";
        for (const char *kind : {"fifo", "device", "socket", "folder"})
            QTest::newRow(kind) << kind << png << "t.png: not a regular file";
        QTest::newRow("output to a full device") << "file"
                                                 << R"(exec "$0" "$1" >/dev/full)"
                                                 << "standard output: ";
        QTest::newRow("output closed") << "file"
                                       << R"(exec "$0" "$1" >&-)"
                                       << "standard output: ";
    }

    // The picture replaces a regular file whole, or the folder stays exactly as it was.
    void programKeepsWhatItCannotWrite()
    {
        QFETCH(QString, picture);
        QFETCH(QString, command);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (!test::makeSaveTarget(picture, QDir(dir.path()), "t.png"))
            QSKIP("target not made (a device node needs the right to make one)");
        const QString before = test::folderListing(QDir(dir.path()));
        const QString record = folder_.filePath("sound.tvr");
        QVERIFY(writeFile(record, kOpening));

        QProcess process;
        process.setWorkingDirectory(dir.path());
        QCOMPARE(runProgram(process, {"-c", command, TAVRIN_REPLAY_PROGRAM, record}, "bash"),
            message.isEmpty() ? 0 : 2);
        const QStringList messages = QString(process.readAllStandardError())
                                         .split('\n')
                                         .filter(QRegularExpression("^tavrin-replay: "));
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(message.isEmpty() || messages[0].startsWith("tavrin-replay: " + message),
            qPrintable(messages.value(0)));
        const bool drawn = message.isEmpty() && command.contains("--png");
        QFile written(QDir(dir.path()).filePath("t.png")); // opened only when it should be a file
        const QByteArray bytes
            = drawn && written.open(QIODevice::ReadOnly) ? written.readAll() : "old";
        QCOMPARE(test::folderListing(QDir(dir.path())),
            QString(before).replace(" old", ' ' + QString(bytes)));
        QCOMPARE(QImage::fromData(bytes, "PNG").size(), drawn ? QSize(340, 340) : QSize(0, 0));
    }

    // A name that is not UTF-8 is opened, and written, as exactly the bytes given.
    void programTakesFileNamesAsTheirBytes()
    {
        QTemporaryDir dir;
        // QTemporaryDir cannot name these files to remove them.
        const auto removal = qScopeGuard([&] { QProcess::execute("rm", {"-r", dir.path()}); });
        QVERIFY(writeFile(dir.filePath("sound.tvr"), kOpening));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        const QString command = R"sh(record=$(printf '\377\376.tvr'); mv sound.tvr "$record" &&
            exec "$0" --png "$(printf '\376\377.png')" "$record")sh";
        QCOMPARE(runProgram(process, {"-c", command, TAVRIN_REPLAY_PROGRAM}, "bash"), 0);
        QVERIFY(process.readAllStandardOutput().contains("white (o): 3  black (x): 3"));
        QByteArrayList names; // QDir cannot list them either
        DIR *folder = ::opendir(QFile::encodeName(dir.path()).constData());
        for (const dirent *entry; folder && (entry = ::readdir(folder));)
            names.append(entry->d_name);
        QVERIFY(folder && ::closedir(folder) == 0);
        std::sort(names.begin(), names.end());
        QCOMPARE(names, QByteArrayList({".", "..", "\xfe\xff.png", "\xff\xfe.tvr"}));
        QFile picture;
        const QByteArray name = QFile::encodeName(dir.path()) + "/\xfe\xff.png";
        QVERIFY(picture.open(
            ::open(name.constData(), O_RDONLY), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(QImage::fromData(picture.readAll(), "PNG").size(), QSize(340, 340));
    }

private:
    QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(ReplayTest)
#include "tst_replay.moc"
