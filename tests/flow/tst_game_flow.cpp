#include "board_text.h"
#include "fake_window.h"
#include "flow/atomic_save.h"
#include "flow/flow_texts.h"
#include "flow/game_flow.h"
#include "game/board_geometry.h"
#include "game_invariants.h"
#include "random_player.h"
#include "save_targets.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// Whole games the stress test plays: enough to meet every kind of ending, passes and the full
// record.
constexpr int kGames = 200;

const QString kWon = "Congratulations , 重新来一盘？|Tavrin";

// What the player does in one row of the turn test.
struct Command
{
    enum Kind { Release, Pass, NewGame } kind = Release;
    float x = 0, y = 0; // where a release happens, in board units
    bool yes = false; // every question is answered Yes
    Qt::MouseButton button = Qt::LeftButton;
};

// The syncs and renames of the program, in order: "fsync file", "fsync folder", "rename".
QStringList fileSystemCalls;

} // namespace

// The program's own calls of fsync and rename come here first and are noted in fileSystemCalls.
extern "C" int fsync(int fd)
{
    static const auto system = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    struct stat status = {};
    const bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    fileSystemCalls << (folder ? "fsync folder" : "fsync file");
    return system(fd);
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    static const auto system
        = reinterpret_cast<int (*)(const char *, const char *)>(::dlsym(RTLD_NEXT, "rename"));
    fileSystemCalls << "rename";
    return system(from, to);
}

Q_DECLARE_METATYPE(Command)

class GameFlowTest : public QObject
{
    Q_OBJECT

    FakeWindow window;
    std::unique_ptr<GameFlow> flow;

    // The first game under way on `board`, the log empty.
    void start(const QStringList &board)
    {
        flow->placeStartingStones();
        flow->newGame();
        putBoard(*flow, board);
        flow->markPlayable(kWhite);
        window.clearLog();
    }

private slots:
    void init()
    {
        flow = std::make_unique<GameFlow>(window);
        window = FakeWindow();
    }

    void cellUnderThePointer_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("cell"); // "none" when the point is ignored

