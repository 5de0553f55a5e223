#include "board_text.h"
#include "fake_window.h"
#include "game_flow.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using tavrin::GameFlow;
using tavrin::WindowServices;
using tavrin::test::boardToText;
using tavrin::test::FakeWindow;
using tavrin::test::putBoard;
using tavrin::test::startingBoardText;

using Cells = QList<QPair<int, int>>;

namespace {

// The centre of column or row `index` in board units.
float centre(int index)
{
    return (static_cast<float>(index) - 0.5f) * 62.5f;
}

// Board rows 1 to 15 all of one kind, then the bottom row.
QStringList fifteenRowsAnd(const char *fill, const char *bottom)
{
    QStringList rows(15, QString::fromLatin1(fill));
    rows.append(QString::fromLatin1(bottom));
    return rows;
}

// Full but for (16, 16), where white turns over (15, 16) and nothing else. White owns rows 10..15
// and the bottom row, `rowNine` decides the balance, rows 1..8 are black.
QStringList lastCellBoard(const char *rowEight, const char *rowNine)
{
    QStringList rows(7, QStringLiteral("xxxxxxxxxxxxxxxx"));
    rows << QString::fromLatin1(rowEight) << QString::fromLatin1(rowNine);
    for (int y = 10; y <= 15; ++y)
        rows << QStringLiteral("oooooooooooooooo");
    rows << QStringLiteral("oooooooooooooox.");
    return rows;
}

// White's only stone sits next to black's corner: white cannot move, black takes it at (3, 1).
const QStringList kWhiteNextToBlackCorner
    = {"xo..............", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................"};

// As above with a second white stone out of reach: black's answer at (3, 1) ends nothing.
const QStringList kBlackCanAnswer
    = {"xo..............", "................", "................", "................",
        "....o...........", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................"};

// Neither side can move, and both still have stones.
const QStringList kBlocked
    = {"o...............", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "...............x"};

// White at (3, 1) turns over black's last stone.
const QStringList kWhiteWipesOutBlack
    = {"ox..............", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................",
        "................", "................", "................", "................"};

// White at (16, 16) fills the board with white alone.
const QStringList kWhiteFillsBoardAlone = fifteenRowsAnd("oooooooooooooooo", "oooooooooooooox.");

// The cells where white may play at the start of a game.
const Cells kStartingMap = {{8, 7}, {7, 8}, {10, 9}, {9, 10}};

Cells legalCells(const GameFlow &flow)
{
    Cells cells;
    for (int y = 1; y <= 16; ++y)
        for (int x = 1; x <= 16; ++x)
            if (flow.kyxq[x][y] == tavrin::kLegal)
                cells.append({x, y});
    return cells;
}

Cells sorted(Cells cells)
{
    std::sort(cells.begin(), cells.end(),
        [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
    return cells;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

bool recordIsEmpty(const GameFlow &flow)
{
    for (const auto &entry : flow.qipu)
        if (entry.x != 0 || entry.y != 0)
            return false;
    return true;
}

} // namespace

#define QCOMPARE_ENTRY(entry, ex, ey)                                                              \
    do {                                                                                           \
        QCOMPARE((entry).x, std::int16_t(ex));                                                     \
        QCOMPARE((entry).y, std::int16_t(ey));                                                     \
    } while (false)

class GameFlowTest : public QObject
{
    Q_OBJECT

private:
    FakeWindow window;
    std::unique_ptr<GameFlow> flow;

    // A flow as at window load, then the first game started; the log starts empty.
    void startFirstGame();
    // A started game on `rows`, with an empty record.
    void startOn(const QStringList &rows);

private slots:
    void init();

    void legalReleasePlaysMoveAndComputerAnswer();
    void rejectedReleaseChangesNothing_data();
    void rejectedReleaseChangesNothing();

    void passQuestionNamesLowestColumnAndNoKeepsEverything();
    void confirmedPassRecordsItAndComputerAnswers();
    void passWithoutLegalCellAsksNothing_data();
    void passWithoutLegalCellAsksNothing();

    void firstNewGameAsksNothingAndOpensTheGame();
    void laterNewGameDeclinedChangesNothing();
    void laterNewGameConfirmedStartsAgain();

    void resultTextFollowsTheCounts_data();
    void resultTextFollowsTheCounts();
    void playerEndingStoneLeavesNewGameToPlayer();
    void computerEndingStoneLeavesNewGameToPlayer();
    void answerNoEndsProgramAndNothingRunsAfter_data();
    void answerNoEndsProgramAndNothingRunsAfter();
    void endOfGameDoesNothingBeforeFirstGame();

    void saveDialogStartsInProgramFolder();
    void saveOfferWritesChosenFile_data();
    void saveOfferWritesChosenFile();
    void secondSaveToSameFileKeepsOnlySecondGame();
    void failedSaveIsReportedAndGameGoesOn_data();
    void failedSaveIsReportedAndGameGoesOn();

    void repeatedPassesStopRecordingAtCapacity();
    void turnsAtRecordLimitArePlayedNotOverwritten_data();
    void turnsAtRecordLimitArePlayedNotOverwritten();
};

void GameFlowTest::init()
{
    flow = std::make_unique<GameFlow>(window);
    window.clearLog();
    window.answers.clear();
    window.saveNames.clear();
    window.onCall = nullptr;
}

void GameFlowTest::startFirstGame()
{
    flow->initqizi();
    flow->MNrj();
    window.clearLog();
}

void GameFlowTest::startOn(const QStringList &rows)
{
    startFirstGame();
    QVERIFY(putBoard(*flow, rows));
}

void GameFlowTest::legalReleasePlaysMoveAndComputerAnswer()
{
    startFirstGame();
    QStringList boardAtHq;
    window.onCall = [&](const QString &call) {
        if (call == "hq")
            boardAtHq << boardToText(*flow).join('|');
    };

    flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);

    QCOMPARE_ENTRY(flow->qipu[1], 10, 9);
    QCOMPARE_ENTRY(flow->qipu[2], 10, 8);
    QCOMPARE(flow->stepnum, std::int16_t(2));
    QCOMPARE(window.calls, QStringList({"hq", "hq"}));
    QStringList afterWhite = startingBoardText();
    afterWhite[8] = ".......ooo......";
    QStringList afterBlack = afterWhite;
    afterBlack[7] = ".......xxx......";
    QCOMPARE(boardAtHq, QStringList({afterWhite.join('|'), afterBlack.join('|')}));
    QCOMPARE(boardToText(*flow), afterBlack);
    QCOMPARE(legalCells(*flow), Cells({{7, 7}, {8, 7}, {9, 7}, {10, 7}, {11, 7}}));
}

void GameFlowTest::rejectedReleaseChangesNothing_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("button");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QStringList>("calls");

    const QStringList start = startingBoardText();
    QStringList occupied = start;
    occupied[0] = "oxxo............"; // white at the black (2, 1) would capture (3, 1)
    const QStringList none;
    const QStringList beep {"beep"};
    QTest::newRow("empty cell that captures nothing")
        << true << start << 1 << centre(10) << centre(10) << none;
    QTest::newRow("occupied cell that would capture")
        << true << occupied << 1 << centre(2) << centre(1) << none;
    QTest::newRow("vertical grid line") << true << start << 1 << 562.5f << 530.0f << none;
    QTest::newRow("horizontal grid line") << true << start << 1 << 590.0f << 562.5f << none;
    QTest::newRow("left of the board beeps") << true << start << 1 << -0.3f << 530.0f << beep;
    QTest::newRow("below the board beeps") << true << start << 1 << 590.0f << 1010.0f << beep;
    QTest::newRow("right button") << true << start << 2 << 590.0f << 530.0f << none;
    QTest::newRow("middle button") << true << start << 4 << 590.0f << 530.0f << none;
    QTest::newRow("right button off the board") << true << start << 2 << -30.0f << 530.0f << none;
    QTest::newRow("before the first game") << false << start << 1 << 590.0f << 530.0f << none;
    QTest::newRow("off the board before the first game")
        << false << start << 1 << -30.0f << 530.0f << none;
}

void GameFlowTest::rejectedReleaseChangesNothing()
{
    QFETCH(bool, started);
    QFETCH(QStringList, board);
    QFETCH(int, button);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QStringList, calls);

    if (started)
        startOn(board);
    else
        flow->initqizi();

    flow->release(button, 0, x, y);

    QCOMPARE(boardToText(*flow), board);
    QCOMPARE(flow->stepnum, std::int16_t(0));
    QVERIFY(recordIsEmpty(*flow));
    QCOMPARE(window.calls, calls);
}

void GameFlowTest::passQuestionNamesLowestColumnAndNoKeepsEverything()
{
    startFirstGame();
    window.answers = {false};

    flow->fqyz();

    QCOMPARE(window.questions.size(), 1);
    QCOMPARE(window.questions[0].text, QStringLiteral("您至少还可以在 7, 8落子,确认放弃吗？"));
    QCOMPARE(window.questions[0].title, QStringLiteral("Tavrin"));
    QCOMPARE(window.questions[0].icon, WindowServices::Icon::None);
    QCOMPARE(window.calls, QStringList({"askYesNo"}));
    QCOMPARE(boardToText(*flow), startingBoardText());
    QCOMPARE(flow->stepnum, std::int16_t(0));
    QVERIFY(recordIsEmpty(*flow));
    QCOMPARE(sorted(legalCells(*flow)), sorted(kStartingMap));
}

void GameFlowTest::confirmedPassRecordsItAndComputerAnswers()
{
    startFirstGame();
    window.answers = {true};

    flow->fqyz();

    QCOMPARE_ENTRY(flow->qipu[1], 0, 0);
    QCOMPARE_ENTRY(flow->qipu[2], 9, 7);
    QCOMPARE(flow->stepnum, std::int16_t(2));
    QCOMPARE(window.calls, QStringList({"askYesNo", "hq"}));
    QStringList expected = startingBoardText();
    expected[6] = "........x.......";
    expected[7] = ".......xx.......";
    QCOMPARE(boardToText(*flow), expected);
    // White's map is rebuilt: (8, 9) is the one white stone left to bracket against.
    QCOMPARE(sorted(legalCells(*flow)), sorted({{8, 7}, {10, 7}, {10, 9}}));
}

void GameFlowTest::passWithoutLegalCellAsksNothing_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("blackX");
    QTest::addColumn<int>("blackY");
    QTest::addColumn<QStringList>("after");

    QStringList taken = kBlackCanAnswer;
    taken[0] = "xxx.............";
    QTest::newRow("black answers at (3, 1)") << kBlackCanAnswer << 3 << 1 << taken;
    QTest::newRow("neither side can move") << kBlocked << 0 << 0 << kBlocked;
}

void GameFlowTest::passWithoutLegalCellAsksNothing()
{
    QFETCH(QStringList, board);
    QFETCH(int, blackX);
    QFETCH(int, blackY);
    QFETCH(QStringList, after);
    startOn(board);

    flow->fqyz();

    QCOMPARE(window.calls, QStringList({"hq"}));
    QCOMPARE_ENTRY(flow->qipu[1], 0, 0);
    QCOMPARE_ENTRY(flow->qipu[2], blackX, blackY);
    QCOMPARE(flow->stepnum, std::int16_t(2));
    QCOMPARE(boardToText(*flow), after);
}

void GameFlowTest::firstNewGameAsksNothingAndOpensTheGame()
{
    flow->initqizi(); // window load
    flow->bqnum = 150;
    flow->hqnum = 106;
    flow->timecount = 9;
    QString countsAtHq;
    window.onCall = [&](const QString &call) {
        if (call == "hq")
            countsAtHq = QStringLiteral("%1/%2").arg(flow->bqnum).arg(flow->hqnum);
    };

    flow->MNrj();

    QCOMPARE(window.calls, QStringList({"startClock", "showStatusLabels", "setModeCaption", "hq"}));
    QCOMPARE(window.modeCaptions, QStringList({"   人机大战"}));
    QCOMPARE(countsAtHq, QStringLiteral("2/2"));
    QCOMPARE(flow->timecount, std::int16_t(0));
    QCOMPARE(flow->gamestarted, std::uint8_t(1));
    QCOMPARE(boardToText(*flow), startingBoardText());
    QCOMPARE(sorted(legalCells(*flow)), sorted(kStartingMap));
    QCOMPARE(flow->stepnum, std::int16_t(0));
}

void GameFlowTest::laterNewGameDeclinedChangesNothing()
{
    startFirstGame();
    flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);
    flow->timecount = 37;
    const QStringList board = boardToText(*flow);
    window.clearLog();
    window.answers = {false};

