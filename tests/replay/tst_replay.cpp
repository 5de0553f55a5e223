// The replay tool and its review window, on records the game saves and records spoilt on purpose.
#include "board/board_surface.h"
#include "board/spoken_notice.h"
#include "random_player.h"
#include "replay/board_picture.h"
#include "replay/review_window.h"
#include "save_targets.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <cerrno>
#include <fcntl.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::replay;

namespace {

// White's (10, 9), turning (9, 9), and the computer's answer (10, 8), turning (9, 8).
const QByteArray kOpening = " 10  9 \r\n 10  8 \r\n";
// White's (10, 9) and (7, 8) take both black stones, black passing in between.
const QByteArray kWon = " 10  9 \r\n 0  0 \r\n 7  8 \r\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The board is the picture of `position` drawn afresh, but for a ring of the other side's colour
// inside the stone `marked`.
void checkBoard(ReviewWindow &window, const GameState &position, RecordEntry marked)
{
    const QImage shown = window.findChild<BoardSurface *>("board")->picture();
    const QImage fresh = boardPicture(position, shown.width());
    const QColor other
        = position.board[marked.x][marked.y] == kWhite ? kBlackStoneColour : kWhiteStoneColour;
    const double cell = shown.width() / double(kBoardSize);
    const QRectF disc((marked.x - 1) * cell, (marked.y - 1) * cell, cell, cell);
    bool ring = false;
    for (int x = 0; x < shown.width(); ++x)
        for (int y = 0; y < shown.height(); ++y)
            if (shown.pixel(x, y) != fresh.pixel(x, y)) {
                QVERIFY2(disc.contains(QRectF(x, y, 1, 1)), "a change outside the marked disc");
                ring = ring || shown.pixelColor(x, y) == other;
            }
    QCOMPARE(ring, marked.x != 0);
}

} // namespace

class ReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Accessibility on, as a screen reader turns it on.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }

    void reviewStepsThroughARecord_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("step"); // to open at, -1 for the last
        QTest::addColumn<QStringList>("moves"); // the move caption of each entry up to the last
        QTest::addColumn<QString>("result"); // at the last entry alone
        QTest::addColumn<QString>("fault"); // what follows the path in red
        const QStringList won = {"", "白棋 10,9", "黑棋放弃", "白棋 7,8"};
        const QStringList opening = {"", "白棋 10,9", "黑棋 10,8"};
        QTest::newRow("won game") << kWon << 1 << won << "白棋胜 6 : 0"
                                  << "";
        // Stepping stops before the first fault, wherever it lies.
        QTest::newRow("illegal move") << kOpening + " 1  1 \r\n 0  0 \r\n"
                                      << -1 << opening << ""
                                      << ":3: illegal move for white at (1, 1)";
        QTest::newRow("malformed line") << kOpening + " 10 9 \r\n"
                                        << -1 << opening << ""
                                        << ":3: not of the form \" x  y \"";
    }

    // The review opens at the entry asked for, or the last; Home, →, ← and End step through the
    // entries up to the first fault, which is shown in red. A screen reader sees a frame named by
    // the title, hears each step, and finds it as the board's description; keys that cannot step
    // never reach the board.
    void reviewStepsThroughARecord()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, step);
        QFETCH(QStringList, moves);
        QFETCH(QString, result);
        QFETCH(QString, fault);
        const QString path = folder_.filePath("game.tvr");
        QVERIFY(writeFile(path, record));
        const int last = int(moves.size()) - 1;
        const std::vector<RecordEntry> entries = parseRecord(record).entries;
        bool looked = false;
        QObject context; // nothing is looked at after the review is over
        QTimer::singleShot(0, &context, [&] {
            ReviewWindow *window = nullptr; // the window shown is made active
            QVERIFY(QTest::qWaitFor([&] {
                return window = qobject_cast<ReviewWindow *>(QApplication::activeWindow());
            }));
            const auto closing = qScopeGuard([window] { window->close(); });
            looked = true;
            QCOMPARE(window->windowTitle(), "Tavrin 复盘 - game.tvr");
            QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(frame->role(), QAccessible::Window);
            QCOMPARE(frame->text(QAccessible::Name), window->windowTitle());
            auto *board = window->findChild<BoardSurface *>("board");
            auto *notice = window->findChild<SpokenNotice *>();
            QCOMPARE(window->entry(), step < 0 ? last : step);
            const auto *red = window->findChild<QLabel *>("fault");
            QCOMPARE(red ? red->text() : QString(), fault.isEmpty() ? "" : path + fault);
            QVERIFY(!red || red->palette().color(QPalette::WindowText) == QColor(0xC0, 0, 0));
            QTest::keyClick(window, Qt::Key_Home);
            for (int entry = 0; entry <= last; ++entry) { // the step caption names the entry shown
                const GameState position = replayRecord(entries, {entry, false}).position;
                checkBoard(*window, position, entry > 0 ? entries[entry - 1] : RecordEntry {});
                QStringList shown;
                for (const char *name :
                    {"stepCaption", "moveCaption", "result", "whiteCount", "blackCount"})
                    shown << window->findChild<QLabel *>(name)->text();
                QCOMPARE(shown,
                    QStringList({QString("第 %1 步 / 共 %2 步").arg(entry).arg(last), moves[entry],
                        entry < last ? "" : result,
                        QString("白棋现有 %1 子").arg(position.whiteCount),
                        QString("黑棋现有 %1 子").arg(position.blackCount)}));
                const QString spoken = shown[0] + "：" + (entry ? moves[entry] : "开局")
                    + QString("，白棋 %1 子，黑棋 %2 子")
                          .arg(position.whiteCount)
                          .arg(position.blackCount)
                    + (entry < last || result.isEmpty() ? "" : "。" + result);
                QCOMPARE(notice->text(), spoken);
                QCOMPARE(board->accessibleDescription(), spoken);
                QTest::keyClick(window, Qt::Key_Right);
            }
            QCOMPARE(window->entry(), last); // → at the end stays there
            QTest::keyClick(window, Qt::Key_Left);
            QCOMPARE(window->entry(), last - 1);
            QTest::keyClick(window, Qt::Key_End);
            QCOMPARE(window->entry(), last);
            for (int press = 0; press < 20; ++press)
                QTest::keyClick(window, press % 2 ? Qt::Key_Right : Qt::Key_Down);
            QVERIFY(!board->focusFrameShown());
        });
        QCOMPARE(runReview(QFile::encodeName(path), {step, false}), fault.isEmpty() ? 0 : 1);
        QVERIFY(looked);
    }

    void programRunsAsAUserRunsIt_data()
    {
        QTest::addColumn<QString>("command"); // run by bash: $0 is the program, $1 the record
        QTest::addColumn<QByteArray>("record"); // a null one is never written
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line"); // of stdout on success, else stderr's; %1: the path
        // `options` are the program's, or a whole command that names it $0.
        const auto row = [](const char *name, const QString &options, int status,
                             const QString &line, const QByteArray &record = kOpening) {
            const QString command
                = options.contains("$0") ? options : R"(exec "$0" )" + options + R"( "$1")";
            QTest::newRow(name) << command << record << status << line;
        };
        // Whole games the game flow plays and saves.
        const auto saved = [this](quint32 seed) {
            test::RandomPlayer player(seed);
            player.window.saveNames = {folder_.filePath("saved.tvr")};
            player.playToEnd();
            return readRecordFile(QFile::encodeName(folder_.filePath("saved.tvr"))).value();
        };
        row("saved game, board full", "--check-computer", 0, "Congratulations , 重新来一盘？",
            saved(25));
        row("saved game, white wiped out", "--check-computer", 0, "Bad luck , 重新来一盘？",
            saved(1));
        row("--step 1", "--step 1", 0, "  8  .  .  .  .  .  .  .  x  o  .  .  .  .  .  .  .");
        row("full record, game not over", "", 0,
            "the record is full (256 entries); the game may have gone on beyond it",
            QByteArray(" 0  0 \r\n").repeated(256));
        row("black stone capturing nothing", "", 1, "%1:2: illegal move for black at (16, 16)",
            " 10  9 \r\n 16  16 \r\n");
        // (8, 8) is black's, but a white stone there would turn (9, 8) against (10, 8).
        row("white on a black stone", "", 1, "%1:5: illegal move for white at (8, 8)",
            kOpening + " 11  7 \r\n 0  0 \r\n 8  8 \r\n");
        const QString range = " (0 to 16 without leading zeros)";
        row("letter", "", 1, "%1:1: bad number \"a\"" + range, " 10  a \r\n");
        row("leading zero", "", 1, "%1:1: bad number \"09\"" + range, " 09  9 \r\n");
        row("17", "", 1, "%1:3: bad number \"17\"" + range, kOpening + " 17  8 \r\n");
        row("two blanks at the end", "", 1, "%1:1: not of the form \" x  y \"", " 0 101  ");
        row("line too long", "", 1, "%1:3: line too long", kOpening + " 100  16 \r\n");
        row("binary bytes", "", 1, "%1:1: not a text record (binary data)", "\x89PNG\r\n\x1A\n");
        row("lines ended by CR alone", "", 1, "%1:1: carriage return without a line feed",
            " 10  9 \r 10  8 \r");
        row("(0, 5)", "", 1, "%1:1: (0, 5) is neither a cell nor a turn without a stone",
            " 0  5 \r\n");
        row("257 entries", "", 1, "%1:257: more than 256 entries",
            QByteArray(" 0  0 \r\n").repeated(257));
        row("entry after the game ended", "", 1, "%1:4: the game was already over",
            kWon + " 0  0 \r\n");
        // After white's (10, 9) black may take (10, 8), (8, 10) or (10, 10).
        row("black not the computer's choice", "--check-computer", 1,
            "%1:2: the computer plays (10, 8) here, the record has (8, 10)",
            " 10  9 \r\n 8  10 \r\n");
        row("missing file", "", 2, "%1: " + qt_error_string(ENOENT), QByteArray());
        row("bad option", "--bogus", 2, "Unknown option 'bogus'.");
        row("window without a display", "--view", 2,
            "--view needs a display (DISPLAY or WAYLAND_DISPLAY)");
        // Names that are not UTF-8 are opened, and written, as exactly the bytes given.
        row("names as their bytes",
            R"(r=$(printf '\377\376.tvr') p=$(printf '\376\377.png'); cp "$1" "$r" &&
               "$0" --png "$p" "$r" && rm "$r" && cat "$p" >t.png && rm "$p")",
            0, "white (o): 3  black (x): 3");
        row("picture over a size limit", R"(ulimit -f 1; exec "$0" --png t.png "$1")", 2,
            "t.png: " + qt_error_string(EFBIG));
        // A display that is not there does not stop a picture.
        row("picture with the longest name a file may have, a stale display",
            R"(n=$(printf 'p%.0s' {1..251}).png; DISPLAY=:99 "$0" --png "$n" "$1" && cat "$n" >t.png && rm "$n")",
            0, "white (o): 3  black (x): 3");
        row("empty file", "", 1, "%1:1: empty file, not a record", QByteArray(""));
        row("null device", R"(exec "$0" /dev/null)", 1, "/dev/null:1: empty file, not a record");
        row("FIFO, no writer", R"(mkfifo f; "$0" f; s=$?; rm f; exit $s)", 1,
            "f:1: empty file, not a record");
        // The program itself holds the FIFO's write end too, so nothing but its wait ends it.
        row("FIFO whose writer never writes", R"(mkfifo f; exec 3<>f; "$0" f; s=$?; rm f; exit $s)",
            2, "f: nothing to read after 3 seconds");
        // A link is written through: the file it names is made, the link stays.
        row("picture through a dangling link",
            R"(ln -s p.png d.png && "$0" --png d.png "$1" && test -L d.png && rm d.png && mv p.png t.png)",
            0, "white (o): 3  black (x): 3");
        // A standard stream is an open file, not a name to replace.
        row("picture to standard output",
            R"("$0" --png /dev/stdout "$1" >>log; s=$?; rm log; exit $s)", 2,
            "/dev/stdout: not a regular file");
        row("picture through a link into a missing folder",
            R"(ln -s no/p.png d.png; "$0" --png d.png "$1"; s=$?; test -L d.png && rm d.png; exit $s)",
            2, "d.png: " + qt_error_string(ENOENT));
        // Without a runtime folder a picture is drawn without a word, and nothing is left behind.
        row("picture without a runtime folder",
            R"sh(unset XDG_RUNTIME_DIR; TMPDIR=$PWD "$0" --png t.png "$1" 2>e && test ! -s e && rm e && test "$(ls)" = t.png)sh",
            0, "white (o): 3  black (x): 3");
        row("output to a full device", R"(exec "$0" "$1" >/dev/full)", 2,
            "standard output: " + qt_error_string(ENOSPC));
    }

    // The program, with no display at hand as on a build machine, replaces a picture whole, or
    // leaves the folder exactly as it was.
    void programRunsAsAUserRunsIt()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, record);
        QFETCH(int, status);
        QFETCH(QString, line);
        QTemporaryDir dir;
        QVERIFY(test::makeSaveTarget("file", QDir(dir.path()), "t.png"));
        const QString before = test::folderListing(QDir(dir.path()));
        const QString path = folder_.filePath(QTest::currentDataTag() + QStringLiteral(".tvr"));
        QVERIFY(record.isNull() || writeFile(path, record));

        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start("bash",
            {"-c", "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; " + command,
                TAVRIN_REPLAY_PROGRAM, path});
        QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QString out = process.readAllStandardOutput();
        // Its own messages; the toolkit may warn of its own accord when it draws without a display.
        const QStringList messages
            = QString(process.readAllStandardError()).split('\n').filter("tavrin-replay: ");
        QCOMPARE(messages,
            status == 0 ? QStringList() : QStringList("tavrin-replay: " + line.arg(path)));
        QVERIFY2(status == 0 ? out.split('\n').contains(line) : out.isEmpty(), qPrintable(out));
        if (status == 0 && command.contains("--png"))
            QCOMPARE(QImage(dir.filePath("t.png")).convertToFormat(QImage::Format_RGB32),
                boardPicture(replayRecord(parseRecord(kOpening).entries, {}).position));
        else
            QCOMPARE(test::folderListing(QDir(dir.path())), before);
    }

    // An unreadable file is named in a box; neither it, a FIFO nobody writes to, nor a step beyond
    // the record opens a window.
    void unreadableFileOrStepIsRefused()
    {
        const QString path = folder_.filePath("missing.tvr");
        QString shown;
        const auto answerBox = [&shown] {
            QTimer::singleShot(0, [&shown] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    shown = box->text();
                    box->accept();
                }
            });
        };
        answerBox();
        QCOMPARE(runReview(QFile::encodeName(path), {-1, false}), 2);
        QCOMPARE(shown, "无法读取棋谱：" + path + '\n' + qt_error_string(ENOENT));
        const QByteArray fifo = QFile::encodeName(folder_.filePath("f"));
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        const int writer = ::open(fifo.constData(), O_RDWR); // a writer that never writes
        answerBox();
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(runReview(fifo, {-1, false}), 2);
        QVERIFY(waited.elapsed() < 4000);
        QCOMPARE(shown,
            "无法读取棋谱：" + QFile::decodeName(fifo) + "\nnothing to read after 3 seconds");
        ::close(writer);
        QVERIFY(writeFile(path, " 10  9 \r\n"));
        QCOMPARE(runReview(QFile::encodeName(path), {2, false}), 2);
    }

private:
    QTemporaryDir folder_;
};

QTEST_MAIN(ReplayTest)
#include "tst_replay.moc"
