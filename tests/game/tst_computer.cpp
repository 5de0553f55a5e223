#include "board_text.h"
#include "game_state.h"

#include <QPoint>
#include <QTest>

using namespace tavrin;
using tavrin::test::boardFromText;
using tavrin::test::boardToText;
using tavrin::test::startingBoardText;

namespace {

const QString kEmptyRow = QStringLiteral("................");

QPoint entryAt(const GameState &state, int index)
{
    return QPoint(state.qipu[index].x, state.qipu[index].y);
}

// Stones of `code` on the board, counted here rather than trusted from the counts.
int stonesOf(const GameState &state, std::int16_t code)
{
    int stones = 0;
    for (int x = 1; x <= kBoardSize; ++x)
        for (int y = 1; y <= kBoardSize; ++y)
            stones += state.qizi[x][y] == code ? 1 : 0;
    return stones;
}

// Remembers what the board and the record held when a game ended.
class EndWatcher : public GameState
{
public:
    int calls = 0;
    std::int16_t cellSeen = -1; // code of `watched` during the first call
    QPoint entrySeen; // the record entry at stepnum during the first call
    QPoint watched;

protected:
    void ended() override
    {
        if (calls++ == 0) {
            cellSeen = qizi[watched.x()][watched.y()];
            entrySeen = entryAt(*this, stepnum);
        }
    }
};

} // namespace

class TestComputer : public QObject
{
    Q_OBJECT

private slots:
    void dfxq_answersTheOpeningExchange();
    void dfxq_choosesByPriority_data();
    void dfxq_choosesByPriority();
    void dfxq_passesSilentlyWithoutLegalCell_data();
    void dfxq_passesSilentlyWithoutLegalCell();
    void dfxq_placesStoneAndEntryBeforeTheGameEnds();
    void dfxq_withoutRecordWritesNoEntry();
    void dfxq_writesOnlyEntriesWithinTheRecord_data();
    void dfxq_writesOnlyEntriesWithinTheRecord();
};

void TestComputer::dfxq_answersTheOpeningExchange()
{
    GameState state;
    state.initqizi();
    state.pd(1, 1, kWhite);

    // The player's half of the exchange, as the game flow plays it.
    state.qizi[10][9] = kWhite;
    state.stepnum = 1;
    state.qipu[1] = {10, 9};
    state.pd(10, 9, kWhite);
    state.stepnum = 2;

    QCOMPARE(int(state.dfpd(10, 8, kBlack)), 1);
    QCOMPARE(int(state.dfpd(8, 10, kBlack)), 1);
    QCOMPARE(int(state.dfpd(10, 10, kBlack)), 1);

    state.dfxq();

    QStringList expected = startingBoardText();
    expected[7] = ".......xxx......";
    expected[8] = ".......ooo......";
    QCOMPARE(boardToText(state), expected);
    QCOMPARE(entryAt(state, 1), QPoint(10, 9));
    QCOMPARE(entryAt(state, 2), QPoint(10, 8));
    QCOMPARE(state.stepnum, std::int16_t(2));
    QCOMPARE(state.bqnum, std::int16_t(3));
    QCOMPARE(state.hqnum, std::int16_t(3));
}