    flow->MNrj();

    QCOMPARE(window.calls, QStringList({"askYesNo"}));
    QCOMPARE(window.questions[0].text, QStringLiteral("这盘棋尚未下完，重新开始吗？"));
    QCOMPARE(window.questions[0].title, QStringLiteral("新局"));
    QCOMPARE(window.questions[0].icon, WindowServices::Icon::Question);
    QCOMPARE(boardToText(*flow), board);
    QCOMPARE(flow->stepnum, std::int16_t(2));
    QCOMPARE_ENTRY(flow->qipu[2], 10, 8);
    QCOMPARE(flow->timecount, std::int16_t(37));
}

void GameFlowTest::laterNewGameConfirmedStartsAgain()
{
    startFirstGame();
    flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);
    flow->timecount = 37;
    window.clearLog();
    window.answers = {true};
    QString countsAtHq2;
    window.onCall = [&](const QString &call) {
        if (call == "hq2")
            countsAtHq2 = QStringLiteral("%1/%2").arg(flow->bqnum).arg(flow->hqnum);
    };

    flow->MNrj();

    QCOMPARE(window.calls, QStringList({"askYesNo", "startClock", "hq2"}));
    QCOMPARE(countsAtHq2, QStringLiteral("2/2"));
    QCOMPARE(boardToText(*flow), startingBoardText());
    QCOMPARE(flow->stepnum, std::int16_t(0));
    QVERIFY(recordIsEmpty(*flow));
    QCOMPARE(flow->timecount, std::int16_t(0));
    QCOMPARE(flow->gamestarted, std::uint8_t(1));
    QCOMPARE(sorted(legalCells(*flow)), sorted(kStartingMap));
}

