#include "board_geometry.h"
#include "board_text.h"
#include "fake_window.h"
#include "game_flow.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QPoint>
#include <QPointF>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>

using namespace tavrin;
using namespace tavrin::test;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const QString kWon = "Congratulations , 重新来一盘？";
const QString kLost = "Bad luck , 重新来一盘？";
const QString kDrawn = "Not too bad , 重新来一盘？";
// Full but for (16, 16), where white turns over (15, 16) alone: 128 stones each afterwards.
const QString kNearlyFull = "x@1-16,1-8 o@1-16,9-16 x@15,16 .@16,16";
// White at (3, 1) takes black's last stone.
const QString kWhiteWipesOut = "o@1,1 x@2,1";
// White cannot move; black at (3, 1) takes white's last stone.
const QString kBlackWipesOut = "x@1,1 o@2,1";
// A record file name too long for the temporary file that a safe save writes beside it.
const QString kTooLong = QString(246, 'g') + ".tvr";

} // namespace

class GameFlowTest : public QObject
{
    Q_OBJECT

    FakeWindow window;
    std::unique_ptr<GameFlow> flow;

    // The first game under way on `board`, the log empty.
    void start(const QStringList &board = startingBoardText())
    {
        flow->initqizi();
        flow->MNrj();
        QVERIFY(putBoard(*flow, board));
        flow->pdkyxq(kWhite);
        window.clearLog();
    }
    // The player's move: a left release at the centre of the cell, or the pass command for the
    // null point.
    void play(QPoint cell)
    {
        if (cell.isNull())
            flow->fqyz();
        else
            flow->release(
                GameFlow::kLeftButton, 0, (cell.x() - 0.5f) * 62.5f, (cell.y() - 0.5f) * 62.5f);
    }
    // White's legal-move map must always be the one for the board as it is.
    void checkMapIsCurrent()
    {
        GameState fresh = *flow;
        fresh.pdkyxq(kWhite);
        QCOMPARE(legalCellsText(*flow), legalCellsText(fresh));
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
        QTest::addColumn<bool>("onBoard");

        QTest::newRow("worked example (10, 9)") << 590.0f << 530.0f << "10,9" << true;
        QTest::newRow("125.1 is column 3") << 125.1f << 530.0f << "3,9" << true;
        QTest::newRow("0.4 is column 1") << 0.4f << 530.0f << "1,9" << true;
        QTest::newRow("left of the board") << -0.3f << 530.0f << "0,9" << false;
        QTest::newRow("right of the board") << 1010.0f << 530.0f << "17,9" << false;
        QTest::newRow("far left stays far left") << -10000031.0f << 530.0f << "-160000,9" << false;
        QTest::newRow("125.0 is a grid line") << 125.0f << 530.0f << "none" << false;
        QTest::newRow("row grid line") << 590.0f << 562.5f << "none" << false;
        QTest::newRow("x not a number") << kNaN << 530.0f << "none" << false;
        QTest::newRow("y not a number") << 590.0f << kNaN << "none" << false;
        QTest::newRow("x infinite") << kInf << 530.0f << "none" << false;
        QTest::newRow("y minus infinite") << 590.0f << -kInf << "none" << false;
    }

