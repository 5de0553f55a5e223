// A whole game played through the window, from F2 to the saved record and the end of the
// program: white always takes the first legal cell of the map (column by column), or passes.
#include "board_text.h"
#include "ui_test_support.h"

#include <QAction>
#include <QFile>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

struct Move
{
    int x = 0;
    int y = 0;
};

// The record file's line for one turn: each number with a blank before and after it.
QByteArray recordLine(const Move &move)
{
    return " " + QByteArray::number(move.x) + "  " + QByteArray::number(move.y) + " \r\n";
}

int countStones(const GameState &state, std::int16_t side)
{
    int count = 0;
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            count += state.qizi[x][y] == side ? 1 : 0;
        }
    }
    return count;
}

// The first cell the legal-move map allows, column by column, or (0, 0).
Move firstLegalCell(const GameState &state)
{
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            if (state.kyxq[x][y] == kLegal) {
                return {x, y};
            }
        }
    }
    return {};
}

// The cell where black placed a stone during an exchange, or (0, 0) when it placed none. White's
// own new stone may have been captured by then, so its cell is left out.
Move newBlackStone(const QStringList &before, const GameState &after, const Move &white)
{
    for (int y = 1; y <= 16; ++y) {
        for (int x = 1; x <= 16; ++x) {
            if (before.at(y - 1).at(x - 1) == QLatin1Char(kEmptyChar) && after.qizi[x][y] == kBlack
                && (x != white.x || y != white.y)) {
                return {x, y};
            }
        }
    }
    return {};
}

} // namespace

class WholeGameTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void gameEndsSavesItsRecordAndEndsTheProgram();

private:
    // Plays until the program ends; records every turn as the board shows it.
    void play(BeepCountingWindow &window);

    PrivateRuntimeFolder runtime_;
    QTemporaryDir folder_;
    QList<Move> turns_;
    int exchanges_ = 0;
};

void WholeGameTest::initTestCase()
{
    xq::setNativeFileDialogsAllowed(false);
    QVERIFY(folder_.isValid());
}

void WholeGameTest::play(BeepCountingWindow &window)
{
    auto *board = window.findChild<BoardSurface *>(QStringLiteral("qp"));
    auto *pass = window.findChild<QAction *>(QStringLiteral("fqyz"));
    QTest::keyClick(&window, Qt::Key_F2);
    if (window.flow().gamestarted != 1) {
        window.findChild<QAction *>(QStringLiteral("MNrj"))->trigger();
    }
    constexpr int kMostExchanges = 400;
    while (!window.flow().programEnded() && exchanges_ < kMostExchanges) {
        ++exchanges_;
        const QStringList before = boardToText(window.flow());
        const Move white = firstLegalCell(window.flow());
        if (white.x != 0) {
            QTest::mouseClick(
                board, Qt::LeftButton, {}, cellCentre(white.x, white.y, board->width()).toPoint());
        } else {
            pass->trigger();
        }
        turns_ << white;
        const Move black = newBlackStone(before, window.flow(), white);
        // A game ends only on a stone; when white's stone ended it, black never moved.
        if (black.x != 0 || !window.flow().programEnded()) {
            turns_ << black;
        }
    }
}

void WholeGameTest::gameEndsSavesItsRecordAndEndsTheProgram()
{
    BeepCountingWindow window;
    QVERIFY(loadWindow(window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    SeenBox result;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::No, &result));
    const QString chosen = folder_.filePath(QStringLiteral("whole-game"));
    answerer.add(saveAs(chosen));

    QTimer::singleShot(0, this, [&] { play(window); });
    QTimer::singleShot(60000, [] { QCoreApplication::exit(99); }); // a hang fails, not blocks
    QCOMPARE(QCoreApplication::exec(), 0);

    QVERIFY(window.flow().programEnded());
    QVERIFY(!window.isVisible());
    QCOMPARE(window.beeps, 0);
    QCOMPARE(answerer.unexpected(), 0);
    QVERIFY(answerer.allAnswered());

    const int white = countStones(window.flow(), kWhite);
    const int black = countStones(window.flow(), kBlack);
    QVERIFY(white + black == 256 || white == 0 || black == 0);
    const QString expectedResult = white > black ? QStringLiteral("Congratulations , 重新来一盘？")
        : white < black                          ? QStringLiteral("Bad luck , 重新来一盘？")
                        : QStringLiteral("Not too bad , 重新来一盘？");
    QCOMPARE(result.text, expectedResult);
    QCOMPARE(result.title, QStringLiteral("Tavrin"));

    QVERIFY2(turns_.size() <= 256, "the game outgrew the record");
    QByteArray expected;
    for (const Move &turn : turns_) {
        expected += recordLine(turn);
    }
    qInfo("%d exchanges, %d white and %d black stones", exchanges_, white, black);
    QFile saved(chosen + QStringLiteral(".tvr"));
    QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.fileName()));
    QCOMPARE(saved.readAll(), expected);
}

QTEST_MAIN(WholeGameTest)
#include "tst_whole_game.moc"