void GameFlowTest::resultTextFollowsTheCounts_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("text");

    QTest::newRow("full board 130 to 126") << lastCellBoard("xxxxxxxxxxxxxxoo", "oooooooooooooooo")
                                           << 16 << 16 << "Congratulations , 重新来一盘？";
    QTest::newRow("full board 128 to 128") << lastCellBoard("xxxxxxxxxxxxxxxx", "oooooooooooooooo")
                                           << 16 << 16 << "Not too bad , 重新来一盘？";
    QTest::newRow("full board 120 to 136") << lastCellBoard("xxxxxxxxxxxxxxxx", "xxxxxxxxoooooooo")
                                           << 16 << 16 << "Bad luck , 重新来一盘？";
    QTest::newRow("black wiped out")
        << kWhiteWipesOutBlack << 3 << 1 << "Congratulations , 重新来一盘？";
    QTest::newRow("full board of white alone")
        << kWhiteFillsBoardAlone << 16 << 16 << "Congratulations , 重新来一盘？";
}

void GameFlowTest::resultTextFollowsTheCounts()
{
    QFETCH(QStringList, board);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, text);
    startOn(board);
    window.answers = {true};

    flow->release(GameFlow::kLeftButton, 0, centre(x), centre(y));

    // One result, even where the board is both full and of one colour.
    QCOMPARE(window.questions.size(), 1);
    QCOMPARE(window.questions[0].text, text);
    QCOMPARE(window.questions[0].title, QStringLiteral("Tavrin"));
    QCOMPARE(window.questions[0].icon, WindowServices::Icon::None);
    QCOMPARE(window.count("chooseSaveFile"), 1);
}