void TestComputer::dfxq_choosesByPriority_data()
{
    QTest::addColumn<QStringList>("board");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");

    QTest::newRow("all four corners legal: (1, 1) first") << QStringList {
        ".ox..........xo.",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".ox..........xo.",
    } << 1 << 1;
    QTest::newRow("(1, 16) before (16, 1)") << QStringList {
        ".............xo.",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".ox.............",
    } << 1 << 16;
    QTest::newRow("(16, 1) before (16, 16)") << QStringList {
        ".............xo.",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".............xo.",
    } << 16 << 1;
    QTest::newRow("(16, 16) alone") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".............xo.",
    } << 16 << 16;
    QTest::newRow("corner capturing one beats interior capturing ten") << QStringList {
        ".ox.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "xoooooooooo.....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 1 << 1;
    QTest::newRow("corner beats an earlier edge cell") << QStringList {
        "..ox............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".............xo.",
    } << 16 << 16;
    QTest::newRow("(2, 1) at i = 2 before (3, 16) at i = 3") << QStringList {
        "..ox............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "...ox...........",
    } << 2 << 1;
    QTest::newRow("(2, 16) at i = 2 before (3, 1) at i = 3") << QStringList {
        "...ox...........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "..ox............",
    } << 2 << 16;
    QTest::newRow("top (5, 1) before left (1, 5) at the same i") << QStringList {
        ".....ox.........",
        "................",
        "................",
        "................",
        ".ox.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 5 << 1;
    QTest::newRow("left (1, 3) at i = 3 before top (5, 1) at i = 5") << QStringList {
        ".....ox.........",
        "................",
        ".ox.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 1 << 3;
    QTest::newRow("bottom (4, 16) before left (1, 4) at the same i") << QStringList {
        "................",
        "................",
        "................",
        ".ox.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "....ox..........",
    } << 4 << 16;
    QTest::newRow("left (1, 6) before right (16, 6) at the same i") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "................",
        ".ox..........xo.",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 1 << 6;
    QTest::newRow("right (16, 2) at i = 2 before left (1, 4) at i = 4") << QStringList {
        "................",
        ".............xo.",
        "................",
        ".ox.............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 16 << 2;
    QTest::newRow("first edge cell, not the one capturing most") << QStringList {
        "...ox...........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        ".ooooox.........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 3 << 1;
    QTest::newRow("edge capturing one beats interior capturing ten") << QStringList {
        ".....ox.........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "xoooooooooo.....",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 5 << 1;
    QTest::newRow("interior: lower row wins a tie over lower column") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "..........ox....",
        "................",
        "................",
        "....ox..........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 10 << 5;
    QTest::newRow("interior: lower column wins a tie in the same row") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "................",
        "....ox.....ox...",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 4 << 6;
    QTest::newRow("interior: larger count later in the scan wins") << QStringList {
        "................",
        "................",
        "................",
        "....ox..........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "..........oox...",
        "................",
        "................",
        "................",
        "................",
    } << 10 << 12;
    QTest::newRow("interior: (2, 2) is scanned") << QStringList {
        "................",
        "..ox............",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 2 << 2;
    QTest::newRow("interior: (15, 15) is scanned") << QStringList {
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
        "............xo..",
        "................",
    } << 15 << 15;
    QTest::newRow("interior: occupied cell never chosen") << QStringList {
        "................",
        "................",
        "................",
        "................",
        ".xoooooooooooooo",
        "................",
        "................",
        "................",
        "................",
        "...ox...........",
        "................",
        "................",
        "................",
        "................",
        "................",
        "................",
    } << 3 << 10;
}

void TestComputer::dfxq_choosesByPriority()
{
    QFETCH(QStringList, board);
    QFETCH(int, x);
    QFETCH(int, y);

    GameState state = boardFromText(board);
    state.stepnum = 2;
    state.bqnum = -1;
    state.hqnum = -1;

    state.dfxq();

    QCOMPARE(entryAt(state, 2), QPoint(x, y));
    QCOMPARE(state.qizi[x][y], kBlack);
    QCOMPARE(state.stepnum, std::int16_t(2));
    // The chosen move was played through the recount.
    QCOMPARE(int(state.bqnum), stonesOf(state, kWhite));
    QCOMPARE(int(state.hqnum), stonesOf(state, kBlack));
}

void TestComputer::dfxq_passesSilentlyWithoutLegalCell_data()
{
    QTest::addColumn<QStringList>("board");

    QTest::newRow("empty board") << QStringList(kBoardSize, kEmptyRow);
    QStringList whiteOnly(kBoardSize, kEmptyRow);
    whiteOnly[7] = ".......oo.......";
    whiteOnly[8] = ".......oo.......";
    QTest::newRow("white stones only") << whiteOnly;
    QStringList noCapture(kBoardSize, kEmptyRow);
    noCapture[0] = "ox..............";
    QTest::newRow("both sides, nothing to capture") << noCapture;
    QTest::newRow("full board") << QStringList(kBoardSize, QStringLiteral("oxoxoxoxoxoxoxox"));
}

void TestComputer::dfxq_passesSilentlyWithoutLegalCell()
{
    QFETCH(QStringList, board);

    GameState state = boardFromText(board);
    for (int i = 1; i <= 5; ++i)
        state.qipu[i] = {std::int16_t(i), std::int16_t(i + 1)};
    state.stepnum = 6;
    state.bqnum = 77; // a recount would change these
    state.hqnum = 88;

    state.dfxq();

    QCOMPARE(boardToText(state), board);
    QCOMPARE(state.bqnum, std::int16_t(77));
    QCOMPARE(state.hqnum, std::int16_t(88));
    QCOMPARE(state.stepnum, std::int16_t(6));
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(entryAt(state, i), QPoint(i, i + 1));
    for (int i = 6; i <= kRecordCapacity; ++i)
        QCOMPARE(entryAt(state, i), QPoint(0, 0));
}

void TestComputer::dfxq_placesStoneAndEntryBeforeTheGameEnds()
{
    EndWatcher state;
    QStringList board(kBoardSize, QStringLiteral("oooooooooooooooo"));
    board[0] = ".oxooooooooooooo"; // (1, 1) is the last empty cell and legal for black
    QVERIFY(tavrin::test::putBoard(state, board));
    state.stepnum = 252;
    state.watched = QPoint(1, 1);

    state.dfxq();

    QCOMPARE(state.calls, 1);
    QCOMPARE(state.cellSeen, kBlack);
    QCOMPARE(state.entrySeen, QPoint(1, 1));
    QCOMPARE(state.bqnum, std::int16_t(253));
    QCOMPARE(state.hqnum, std::int16_t(3));
}

void TestComputer::dfxq_withoutRecordWritesNoEntry()
{
    GameState state = boardFromText(startingBoardText());
    state.stepnum = 2;

    state.dfxq(false);

    QCOMPARE(state.qizi[9][7], kBlack); // the first legal cell of the interior scan
    QCOMPARE(state.stepnum, std::int16_t(2));
    for (int i = 0; i <= kRecordCapacity; ++i)
        QCOMPARE(entryAt(state, i), QPoint(0, 0));
}

void TestComputer::dfxq_writesOnlyEntriesWithinTheRecord_data()
{
    QTest::addColumn<int>("stepnum");
    QTest::addColumn<bool>("written");

    QTest::newRow("first entry") << 1 << true;
    QTest::newRow("last entry") << 256 << true;
    QTest::newRow("unused entry 0") << 0 << false;
    QTest::newRow("just before the record") << -1 << false;
    QTest::newRow("just past the record") << 257 << false;
    QTest::newRow("two past the record") << 258 << false;
    QTest::newRow("far past the record") << 1000 << false;
    QTest::newRow("far before the record") << -300 << false;
}

// Entries outside the record would land on the neighbouring fields, so those must stay as they
// were too.
void TestComputer::dfxq_writesOnlyEntriesWithinTheRecord()
{
    QFETCH(int, stepnum);
    QFETCH(bool, written);

    GameState state = boardFromText(startingBoardText());
    for (auto &entry : state.qipu)
        entry = {3, 3};
    for (auto &column : state.kyxq)
        for (auto &cell : column)
            cell = kLegal;
    state.stepnum = std::int16_t(stepnum);
    state.timecount = 42;
    state.gamestarted = 1;

    state.dfxq();

    QCOMPARE(state.qizi[9][7], kBlack);
    QCOMPARE(int(state.stepnum), stepnum);
    for (int i = 0; i <= kRecordCapacity; ++i) {
        const bool chosenEntry = written && i == stepnum;
        QCOMPARE(entryAt(state, i), chosenEntry ? QPoint(9, 7) : QPoint(3, 3));
    }
    for (const auto &column : state.kyxq)
        for (const auto cell : column)
            QCOMPARE(cell, kLegal);
    QCOMPARE(state.timecount, std::int16_t(42));
    QCOMPARE(state.gamestarted, std::uint8_t(1));
    QCOMPARE(state.bqnum, std::int16_t(1));
    QCOMPARE(state.hqnum, std::int16_t(4));
}

QTEST_APPLESS_MAIN(TestComputer)
#include "tst_computer.moc"
