#include "board_text.h"
#include "game_state.h"

#include <QTest>

using namespace tavrin;
using tavrin::test::boardToText;
using tavrin::test::putBoard;

class TestBoardText : public QObject
{
    Q_OBJECT

private slots:
    void putBoard_placesCellsByColumnAndRow();
    void putBoard_rejectsMalformedText_data();
    void putBoard_rejectsMalformedText();
    void boardToText_marksUnknownCodes();
};

void TestBoardText::putBoard_placesCellsByColumnAndRow()
{
    QStringList rows(kBoardSize, QStringLiteral("................"));
    rows[0] = "o..............x"; // (1, 1) white, (16, 1) black
    rows[15] = "x..............."; // (1, 16) black
    rows[2] = "....o..........."; // (5, 3) white

    GameState state;
    state.qizi[0][4] = kBlack;
    state.qizi[7][0] = kWhite;
    state.bqnum = 9;
    QVERIFY(putBoard(state, rows));

    QCOMPARE(state.qizi[1][1], kWhite);
    QCOMPARE(state.qizi[16][1], kBlack);
    QCOMPARE(state.qizi[1][16], kBlack);
    QCOMPARE(state.qizi[5][3], kWhite);
    QCOMPARE(state.qizi[3][5], kEmpty);
    QCOMPARE(state.qizi[0][4], kEmpty);
    QCOMPARE(state.qizi[7][0], kEmpty);
    QCOMPARE(state.bqnum, std::int16_t(9));
    QCOMPARE(boardToText(state), rows);
}

void TestBoardText::putBoard_rejectsMalformedText_data()
{
    QTest::addColumn<QStringList>("rows");

    const QStringList good(kBoardSize, QStringLiteral("................"));
    QTest::newRow("fifteen rows") << good.mid(1);
    QTest::newRow("seventeen rows") << good + QStringList {good.first()};
    QStringList shortRow = good;
    shortRow[4].chop(1);
    QTest::newRow("row of fifteen cells") << shortRow;
    QStringList badChar = good;
    badChar[4][4] = QLatin1Char('O');
    QTest::newRow("unknown cell character") << badChar;
}

void TestBoardText::putBoard_rejectsMalformedText()
{
    QFETCH(QStringList, rows);

    GameState state;
    state.initqizi();
    QVERIFY(!putBoard(state, rows));
    QCOMPARE(boardToText(state), tavrin::test::startingBoardText());
}

void TestBoardText::boardToText_marksUnknownCodes()
{
    GameState state;
    state.qizi[2][1] = 7;
    QCOMPARE(boardToText(state).first(), QStringLiteral(".?.............."));
}

QTEST_APPLESS_MAIN(TestBoardText)
#include "tst_board_text.moc"
