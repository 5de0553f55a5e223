#include "board_geometry.h"

#include <QTest>
#include <limits>

using tavrin::cellAt;

class BoardGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void pointInsideACellGivesItsColumnAndRow_data();
    void pointInsideACellGivesItsColumnAndRow();
    void pointOnAGridLineOrNotANumberIsIgnored_data();
    void pointOnAGridLineOrNotANumberIsIgnored();
    void hugeCoordinatesStayOffTheBoard_data();
    void hugeCoordinatesStayOffTheBoard();
};

void BoardGeometryTest::pointInsideACellGivesItsColumnAndRow_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<long long>("column");
    QTest::addColumn<long long>("row");
    QTest::addColumn<bool>("onBoard");

    QTest::newRow("worked example (10, 9)") << 590.0f << 530.0f << 10LL << 9LL << true;
    QTest::newRow("just past two cells is column 3") << 125.1f << 530.0f << 3LL << 9LL << true;
    QTest::newRow("near the left border is column 1") << 0.4f << 530.0f << 1LL << 9LL << true;
    QTest::newRow("near the bottom border is row 16") << 590.0f << 999.9f << 10LL << 16LL << true;
    QTest::newRow("left of the board is column 0") << -0.3f << 530.0f << 0LL << 9LL << false;
    QTest::newRow("above the board by a cell is row -1")
        << 590.0f << -70.0f << 10LL << -1LL << false;
    QTest::newRow("right of the board is column 17") << 1010.0f << 530.0f << 17LL << 9LL << false;
}

void BoardGeometryTest::pointInsideACellGivesItsColumnAndRow()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(long long, column);
    QFETCH(long long, row);
    QFETCH(bool, onBoard);

    const auto cell = cellAt(x, y);
    QVERIFY(cell.has_value());
    QCOMPARE(cell->column, column);
    QCOMPARE(cell->row, row);
    QCOMPARE(cell->onBoard(), onBoard);
}

void BoardGeometryTest::pointOnAGridLineOrNotANumberIsIgnored_data()
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");

    QTest::newRow("X exactly two cells") << 125.0f << 530.0f;
    QTest::newRow("X on the worked example's line 625") << 625.0f << 530.0f;
    QTest::newRow("Y on a grid line") << 590.0f << 562.5f;
    QTest::newRow("left border") << 0.0f << 530.0f;
    QTest::newRow("top border") << 590.0f << 0.0f;
    QTest::newRow("right border 1000") << 1000.0f << 530.0f;
    QTest::newRow("negative grid line") << -62.5f << 530.0f;
    QTest::newRow("X not a number") << nan << 530.0f;
    QTest::newRow("Y not a number") << 590.0f << nan;
    QTest::newRow("X infinite") << inf << 530.0f;
    QTest::newRow("Y minus infinite") << 590.0f << -inf;
}

void BoardGeometryTest::pointOnAGridLineOrNotANumberIsIgnored()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QVERIFY(!cellAt(x, y).has_value());
}

void BoardGeometryTest::hugeCoordinatesStayOffTheBoard_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<bool>("beyondRight");

    QTest::newRow("largest float") << std::numeric_limits<float>::max() << true;
    QTest::newRow("lowest float") << std::numeric_limits<float>::lowest() << false;
    QTest::newRow("1e30") << 1.0e30f << true;
    QTest::newRow("minus 1e30") << -1.0e30f << false;
    QTest::newRow("ten million and a half cell") << 10000031.0f << true;
    QTest::newRow("minus ten million and a half cell") << -10000031.0f << false;
}

void BoardGeometryTest::hugeCoordinatesStayOffTheBoard()
{
    QFETCH(float, x);
    QFETCH(bool, beyondRight);

    // At these magnitudes most quotients are whole numbers and so are ignored as grid lines;
    // whatever comes back must never be a board cell, nor wrap round to the other side.
    const auto cell = cellAt(x, 530.0f);
    QVERIFY(!cell || !cell->onBoard());
    if (cell)
        QVERIFY(beyondRight ? cell->column > 16 : cell->column < 1);
}

QTEST_APPLESS_MAIN(BoardGeometryTest)
#include "tst_board_geometry.moc"