void GameFlowTest::playerEndingStoneLeavesNewGameToPlayer()
{
    QTemporaryDir dir;
    startOn(kWhiteFillsBoardAlone);
    flow->qipu[1] = {10, 9};
    flow->qipu[2] = {10, 8};
    flow->stepnum = 2;
    flow->timecount = 77;
    window.answers = {true};
    window.saveNames = {dir.filePath("ends")};

    flow->release(GameFlow::kLeftButton, 0, centre(16), centre(16));

    QCOMPARE(readAll(dir.filePath("ends.tvr")), QByteArray(" 10  9 \r\n 10  8 \r\n 16  16 \r\n"));
    QCOMPARE(window.calls, QStringList({"hq", "askYesNo", "chooseSaveFile", "hq2"}));
    // Black has not moved in the new game, and its record is untouched.
    QCOMPARE(boardToText(*flow), startingBoardText());
    QCOMPARE(flow->stepnum, std::int16_t(0));
    QVERIFY(recordIsEmpty(*flow));
    QCOMPARE(sorted(legalCells(*flow)), sorted(kStartingMap));
    QCOMPARE(flow->timecount, std::int16_t(77));
    QCOMPARE(flow->bqnum, std::int16_t(2));
    QCOMPARE(flow->hqnum, std::int16_t(2));
}