    void cellUnderThePointer()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, cell);
        QFETCH(bool, onBoard);

        const auto found = cellAt(x, y);
        QCOMPARE(found ? QStringLiteral("%1,%2").arg(found->column).arg(found->row) : "none", cell);
        QCOMPARE(found && found->onBoard(), onBoard);
    }

    void playerTurn_data()
    {
        QTest::addColumn<QStringList>("board");
        QTest::addColumn<int>("button"); // 0 stands for the pass command
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QString>("changes"); // placements that make the board afterwards
        QTest::addColumn<bool>("yes"); // the answer to a pass question
        QTest::addColumn<QString>("outcome"); // the window's calls | the record

        const QStringList start = startingBoardText();
        QTest::newRow("legal release: white (10, 9), black answers (10, 8)")
            << start << 1 << QPointF(590, 530) << "o@9-10,9 x@9-10,8" << false
            << "hq hq | 2: 10,9 10,8";
        QTest::newRow("cell that captures nothing")
            << start << 1 << QPointF(590, 590) << "" << false << " | 0:";
        QTest::newRow("occupied cell that would capture") << placedBoard("o@1,1 x@2-3,1",
            start) << 1 << QPointF(150, 30) << "" << false << " | 0:";
        QTest::newRow("grid line") << start << 1 << QPointF(562.5, 530) << "" << false << " | 0:";
        QTest::newRow("off the board beeps")
            << start << 1 << QPointF(-0.3, 530) << "" << false << "beep | 0:";
        QTest::newRow("right button") << start << 2 << QPointF(590, 530) << "" << false << " | 0:";
        QTest::newRow("pass, answer No")
            << start << 0 << QPointF() << "" << false << "askYesNo | 0:";
        QTest::newRow("pass, answer Yes: (0, 0), then black's (9, 7)")
            << start << 0 << QPointF() << "x@9,7-8" << true << "askYesNo hq | 2: 0,0 9,7";
        QTest::newRow("pass without a legal cell asks nothing")
            << placedBoard("x@1,1 o@2,1 o@5,5") << 0 << QPointF() << "x@2-3,1" << false
            << "hq | 2: 0,0 3,1";
    }

    void playerTurn()
    {
        QFETCH(QStringList, board);
        QFETCH(int, button);
        QFETCH(QPointF, at);
        QFETCH(QString, changes);
        QFETCH(bool, yes);
        QFETCH(QString, outcome);
        start(board);
        window.answers = {yes};
        if (button == 0)
            flow->fqyz();
        else
            flow->release(button, 0, float(at.x()), float(at.y()));

        QCOMPARE(window.calls.join(' ') + " | " + recordSummary(*flow), outcome);
        QCOMPARE(boardToText(*flow), placedBoard(changes, board));
        if (window.count("askYesNo"))
            QCOMPARE(window.questions[0].text + window.questions[0].title,
                "您至少还可以在 7, 8落子,确认放弃吗？Tavrin");
        QVERIFY(
            window.questions.isEmpty() || window.questions[0].icon == WindowServices::Icon::None);
        checkMapIsCurrent();
    }

    // Before the first game nothing answers the player; the first game asks nothing and opens
    // on the position put there at window load.
    void firstNewGame()
    {
        flow->initqizi();
        QVERIFY(putBoard(*flow, placedBoard("o@1-16,1-16")));
        flow->pd(1, 1, kWhite); // a board over by both rules
        flow->initqizi();
        flow->release(GameFlow::kLeftButton, 0, 590.0f, 530.0f);
        flow->release(GameFlow::kLeftButton, 0, -30.0f, 530.0f);
        flow->fqyz();
        QVERIFY(window.calls.isEmpty());
        flow->timecount = 9; // the counts are still those of the full board

        flow->MNrj();
        QCOMPARE(window.calls.join(' '), "startClock showStatusLabels setModeCaption hq");
        QCOMPARE(window.modeCaptions, QStringList {"   人机大战"});
        QCOMPARE(boardToText(*flow), startingBoardText());
        QCOMPARE(QPoint(flow->bqnum, flow->hqnum), QPoint(2, 2));
        QCOMPARE(flow->timecount, std::int16_t(0));
        QCOMPARE(flow->gamestarted, std::uint8_t(1));
        QCOMPARE(legalCellsText(*flow), "8,7 7,8 10,9 9,10");
    }

    void laterNewGame_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("No keeps the game") << false;
        QTest::newRow("Yes starts again, clock from 0") << true;
    }

    void laterNewGame()
    {
        QFETCH(bool, answer);
        start();
        play({10, 9});
        const QStringList played = boardToText(*flow);
        flow->timecount = 37;
        window.clearLog();
        window.answers = {answer};

        flow->MNrj();
        QCOMPARE(window.calls.join(' '), answer ? "askYesNo startClock hq2" : "askYesNo");
        QCOMPARE(window.questions[0].text, "这盘棋尚未下完，重新开始吗？");
        QCOMPARE(window.questions[0].title, "新局");
        QCOMPARE(window.questions[0].icon, WindowServices::Icon::Question);
        QCOMPARE(boardToText(*flow), answer ? startingBoardText() : played);
        QCOMPARE(recordSummary(*flow), answer ? "0:" : "2: 10,9 10,8");
        QCOMPARE(flow->timecount, std::int16_t(answer ? 0 : 37));
        checkMapIsCurrent();
    }

    void endOfGame_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QPoint>("move"); // (0, 0) is a pass
        QTest::addColumn<bool>("playAgain");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("calls");

        const QString yes = "hq askYesNo chooseSaveFile hq2";
        const QString no = "hq askYesNo chooseSaveFile endProgram";
        QTest::newRow("full board, white ahead, Yes")
            << kNearlyFull + " o@15-16,8" << QPoint(16, 16) << true << kWon << yes;
        QTest::newRow("full board, drawn, Yes")
            << kNearlyFull << QPoint(16, 16) << true << kDrawn << yes;
        QTest::newRow("full board, black ahead, No")
            << kNearlyFull + " x@1-8,9" << QPoint(16, 16) << false << kLost << no;
        QTest::newRow("full board of white alone: one result")
            << "o@1-16,1-16 x@15,16 .@16,16" << QPoint(16, 16) << true << kWon << yes;
        QTest::newRow("white wipes out black, No")
            << kWhiteWipesOut << QPoint(3, 1) << false << kWon << no;
        QTest::newRow("black wipes out white after a pass, Yes")
            << kBlackWipesOut << QPoint() << true << kLost << yes + " hq";
        QTest::newRow("black wipes out white after a pass, No")
            << kBlackWipesOut << QPoint() << false << kLost << no;
    }

    // After Yes the next game waits for the player, even when the player's own stone ended the
    // game; after No nothing at all happens any more.
    void endOfGame()
    {
        QFETCH(QString, board);
        QFETCH(QPoint, move);
        QFETCH(bool, playAgain);
        QFETCH(QString, result);
        QFETCH(QString, calls);
        start(placedBoard(board));
        flow->timecount = 77;
        window.answers = {playAgain, true, true};

        play(move);
        QCOMPARE(window.calls.join(' '), calls);
        QCOMPARE(window.questions.size(), 1);
        QCOMPARE(window.questions[0].text, result);
        QCOMPARE(window.questions[0].title, "Tavrin");
        QCOMPARE(window.questions[0].icon, WindowServices::Icon::None);
        QCOMPARE(flow->timecount, std::int16_t(77));
        QCOMPARE(flow->programEnded(), !playAgain);
        if (playAgain) {
            QCOMPARE(boardToText(*flow), startingBoardText());
            QCOMPARE(recordSummary(*flow), "0:");
            checkMapIsCurrent();
            return;
        }
        const QString ended = boardToText(*flow).join('|') + recordSummary(*flow);
        play({10, 9});
        play({});
        flow->release(GameFlow::kLeftButton, 0, -30.0f, 530.0f);
        flow->MNrj();
        QCOMPARE(boardToText(*flow).join('|') + recordSummary(*flow), ended);
        flow->pd(1, 1, kWhite); // one more end test on a finished board
        QCOMPARE(window.calls.join(' '), calls);
    }

    void saveOffer_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("fails"); // the save fails and the player is told so
        QTest::addColumn<QString>("written"); // the file that must hold the record, if any

        QTest::newRow("cancel writes nothing") << "" << false << "";
        QTest::newRow("blank name writes nothing") << "   " << false << "";
        QTest::newRow("name without a dot gets .tvr") << "game" << false << "game.tvr";
        QTest::newRow("name with a dot is kept") << "game.txt" << false << "game.txt";
        QTest::newRow("dotted folder, plain name")
            << "my.games/game" << false << "my.games/game.tvr";
        QTest::newRow("existing file is replaced") << "old" << false << "old.tvr";
        QTest::newRow("wildcard pattern writes nothing") << "*.tvr" << false << "";
        QTest::newRow("wildcard in a folder writes nothing") << "my.games/g?me" << false << "";
        QTest::newRow("unwritable target: reported, old file kept") << kTooLong << true << "";
    }

    // Relative names are resolved in a fresh folder, so a file written anywhere in it shows.
    void saveOffer()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, fails);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()) && QDir().mkdir("my.games"));
        QMap<QString, QByteArray> expected;
        for (const QString &name : {QStringLiteral("old.tvr"), kTooLong}) {
            QFile old(name);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old game\r\n") == 10);
            expected[name] = "old game\r\n";
        }
        if (!written.isEmpty())
            expected[written] = " 10  9 \r\n 10  8 \r\n 0  0 \r\n 3  1 \r\n";
        start(placedBoard(kWhiteWipesOut));
        flow->qipu[1] = {10, 9};
        flow->qipu[2] = {10, 8};
        flow->stepnum = 3; // entry 3 is a pass
        window.answers = {true};
        window.saveNames = {chosen};

        play({3, 1});
        QMap<QString, QByteArray> files;
        for (QDirIterator it(".", QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(QDir().relativeFilePath(it.next()));
            files[file.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : "?";
        }
        QCOMPARE(files, expected);
        QCOMPARE(window.saveDialogs[0].title, "保存这盘棋");
        QCOMPARE(
            window.saveDialogs[0].initialName, QCoreApplication::applicationDirPath() + "/*.tvr");
        const QString info = window.informations.isEmpty() ? "" : window.informations[0].text;
        QCOMPARE(info.section('\r', 0, 0), fails ? "无法保存文件：" + chosen : "");
        QCOMPARE(info.section('\r', 1).isEmpty(), !fails); // the reason follows
        QCOMPARE(window.calls.last(), "hq2");
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
    }

    void recordLimit_data()
    {
        QTest::addColumn<bool>("pass"); // a pass where white cannot move, else white at (10, 9)
        QTest::addColumn<int>("stepnum"); // before the exchange
        QTest::addColumn<QString>("added"); // the entries the exchange writes

        QTest::newRow("move takes the last entry, answer unrecorded") << false << 255 << " 10,9";
        QTest::newRow("move on a full record") << false << 256 << "";
        QTest::newRow("pass with room for both") << true << 254 << " 0,0 3,1";
        QTest::newRow("pass takes the last entry") << true << 255 << " 0,0";
        QTest::newRow("pass on a full record") << true << 256 << "";
    }

    // The record stops at 256 entries, nothing written is overwritten, and black still answers.
    void recordLimit()
    {
        QFETCH(bool, pass);
        QFETCH(int, stepnum);
        QFETCH(QString, added);
        start(pass ? placedBoard("x@1,1 o@2,1 o@5,5") : startingBoardText());
        QString record = "256:";
        for (int i = 1; i <= stepnum; ++i) {
            flow->qipu[i] = {std::int16_t(i % 16 + 1), 16}; // a mark no turn here writes
            record += QStringLiteral(" %1,16").arg(i % 16 + 1);
        }
        flow->stepnum = std::int16_t(stepnum);

        play(pass ? QPoint() : QPoint(10, 9));
        QCOMPARE(recordSummary(*flow), record + added);
        QCOMPARE(pass ? flow->qizi[3][1] : flow->qizi[10][8], kBlack);
        QCOMPARE(window.calls.last(), "hq");
    }
};

QTEST_GUILESS_MAIN(GameFlowTest)
#include "tst_game_flow.moc"