        QTest::newRow("worked example (10, 9)") << 590.0f << 530.0f << "10,9";
        QTest::newRow("125.1 is column 3") << 125.1f << 530.0f << "3,9";
        QTest::newRow("left of the board") << -0.3f << 530.0f << "0,9 off the board";
        QTest::newRow("above the board") << 590.0f << -0.3f << "10,0 off the board";
        QTest::newRow("right of the board") << 1010.0f << 530.0f << "17,9 off the board";
        QTest::newRow("125.0 is a grid line") << 125.0f << 530.0f << "none";
        QTest::newRow("row grid line") << 590.0f << 562.5f << "none";
        QTest::newRow("x not a number") << float(qQNaN()) << 530.0f << "none";
        QTest::newRow("y not a number") << 590.0f << float(qQNaN()) << "none";
        QTest::newRow("x infinite") << float(qInf()) << 530.0f << "none";
    }

    void cellUnderThePointer()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, cell);

        const auto found = cellAt(x, y);
        const QString where = found ? QString("%1,%2").arg(found->column).arg(found->row) : "none";
        QCOMPARE(where + (found && !found->onBoard() ? " off the board" : ""), cell);
    }

    void turn_data()
    {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<int>("filled"); // record entries 1..filled hold marks, shown as "…"
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("calls"); // the window's services, in order
        QTest::addColumn<QString>("record"); // recordSummary() after the command
        QTest::addColumn<QString>("asked"); // the first box shown, if any
        QTest::addColumn<QString>("changes"); // placements that make the board, or "start"
        const auto row = [](const char *name, const QStringList &board, int filled, Command command,
                             const QString &calls, const QString &record, const QString &asked,
                             const char *changes) {
            QTest::newRow(name) << board << filled << command
                                << calls.split(' ', Qt::SkipEmptyParts) << record << asked
                                << changes;
        };
        const auto releaseAt = [](float x, float y, bool yes = false) {
            return Command {Command::Release, x, y, yes};
        };
        const Command passNo {Command::Pass, 0, 0, false}, passYes {Command::Pass, 0, 0, true};

        const QStringList start = startingBoardText();
        const char *opened = "o@9-10,9 x@9-10,8"; // white's (10, 9), black's answer (10, 8)
        const QString twice = "paintStones paintStones";
        row("legal release: white (10, 9), black answers (10, 8)", start, 0, releaseAt(590, 530),
            twice, "2: 10,9 10,8", "", opened);
        row("cell that captures nothing", start, 0, releaseAt(590, 590), "", "0:", "", "");
        row("occupied cell that would capture", placedBoard("o@1,1 x@2-3,1", start), 0,
            releaseAt(150, 30), "", "0:", "", "");
        row("grid line", start, 0, releaseAt(562.5, 530), "", "0:", "", "");
        row("off the board beeps", start, 0, releaseAt(-0.3f, 530), "beep", "0:", "", "");
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton})
            row(button == Qt::RightButton ? "right button" : "middle button", start, 0,
                {Command::Release, 590, 530, false, button}, "", "0:", "", "");
        const QString passAsked = "您至少还可以在 7, 8落子,确认放弃吗？|Tavrin";
        row("pass, answer No", start, 0, passNo, "askYesNo", "0:", passAsked, "");
        row("pass, answer Yes: (0, 0), then black's (9, 7)", start, 0, passYes,
            "askYesNo paintStones", "2: 0,0 9,7", passAsked, "x@9,7-8");
        const QStringList whiteStuck = placedBoard("x@1,1 o@2,1 o@5,5"); // black answers (3, 1)
        row("pass without a legal cell asks nothing", whiteStuck, 0, passNo, "paintStones",
            "2: 0,0 3,1", "", "x@2-3,1");

        const QString newGameAsked = "这盘棋尚未下完，重新开始吗？|新局|?";
        row("new game, No keeps the game", placedBoard(opened, start), 2,
            {Command::NewGame, 0, 0, false}, "askYesNo", "2: …", newGameAsked, "");
        row("new game, Yes starts again, clock from 0", placedBoard(opened, start), 2,
            {Command::NewGame, 0, 0, true}, "askYesNo startClock repaintBoard", "0:", newGameAsked,
            "start");

        // Full but for (16, 16), where white turns over (15, 16) alone: 128 stones each then.
        const QString nearlyFull = "x@1-16,1-8 o@1-16,9-16 x@15,16 .@16,16";
        const Command lastCell = releaseAt(968.75, 968.75),
                      lastCellYes = releaseAt(968.75, 968.75, true);
        const QString again = "paintStones askYesNo chooseSaveFile repaintBoard";
        const QString over = "paintStones askYesNo chooseSaveFile endProgram";
        const QString lost = "Bad luck , 重新来一盘？|Tavrin";
        row("full board, drawn, Yes", placedBoard(nearlyFull), 0, lastCellYes, again,
            "0:", "Not too bad , 重新来一盘？|Tavrin", "start");
        row("full board, black ahead, No", placedBoard(nearlyFull + " x@1-8,9"), 0, lastCell, over,
            "1: 16,16", lost, "o@15-16,16");
        row("full board of white alone, Yes: one result, the new game waits for the player",
            placedBoard("o@1-16,1-16 x@15,16 .@16,16"), 0, lastCellYes, again, "0:", kWon, "start");
        row("white wipes out black, No", placedBoard("o@1,1 x@2,1"), 0, releaseAt(150, 30), over,
            "1: 3,1", kWon, "o@2-3,1");
        row("black wipes out white after a pass, Yes", placedBoard("x@1,1 o@2,1"), 0, passYes,
            again + " paintStones", "0:", lost, "start");

        row("move takes the last entry, answer unrecorded", start, 255, releaseAt(590, 530), twice,
            "256: … 10,9", "", opened);
        row("move on a full record", start, 256, releaseAt(590, 530), twice, "256: …", "", opened);
    }

    // One command of the player on a game under way. The record stops at 256 entries, and what
    // is written there is never overwritten. After No at the end of a game nothing at all
    // happens any more.
    void turn()
    {
        QFETCH(QStringList, board);
        QFETCH(int, filled);
        QFETCH(Command, command);
        QFETCH(QStringList, calls);
        QFETCH(QString, record);
        QFETCH(QString, asked);
        QFETCH(QString, changes);
        start(board);
        std::fill_n(flow->record + 1, filled, RecordEntry {5, 16}); // a mark no turn here writes
        flow->lastEntry = std::int16_t(filled);
        flow->elapsedSeconds = 77;
        window.answers = QList<bool>(3, command.yes);

        if (command.kind == Command::NewGame)
            flow->newGame();
        else if (command.kind == Command::Pass)
            flow->pass();
        else
            flow->release(cellAt(command.x, command.y), command.button);
        const bool ended = calls.contains("endProgram");
        if (ended) {
            flow->release(cellAt(-30.0f, 530.0f), Qt::LeftButton);
            flow->pass();
            flow->newGame();
            flow->playStone(16, 16, kWhite); // an end test that turns nothing over
        }
        QCOMPARE(window.calls, calls);
        QCOMPARE(recordSummary(*flow).replace(QRegularExpression("( 5,16)+"), " …"), record);
        QCOMPARE(window.shown.value(0), asked);
        QCOMPARE(boardToText(*flow),
            changes == "start" ? startingBoardText() : placedBoard(changes, board));
        QCOMPARE(flow->elapsedSeconds, std::int16_t(calls.contains("startClock") ? 0 : 77));
        QCOMPARE(flow->programEnded(), ended);
        GameState fresh = *flow; // white's map must be the one for the board as it is
        fresh.markPlayable(kWhite);
        QCOMPARE(legalCellsText(*flow), legalCellsText(ended ? *flow : fresh));
    }

    // Before the first game nothing answers the player; the first game asks nothing and opens
    // on the position put there at window load.
    void firstNewGame()
    {
        flow->placeStartingStones();
        putBoard(*flow, placedBoard("o@1-16,1-16"));
        flow->playStone(1, 1, kWhite); // a board over by both rules
        flow->placeStartingStones();
        flow->release(cellAt(590.0f, 530.0f), Qt::LeftButton);
        flow->release(cellAt(-30.0f, 530.0f), Qt::LeftButton);
        flow->pass();
        QVERIFY(window.calls.isEmpty());
        flow->elapsedSeconds = 9; // the counts are still those of the full board

        flow->newGame();
        QCOMPARE(window.calls.join(' '), "startClock showStatusLabels setModeCaption paintStones");
        QCOMPARE(window.shown, QStringList {"   人机大战"});
        QCOMPARE(boardToText(*flow), startingBoardText());
        QCOMPARE(QPoint(flow->whiteCount, flow->blackCount), QPoint(2, 2));
        QCOMPARE(flow->elapsedSeconds, std::int16_t(0));
        QCOMPARE(legalCellsText(*flow), "8,7 7,8 10,9 9,10");
    }

    void saveOffer_data()
    {
        QTest::addColumn<QString>("target"); // what t.tvr is before the save: makeSaveTarget
        QTest::addColumn<QString>("chosen"); // the name the Save dialog gives; %1 is its folder
        QTest::addColumn<bool>("diskFull"); // only 5 bytes can be written meanwhile
        QTest::addColumn<bool>("saved"); // t.tvr (a link's file) holds the record afterwards
        QTest::addColumn<QString>("told"); // the box shown after the Save dialog, if any
        const auto row = [](const char *name, const char *target, const QString &chosen, bool saved,
                             const QString &told = "", bool diskFull = false) {
            QTest::newRow(name) << target << chosen << diskFull << saved << told;
        };
        row("cancel writes nothing", "file", "", false);
        row("blank name writes nothing", "file", "   ", false);
        // What the window's dialog gives for a name of three blanks: its folder, then the blanks.
        row("blank name in a folder writes nothing", "file", "%1/   ", false);
        row("name without a dot gets .tvr", "file", "t", true);
        row("name with a dot is kept", "file", "t.tvr", true);
        row("dotted folder, plain name", "file", "%1/t", true);
        row("wildcard pattern writes nothing", "file", "*.tvr", false);
        row("wildcard in a folder writes nothing", "file", "%1/t?tvr", false);
        row("link: its file replaced, the link kept", "link", "t.tvr", true);
        const QString failed = "无法保存文件：t.tvr\r%1|Tavrin";
        for (const char *kind : {"fifo", "device", "socket", "folder"})
            row(kind, kind, "t.tvr", false, failed.arg("不是普通文件"));
        row("disk full", "file", "t.tvr", false, failed.arg(qt_error_string(EFBIG)), true);
        row("link, disk full", "link", "t.tvr", false, failed.arg(qt_error_string(EFBIG)), true);
        row("links in a loop", "loop", "t.tvr", false, failed.arg(qt_error_string(ELOOP)));
    }

    // The record replaces a regular file whole, keeping its mode, or the folder stays exactly as
    // it was. Relative names are resolved in a fresh folder, whose name has a dot.
    void saveOffer()
    {
        QFETCH(QString, target);
        QFETCH(QString, chosen);
        QFETCH(bool, diskFull);
        QFETCH(bool, saved);
        QFETCH(QString, told);
        QTemporaryDir dir(QDir::tempPath() + "/flow.XXXXXX");
        if (!makeSaveTarget(target, QDir(dir.path()), "t.tvr"))
            QSKIP("target not made (a device node needs the right to make one)");
        const QString before = folderListing(QDir(dir.path()));
        QVERIFY(QDir::setCurrent(dir.path()));
        start(placedBoard("o@1,1 x@2,1")); // white at (3, 1) takes black's last stone
        flow->record[1] = {10, 9};
        flow->record[2] = {10, 8};
        flow->lastEntry = 3; // entry 3 is a pass
        window.answers = {true};
        window.saveNames = {chosen.replace("%1", dir.path())};

        rlimit limit = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit lowered = {diskFull ? rlim_t(5) : limit.rlim_cur, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit just fails
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &lowered) == 0);
        flow->release(cellAt(150.0f, 30.0f), Qt::LeftButton);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));

        const QString record = " 10  9 \r\n 10  8 \r\n 0  0 \r\n 3  1 \r\n";
        QCOMPARE(folderListing(QDir(dir.path())),
            saved ? QString(before).replace(" old", ' ' + record) : before);
        QCOMPARE(window.shown.value(1),
            "保存这盘棋|" + QCoreApplication::applicationDirPath() + "/*.tvr");
        QCOMPARE(window.shown.value(2), told);
        // After a failure the dialog comes back with the name tried; Cancel ends the offer.
        QCOMPARE(window.shown.value(3),
            told.isEmpty() ? QString() : "保存这盘棋|" + QDir(dir.path()).filePath("t.tvr"));
        QCOMPARE(window.calls.last(), "repaintBoard");
    }

    // A save is on disk once it has returned: the file is synced before the rename, and its
    // folder after it. A file replaced by root keeps its owner, its group and its set-ID bits.
    void saveIsDurableAndKeepsTheOwner()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("t.tvr"));
        QVERIFY(makeSaveTarget("file", QDir(dir.path()), "t.tvr"));
        const bool root = ::geteuid() == 0;
        QVERIFY(!root || ::chown(path.constData(), 4242, 4243) == 0);
        const mode_t mode = root ? 06750 : 0640;
        QVERIFY(::chmod(path.constData(), mode) == 0);
        fileSystemCalls.clear();
        QVERIFY(saveAtomically(path, "record", "not regular").succeeded());
        QCOMPARE(fileSystemCalls.join(", "), "fsync file, rename, fsync folder");
        struct stat saved = {};
        QVERIFY(::stat(path.constData(), &saved) == 0);
        QCOMPARE(saved.st_mode & 07777, mode);
        if (!root)
            QSKIP("only root may give a file to another user");
        QCOMPARE(QPoint(saved.st_uid, saved.st_gid), QPoint(4242, 4243));
    }

    // A link in a sticky folder that anybody may write to (as /tmp) is followed only when it
    // belongs to the one who saves or to the folder's owner, as the kernel follows them: nobody
    // can plant one there that makes a save replace another user's file.
    void linkPlantedInASharedFolderIsNotFollowed()
    {
        if (::geteuid() != 0)
            QSKIP("only root may give a link to another user");
        QTemporaryDir shared, own;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
        const QByteArray file = QFile::encodeName(own.filePath("secret"));
        const QByteArray link = QFile::encodeName(shared.filePath("t.tvr"));
        QVERIFY(::symlink(file.constData(), link.constData()) == 0);
        QVERIFY(::lchown(link.constData(), 4242, 4242) == 0);
        const Result<> planted = saveAtomically(link, "record", "not regular");
        QVERIFY(!planted);
        QCOMPARE(planted.reason(), qt_error_string(EACCES));
        QVERIFY(!QFile::exists(own.filePath("secret")));
        QVERIFY(::lchown(link.constData(), 0, 0) == 0); // the link is the saver's own
        QVERIFY(saveAtomically(link, "record", "not regular").succeeded());
        QCOMPARE(QFileInfo(own.filePath("secret")).size(), 6);
    }

    // In a folder the user may write to but not read, a save succeeds and says so, though the
    // folder cannot be opened to be synced.
    void saveInAFolderThatCannotBeReadSucceeds()
    {
        if (::geteuid() != 0)
            QSKIP("the test takes on another user, which needs root");
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(::chown(folder.constData(), 65534, 65534) == 0
            && ::chmod(folder.constData(), 0300) == 0);
        const QByteArray path = folder + "/t.tvr";
        const pid_t child = ::fork();
        if (child == 0) {
            const bool saved = ::setgid(65534) == 0 && ::setuid(65534) == 0
                && saveAtomically(path, "record", "not regular").succeeded();
            ::_exit(saved ? 0 : 1);
        }
        int status = -1;
        QVERIFY(::waitpid(child, &status, 0) == child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(QFileInfo(dir.filePath("t.tvr")).size(), 6);
    }

    // Hundreds of whole games against the computer, the state checked after every exchange and at
    // every end of a game. Every question gets Yes: a finished game starts again, the Save dialog
    // is cancelled. A game where neither side can move is started again by hand.
    void invariantsHoldThroughWholeGames()
    {
        RandomPlayer player(2024);
        int ended = 0, stuck = 0;
        QString endFault; // the first fault seen when a game ended
        player.window.onCall = [&](const QString &call) {
            if (call != "askYesNo"
                || player.window.shown.last().startsWith(flowtext::kNewGameQuestion))
                return;
            ++ended;
            // The map is not brought up to date for a board that is over.
            const auto fault = invariants::gameOverByRule(player.flow)
                ? invariants::firstFault(
                    player.flow, {true, false, invariants::ReplayCheck::StonesAndComputer})
                : "the end was announced on a board that is not over";
            if (fault && endFault.isEmpty())
                endFault = QString::fromStdString(*fault);
        };
        for (int exchange = 1; ended + stuck < kGames; ++exchange) {
            player.window.answers = {true};
            if (!player.exchange()) {
                ++stuck;
                player.flow.newGame();
            }
            QCOMPARE(player.window.unansweredQuestions, 0);
            player.window.clearLog();
            if (const auto fault = invariants::firstFault(player.flow, {}))
                QFAIL(qPrintable(QStringLiteral("exchange %1: ").arg(exchange) + fault->c_str()));
            QVERIFY2(endFault.isEmpty(), qPrintable(endFault));
            QVERIFY(!player.flow.programEnded());
            QVERIFY2(exchange < 300 * (ended + stuck + 1), "a game neither ends nor gets stuck");
        }
        // Whole games must have been played, not only positions where nobody can move.
        QVERIFY(ended > kGames / 2);
        // The checks must notice a damaged state, or the games above prove nothing.
        GameState miscounted = player.flow, mismapped = player.flow;
        ++miscounted.whiteCount;
        mismapped.playable[1][1] = std::int16_t(kLegal + kIllegal - mismapped.playable[1][1]);
        QVERIFY(invariants::firstFault(miscounted, {}) && invariants::firstFault(mismapped, {}));
    }
};

QTEST_GUILESS_MAIN(GameFlowTest)
#include "tst_game_flow.moc"