void GameFlowTest::computerEndingStoneLeavesNewGameToPlayer()
{
    QTemporaryDir dir;
    startOn(kWhiteNextToBlackCorner);
    flow->timecount = 77;
    window.answers = {true};
    window.saveNames = {dir.filePath("lost.tvr")};

    flow->fqyz();

    QCOMPARE(window.questions.size(), 1);
    QCOMPARE(window.questions[0].text, QStringLiteral("Bad luck , 重新来一盘？"));
    QCOMPARE(readAll(dir.filePath("lost.tvr")), QByteArray(" 0  0 \r\n 3  1 \r\n"));
    QCOMPARE(window.calls, QStringList({"hq", "askYesNo", "chooseSaveFile", "hq2", "hq"}));
    QCOMPARE(boardToText(*flow), startingBoardText());
    QCOMPARE(flow->stepnum, std::int16_t(0));
    QCOMPARE(sorted(legalCells(*flow)), sorted(kStartingMap));
    QCOMPARE(flow->timecount, std::int16_t(77));
}

void GameFlowTest::answerNoEndsProgramAndNothingRunsAfter_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<bool>("byPass");
    QTest::addColumn<int>("stepnum");
    QTest::addColumn<QStringList>("finalBoard");

    QTest::newRow("player's stone fills the board alone")
        << kWhiteFillsBoardAlone << false << 1
        << fifteenRowsAnd("oooooooooooooooo", "oooooooooooooooo");
    QStringList blackOnly = kWhiteNextToBlackCorner;
    blackOnly[0] = "xxx.............";
    QTest::newRow("computer's stone wipes out white")
        << kWhiteNextToBlackCorner << true << 2 << blackOnly;
}

void GameFlowTest::answerNoEndsProgramAndNothingRunsAfter()
{
    QFETCH(QStringList, board);
    QFETCH(bool, byPass);
    QFETCH(int, stepnum);
    QFETCH(QStringList, finalBoard);
    startOn(board);
    window.answers = {false, true, true};

    if (byPass)
        flow->fqyz();
    else
        flow->release(GameFlow::kLeftButton, 0, centre(16), centre(16));

    QCOMPARE(window.calls, QStringList({"hq", "askYesNo", "chooseSaveFile", "endProgram"}));
    QVERIFY(flow->programEnded());
    // Neither a computer answer nor the refresh of the map came after the end.
    QCOMPARE(flow->stepnum, std::int16_t(stepnum));
    QCOMPARE(boardToText(*flow), finalBoard);

    flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);
    flow->release(GameFlow::kLeftButton, 0, -30.0f, 530.0f);
    flow->fqyz();
    flow->MNrj();
    flow->pd(1, 1, tavrin::kWhite); // a further end test on the finished board

    QCOMPARE(window.calls, QStringList({"hq", "askYesNo", "chooseSaveFile", "endProgram"}));
    QCOMPARE(window.answers.size(), 2);
    QCOMPARE(flow->stepnum, std::int16_t(stepnum));
    QCOMPARE(boardToText(*flow), finalBoard);
}

