// The replay tool and its review window against records the game itself saves and records spoilt
// on purpose: through their functions, and run as a user runs them.
#include "board/board_surface.h"
#include "board_text.h"
#include "random_player.h"
#include "replay/board_picture.h"
#include "replay/position_text.h"
#include "replay/review_window.h"
#include "save_targets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tavrin;
using namespace tavrin::replay;
using test::boardToText;

namespace {

// White's (10, 9), turning (9, 9), and the computer's answer (10, 8), turning (9, 8).
const QByteArray kOpening = " 10  9 \r\n 10  8 \r\n";

// Runs `command` in bash, with the program as $0 and `record` as $1, and no display at hand as
// on a build machine; gives its exit status, or -1 when it crashed or hung.
int runProgram(QProcess &process, const QString &command, const QString &record)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start("bash", {"-c", command, TAVRIN_REPLAY_PROGRAM, record});
    const bool ended
        = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return ended ? process.exitCode() : -1;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString labelText(ReviewWindow &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

// Runs the review as the program does; `look` gets the window once it is active, and the window
// is closed after it, whatever it found. Gives the exit status, or -1 when no window was looked at.
int review(const QString &path, int step, const std::function<void(ReviewWindow &)> &look)
{
    bool looked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<ReviewWindow *>(widget);
            if (window && window->isVisible()) {
                const auto closing = qScopeGuard([window] { window->close(); });
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                look(*window);
                looked = true;
            }
        }
    });
    const int status = runReview(QFile::encodeName(path), {step, false});
    return looked ? status : -1;
}

// The window's board is the picture of the position after the entry it shows, drawn afresh, but
// for a ring of the other side's colour inside the disc of that entry's stone alone.
void compareBoard(ReviewWindow &window, const std::vector<stepxy> &entries)
{
    const GameState position = replayRecord(entries, {window.entry(), false}).position;
    const stepxy marked = window.entry() > 0 ? entries[window.entry() - 1] : stepxy {};
    const QImage shown = window.findChild<BoardSurface *>("board")->picture();
    const QImage fresh = boardPicture(position, shown.width());
    const QColor other
        = position.qizi[marked.x][marked.y] == kWhite ? kBlackStoneColour : kWhiteStoneColour;
    QRect changed;
    bool ring = false;
    for (int x = 0; x < shown.width(); ++x) {
        for (int y = 0; y < shown.height(); ++y) {
            if (shown.pixel(x, y) != fresh.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
                ring = ring || shown.pixelColor(x, y) == other;
            }
        }
    }
    const double cell = shown.width() / double(kBoardSize);
    const QRectF disc((marked.x - 1) * cell, (marked.y - 1) * cell, cell, cell);
    QVERIFY2(marked.x == 0 ? changed.isEmpty() : ring && disc.contains(changed),
        "the board differs from its picture elsewhere than by a ring in the marked disc");
}

} // namespace

class ReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void savedGameReplaysExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QString>("result");
        QTest::newRow("board full, white ahead") << 25u << "Congratulations , 重新来一盘？";
        QTest::newRow("white wiped out") << 1u << "Bad luck , 重新来一盘？";
    }

    // A game the game flow saves replays to the position it ended on, the computer's choices
    // checked. The review window opens at its end; Home goes to the start, then → shows every
    // entry as the replay plays it.
    void savedGameReplaysExactly()
    {
        QFETCH(quint32, seed);
        QFETCH(QString, result);
        const QString path = folder_.filePath(QStringLiteral("game %1.tvr").arg(seed));
        test::RandomPlayer player(seed);
        player.window.saveNames = {path};
        QVERIFY(player.playToEnd());
        const RecordText record = parseRecord(readRecordFile(QFile::encodeName(path)).bytes);
        QVERIFY(!record.error);
        const std::vector<stepxy> &entries = record.entries;
        const int last = int(entries.size());

        const ReplayResult replayed = replayRecord(entries, {-1, true});
        QVERIFY2(!replayed.error, qPrintable(replayed.error ? replayed.error->reason : ""));
        QCOMPARE(boardToText(replayed.position), boardToText(player.flow));
        QCOMPARE(replayed.position.bqnum, player.flow.bqnum);
        QCOMPARE(replayed.position.hqnum, player.flow.hqnum);
        const QStringList lines = positionText(replayed.position, replayed.gameOver).split('\n');
        for (int y = 1; y <= kBoardSize; ++y) // the rows of the text, blanks aside
            QCOMPARE(lines[y].simplified().remove(' '),
                QString::number(y) + boardToText(player.flow)[y - 1]);
        QCOMPARE(lines[18], result);

        const int status = review(path, -1, [&](ReviewWindow &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Tavrin 复盘 - game %1.tvr").arg(seed));
            QCOMPARE(window.entry(), last);
            QCOMPARE(labelText(window, "result"), result);
            QTest::keyClick(&window, Qt::Key_Home);
            for (int step = 0; step <= last; ++step) {
                const GameState position = replayRecord(entries, {step, false}).position;
                QCOMPARE(window.entry(), step);
                compareBoard(window, entries);
                QCOMPARE(labelText(window, "whiteCount") + labelText(window, "blackCount"),
                    QString("白棋现有 %1 子黑棋现有 %2 子")
                        .arg(position.bqnum)
                        .arg(position.hqnum));
                QCOMPARE(labelText(window, "stepCaption"),
                    QString("第 %1 步 / 共 %2 步").arg(step).arg(last));
                QCOMPARE(labelText(window, "result").isEmpty(), step < last);
                QTest::keyClick(&window, Qt::Key_Right);
            }
            QCOMPARE(window.entry(), last); // → at the end stays there
            QTest::keyClick(&window, Qt::Key_Left);
            QCOMPARE(window.entry(), last - 1);
            QTest::keyClick(&window, Qt::Key_End);
            QCOMPARE(window.entry(), last);
        });
        QCOMPARE(status, 0);
    }

    void programRunsAsAUserRunsIt_data()
    {
        QTest::addColumn<QString>("command"); // run by bash: $0 is the program, $1 the record
        QTest::addColumn<QByteArray>("record"); // a null one is never written
        QTest::addColumn<QString>("picture"); // what t.png is before the run: makeSaveTarget
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line"); // of stdout on success, else how stderr starts; %1: path
        // `options` are the program's, or a whole command that names it $0.
        const auto row = [](const char *name, const QString &options, const QByteArray &record,
                             int status, const QString &line, const char *picture = "file") {
            const QString command
                = options.contains("$0") ? options : R"(exec "$0" )" + options + R"( "$1")";
            QTest::newRow(name) << command << record << picture << status << line;
        };
        // The position text: a line of the grid, and the counts.
        row("good record", "", kOpening, 0, "  9  .  .  .  .  .  .  .  o  o  o  .  .  .  .  .  .");
        row("--step 1", "--step 1", kOpening, 0, "white (o): 4  black (x): 1");
        row("full record, game not over", "", QByteArray(" 0  0 \r\n").repeated(256), 0,
            "the record is full (256 entries); the game may have gone on beyond it");
        // Faults of the record, at their lines.
        row("black stone capturing nothing", "", " 10  9 \r\n 16  16 \r\n", 1,
            "%1:2: illegal move for black at (16, 16)");
        // (8, 8) is black's, but a white stone there would turn (9, 8) against (10, 8).
        row("white on a black stone", "", kOpening + " 11  7 \r\n 0  0 \r\n 8  8 \r\n", 1,
            "%1:5: illegal move for white at (8, 8)");
        const QString range = " (0 to 16 without leading zeros)";
        row("letter", "", " 10  a \r\n", 1, "%1:1: bad number \"a\"" + range);
        row("leading zero", "", " 09  9 \r\n", 1, "%1:1: bad number \"09\"" + range);
        row("17", "", kOpening + " 17  8 \r\n", 1, "%1:3: bad number \"17\"" + range);
        row("one blank between the numbers", "", " 10 9 \r\n", 1,
            "%1:1: not of the form \" x  y \"");
        row("two blanks at the end", "", " 0 101  ", 1, "%1:1: not of the form \" x  y \"");
        row("line too long", "", kOpening + " 100  16 \r\n", 1, "%1:3: line too long");
        row("binary bytes", "", "\x89PNG\r\n\x1A\n", 1, "%1:1: not a text record (binary data)");
        row("lines ended by CR alone", "", " 10  9 \r 10  8 \r", 1,
            "%1:1: carriage return without a line feed");
        row("(0, 5)", "", " 0  5 \r\n", 1,
            "%1:1: (0, 5) is neither a cell nor a turn without a stone");
        row("257 entries", "", QByteArray(" 0  0 \r\n").repeated(257), 1,
            "%1:257: more than 256 entries");
        // White's (10, 9) and (7, 8) take both black stones, black passing in between.
        row("entry after the game ended", "", " 10  9 \r\n 0  0 \r\n 7  8 \r\n 0  0 \r\n", 1,
            "%1:4: the game was already over");
        // After white's (10, 9) black may take (10, 8), (8, 10) or (10, 10).
        row("black not the computer's choice", "--check-computer", " 10  9 \r\n 8  10 \r\n", 1,
            "%1:2: the computer plays (10, 8) here, the record has (8, 10)");
        // Faults of the command line and of the files.
        row("missing file", "", QByteArray(), 2, "%1: ");
        row("bad option", "--bogus", kOpening, 2, "Unknown option 'bogus'.");
        row("window without a display", "--view", kOpening, 2, "--view needs a display");
        // Names that are not UTF-8 are opened, and written, as exactly the bytes given.
        row("names as their bytes",
            R"(r=$(printf '\377\376.tvr') p=$(printf '\376\377.png'); cp "$1" "$r" &&
               "$0" --png "$p" "$r" && rm "$r" && cat "$p" >t.png && rm "$p")",
            kOpening, 0, "white (o): 3  black (x): 3");
        row("picture on a folder", "--png t.png", kOpening, 2, "t.png: not a regular file",
            "folder");
        row("picture past a size limit: old one kept", R"(ulimit -f 1; exec "$0" --png t.png "$1")",
            kOpening, 2, "t.png: ");
        row("picture with a display that is not there", R"(DISPLAY=:99 exec "$0" --png t.png "$1")",
            kOpening, 0, "white (o): 3  black (x): 3");
        row("picture with the longest name a file may have",
            R"(n=$(printf 'p%.0s' {1..251}).png; "$0" --png "$n" "$1" && cat "$n" >t.png && rm "$n")",
            kOpening, 0, "white (o): 3  black (x): 3");
        row("FIFO nobody writes to reads as empty", R"(mkfifo f && "$0" f && rm f)", kOpening, 0,
            "white (o): 2  black (x): 2");
        row("output to a full device", R"(exec "$0" "$1" >/dev/full)", kOpening, 2,
            "standard output: ");
        row("output closed", R"(exec "$0" "$1" >&-)", kOpening, 2, "standard output: ");
    }

    // The program, with no display at hand, replaces a picture's regular file whole, or leaves
    // the folder exactly as it was.
    void programRunsAsAUserRunsIt()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, record);
        QFETCH(QString, picture);
        QFETCH(int, status);
        QFETCH(QString, line);
        QTemporaryDir dir;
        QVERIFY(test::makeSaveTarget(picture, QDir(dir.path()), "t.png"));
        const QString before = test::folderListing(QDir(dir.path()));
        const QString path = folder_.filePath(QTest::currentDataTag() + QStringLiteral(".tvr"));
        QVERIFY(record.isNull() || writeFile(path, record));

        QProcess process;
        process.setWorkingDirectory(dir.path());
        QCOMPARE(runProgram(process, command, path), status);
        const QString out = process.readAllStandardOutput();
        // The toolkit may warn of its own accord when it draws without a display.
        const QStringList messages = QString(process.readAllStandardError())
                                         .split('\n')
                                         .filter(QRegularExpression("^tavrin-replay: "));
        QCOMPARE(messages.size(), status == 0 ? 0 : 1);
        QVERIFY2(status == 0 || messages[0].startsWith("tavrin-replay: " + line.arg(path)),
            qPrintable(messages.value(0)));
        QVERIFY2(status == 0 ? out.split('\n').contains(line) : out.isEmpty(), qPrintable(out));
        const bool drawn = status == 0 && command.contains("--png");
        QFile written(QDir(dir.path()).filePath("t.png")); // opened only when it should be a file
        const QByteArray bytes
            = drawn && written.open(QIODevice::ReadOnly) ? written.readAll() : "old";
        QCOMPARE(test::folderListing(QDir(dir.path())),
            QString(before).replace(" old", ' ' + QString(bytes)));
        if (drawn)
            QCOMPARE(QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_RGB32),
                boardPicture(replayRecord(parseRecord(kOpening).entries, {}).position, 340)
                    .convertToFormat(QImage::Format_RGB32));
    }

    void reviewOpensAtTheEntry_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("step"); // -1 for the last
        QTest::addColumn<QString>("captions"); // of the entry shown, and of who made it and where
        QTest::addColumn<QString>("fault"); // what follows the path in red, as the tool says it
        const auto row = [](const char *name, const QByteArray &record, int step,
                             const char *captions, const QString &fault = QString()) {
            QTest::newRow(name) << record << step << QString(captions) << fault;
        };
        const QByteArray passed = kOpening + " 0  0 \r\n";
        row("start", passed, 0, "第 0 步 / 共 3 步|");
        row("white's stone", passed, 1, "第 1 步 / 共 3 步|白棋 10,9");
        row("black's stone", passed, 2, "第 2 步 / 共 3 步|黑棋 10,8");
        row("white's pass, nothing marked", passed, 3, "第 3 步 / 共 3 步|白棋放弃");
        // Stepping stops before the first fault, wherever it lies.
        row("illegal move", kOpening + " 1  1 \r\n 0  0 \r\n", -1, "第 2 步 / 共 2 步|黑棋 10,8",
            ":3: illegal move for white at (1, 1)");
        row("malformed line", kOpening + " 10 9 \r\n", -1, "第 2 步 / 共 2 步|黑棋 10,8",
            ":3: not of the form \" x  y \"");
    }

    // --step opens the review window at that entry; a fault in the record is shown in red.
    void reviewOpensAtTheEntry()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, step);
        QFETCH(QString, captions);
        QFETCH(QString, fault);
        const QString path = folder_.filePath("opening.tvr");
        QVERIFY(writeFile(path, record));
        const int status = review(path, step, [&](ReviewWindow &window) {
            QCOMPARE(labelText(window, "stepCaption") + '|' + labelText(window, "moveCaption"),
                captions);
            QCOMPARE(labelText(window, "result"), QString());
            const auto *red = window.findChild<QLabel *>("fault");
            QCOMPARE(red ? red->text() : QString(), fault.isEmpty() ? "" : path + fault);
            QVERIFY(!red || red->palette().color(QPalette::WindowText) == QColor(0xC0, 0, 0));
            compareBoard(window, parseRecord(record).entries);
        });
        QCOMPARE(status, fault.isEmpty() ? 0 : 1);
    }

    // A file that cannot be read is named in a box; neither it nor a step beyond the record opens
    // a review window.
    void unreadableFileOrStepIsRefused()
    {
        const QString path = folder_.filePath("missing.tvr");
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        QCOMPARE(runReview(QFile::encodeName(path), {-1, false}), 2);
        QVERIFY2(shown.startsWith("无法读取棋谱：" + path + '\n'), qPrintable(shown));
        QVERIFY(shown.section('\n', 1).size() > 0); // the system's reason
        QVERIFY(writeFile(path, " 10  9 \r\n"));
        QCOMPARE(runReview(QFile::encodeName(path), {2, false}), 2);
    }

private:
    QTemporaryDir folder_;
};

QTEST_MAIN(ReplayTest)
#include "tst_replay.moc"