void GameFlowTest::endOfGameDoesNothingBeforeFirstGame()
{
    QVERIFY(putBoard(*flow, kWhiteFillsBoardAlone));
    flow->qizi[16][16] = tavrin::kWhite;
    window.answers = {false};

    flow->pd(16, 16, tavrin::kWhite); // full and without black, before any game

    QVERIFY(window.calls.isEmpty());
    QVERIFY(!flow->programEnded());
}

void GameFlowTest::saveDialogStartsInProgramFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QVERIFY2(QFileInfo(programFolder).isWritable(), "the test needs a writable build folder");
    startOn(kWhiteWipesOutBlack);
    window.answers = {true};

    flow->release(GameFlow::kLeftButton, 0, centre(3), centre(1));

    QCOMPARE(window.saveDialogs.size(), 1);
    QCOMPARE(window.saveDialogs[0].title, QStringLiteral("保存这盘棋"));
    QCOMPARE(window.saveDialogs[0].initialName, programFolder + QStringLiteral("/*.tvr"));
}

void GameFlowTest::saveOfferWritesChosenFile_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("inFolder");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("cancel writes nothing") << "" << false << QStringList();
    QTest::newRow("spaces only write nothing") << "    " << false << QStringList();
    QTest::newRow("name without a dot gets .tvr") << "game1" << true << QStringList {"game1.tvr"};
    QTest::newRow("name with a dot is kept") << "game1.txt" << true << QStringList {"game1.txt"};
    QTest::newRow("dotted folder, plain name")
        << "my.games/game1" << true << QStringList {"my.games/game1.tvr"};
}

void GameFlowTest::saveOfferWritesChosenFile()
{
    QFETCH(QString, chosen);
    QFETCH(bool, inFolder);
    QFETCH(QStringList, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("my.games"));
    startOn(kWhiteWipesOutBlack);
    window.answers = {true};
    window.saveNames = {inFolder ? dir.filePath(chosen) : chosen};

    flow->release(GameFlow::kLeftButton, 0, centre(3), centre(1));

    QCOMPARE(filesUnder(dir.path()), written);
    for (const QString &file : written)
        QCOMPARE(readAll(dir.filePath(file)), QByteArray(" 3  1 \r\n"));
    QVERIFY(window.informations.isEmpty());
    QCOMPARE(window.calls.last(), QStringLiteral("hq2"));
}

void GameFlowTest::secondSaveToSameFileKeepsOnlySecondGame()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("game.tvr");
    startOn(kWhiteFillsBoardAlone);
    flow->qipu[1] = {10, 9};
    flow->qipu[2] = {10, 8};
    flow->stepnum = 2;
    window.answers = {true, true};
    window.saveNames = {path, path};
    flow->release(GameFlow::kLeftButton, 0, centre(16), centre(16));
    QCOMPARE(readAll(path), QByteArray(" 10  9 \r\n 10  8 \r\n 16  16 \r\n"));

    QVERIFY(putBoard(*flow, kWhiteWipesOutBlack));
    flow->release(GameFlow::kLeftButton, 0, centre(3), centre(1));

    QCOMPARE(readAll(path), QByteArray(" 3  1 \r\n"));
}

void GameFlowTest::failedSaveIsReportedAndGameGoesOn_data()
{
    QTest::addColumn<bool>("playAgain");
    QTest::addColumn<QString>("lastCall");

    QTest::newRow("answer Yes starts the next game") << true << "hq2";
    QTest::newRow("answer No ends the program") << false << "endProgram";
}

void GameFlowTest::failedSaveIsReportedAndGameGoesOn()
{
    QFETCH(bool, playAgain);
    QFETCH(QString, lastCall);
    QTemporaryDir dir;
    // Too long for the temporary file a safe save writes beside it, so the save fails even
    // where permissions would not stop it.
    const QString path = dir.filePath(QString(246, 'g') + ".tvr");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old game\r\n");
    }
    startOn(kWhiteWipesOutBlack);
    window.answers = {playAgain};
    window.saveNames = {path};

    flow->release(GameFlow::kLeftButton, 0, centre(3), centre(1));

    QCOMPARE(readAll(path), QByteArray("old game\r\n"));
    QCOMPARE(window.informations.size(), 1);
    QCOMPARE(window.informations[0].title, QStringLiteral("Tavrin"));
    QVERIFY(window.informations[0].text.startsWith(QStringLiteral("无法保存文件：") + path));
    QVERIFY(window.informations[0].text.size()
        > QStringLiteral("无法保存文件：").size() + path.size() + 1); // the reason follows
    QCOMPARE(window.calls,
        QStringList({"hq", "askYesNo", "chooseSaveFile", "showInformation", lastCall}));
}

void GameFlowTest::repeatedPassesStopRecordingAtCapacity()
{
    startOn(kBlocked);

    for (int pass = 1; pass <= 140; ++pass) {
        flow->fqyz();
        QCOMPARE(flow->stepnum, std::int16_t(std::min(2 * pass, 256)));
    }

    QVERIFY(recordIsEmpty(*flow));
    QCOMPARE(window.count("hq"), 140);
    QVERIFY(window.questions.isEmpty());
    QCOMPARE(boardToText(*flow), kBlocked);
}

void GameFlowTest::turnsAtRecordLimitArePlayedNotOverwritten_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<bool>("byPass");
    QTest::addColumn<int>("stepnumBefore");
    QTest::addColumn<int>("stepnumAfter");
    QTest::addColumn<Cells>("newEntries"); // entries from stepnumBefore + 1 on
    QTest::addColumn<Cells>("blackStones"); // must be black afterwards

    const QStringList start = startingBoardText();
    QTest::newRow("pass with room for both entries")
        << kBlackCanAnswer << true << 254 << 256 << Cells {{0, 0}, {3, 1}} << Cells {{3, 1}};
    QTest::newRow("pass takes the last entry, computer unrecorded")
        << kBlackCanAnswer << true << 255 << 256 << Cells {{0, 0}} << Cells {{3, 1}};
    QTest::newRow("pass on a full record")
        << kBlackCanAnswer << true << 256 << 256 << Cells {} << Cells {{3, 1}, {2, 1}};
    QTest::newRow("move takes the last entry, computer unrecorded")
        << start << false << 255 << 256 << Cells {{10, 9}} << Cells {{10, 8}, {9, 8}};
    QTest::newRow("move on a full record")
        << start << false << 256 << 256 << Cells {} << Cells {{10, 8}, {9, 8}};
}

void GameFlowTest::turnsAtRecordLimitArePlayedNotOverwritten()
{
    QFETCH(QStringList, board);
    QFETCH(bool, byPass);
    QFETCH(int, stepnumBefore);
    QFETCH(int, stepnumAfter);
    QFETCH(Cells, newEntries);
    QFETCH(Cells, blackStones);
    startOn(board);
    // Entries already written carry a mark that no turn of this test could write.
    for (int i = 1; i <= stepnumBefore; ++i)
        flow->qipu[i] = {static_cast<std::int16_t>(i % 16 + 1), 16};
    flow->stepnum = static_cast<std::int16_t>(stepnumBefore);
    window.answers = {true};

    if (byPass)
        flow->fqyz();
    else
        flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);

    QCOMPARE(flow->stepnum, std::int16_t(stepnumAfter));
    for (int i = 1; i <= stepnumBefore; ++i)
        QCOMPARE_ENTRY(flow->qipu[i], i % 16 + 1, 16);
    for (int i = stepnumBefore + 1; i <= 256; ++i) {
        const int k = i - stepnumBefore - 1;
        QCOMPARE_ENTRY(flow->qipu[i], k < newEntries.size() ? newEntries[k].first : 0,
            k < newEntries.size() ? newEntries[k].second : 0);
    }
    for (const auto &[x, y] : blackStones)
        QCOMPARE(flow->qizi[x][y], tavrin::kBlack);
    QCOMPARE(flow->bqnum + flow->hqnum, byPass ? 4 : 6);
    QCOMPARE(window.calls.last(), QStringLiteral("hq"));
}

QTEST_GUILESS_MAIN(GameFlowTest)
#include "tst_game_flow.moc"
