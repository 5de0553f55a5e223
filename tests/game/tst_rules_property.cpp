#include "board_text.h"
#include "game_state.h"

#include <QTest>
#include <random>

using namespace tavrin;

namespace {

constexpr int kPositions = 3000;
constexpr std::uint32_t kSeed = 0x7A5B1u;

// A random position whose share of empty cells runs from none to all over the positions, so
// that crowded boards with long lines and sparse ones with short lines both occur.
GameState randomPosition(std::mt19937 &rng, int index)
{
    const std::uint32_t emptyPerMille = std::uint32_t(1000 * index / (kPositions - 1));
    GameState state;
    for (int x = 1; x <= kBoardSize; ++x) {
        for (int y = 1; y <= kBoardSize; ++y) {
            if (rng() % 1000 < emptyPerMille)
                state.qizi[x][y] = kEmpty;
            else
                state.qizi[x][y] = rng() % 2 == 0 ? kWhite : kBlack;
        }
    }
    return state;
}

bool onBoard(int x, int y)
{
    return x >= 1 && x <= kBoardSize && y >= 1 && y <= kBoardSize;
}

// The capture rule stated plainly: in each of the eight directions, a run of opponent stones
// counts when a stone of the side closes it.
int referenceCount(const GameState &state, int x, int y, std::int16_t side)
{
    int total = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0)
                continue;
            int run = 0;
            int cx = x + dx;
            int cy = y + dy;
            while (onBoard(cx, cy) && state.qizi[cx][cy] != kEmpty && state.qizi[cx][cy] != side) {
                ++run;
                cx += dx;
                cy += dy;
            }
            if (onBoard(cx, cy) && state.qizi[cx][cy] == side)
                total += run;
        }
    }
    return total;
}

QString describe(const GameState &state, int position, int x, int y, int side)
{
    return QStringLiteral("position %1, cell (%2, %3), side %4:\n%5")
        .arg(position)
        .arg(x)
        .arg(y)
        .arg(side)
        .arg(tavrin::test::boardToText(state).join(QLatin1Char('\n')));
}

constexpr std::int16_t kSides[] = {kWhite, kBlack};

} // namespace

class TestRulesProperty : public QObject
{
    Q_OBJECT

private slots:
    void dfpd_equalsReferenceCount();
    void pd_turnsOverExactlyWhatDfpdCounts();
    void pdkyxq_marksExactlyTheLegalCells();
};

void TestRulesProperty::dfpd_equalsReferenceCount()
{
    std::mt19937 rng(kSeed);
    for (int position = 0; position < kPositions; ++position) {
        const GameState state = randomPosition(rng, position);
        for (int x = 1; x <= kBoardSize; ++x) {
            for (int y = 1; y <= kBoardSize; ++y) {
                for (const std::int16_t side : kSides) {
                    const int counted = state.dfpd(std::int16_t(x), std::int16_t(y), side);
                    const int expected = referenceCount(state, x, y, side);
                    if (counted != expected)
                        QFAIL(qPrintable(describe(state, position, x, y, side)
                            + QStringLiteral("\ndfpd %1, reference %2")
                                  .arg(counted)
                                  .arg(expected)));
                }
            }
        }
    }
}

void TestRulesProperty::pd_turnsOverExactlyWhatDfpdCounts()
{
    std::mt19937 rng(kSeed);
    for (int position = 0; position < kPositions; ++position) {
        const GameState before = randomPosition(rng, position);
        for (int x = 1; x <= kBoardSize; ++x) {
            for (int y = 1; y <= kBoardSize; ++y) {
                for (const std::int16_t side : kSides) {
                    GameState played = before;
                    if (played.qizi[x][y] == kEmpty)
                        played.qizi[x][y] = side;
                    const int counted = played.dfpd(std::int16_t(x), std::int16_t(y), side);

                    played.pd(std::int16_t(x), std::int16_t(y), side);

                    int turned = 0;
                    int whites = 0;
                    int blacks = 0;
                    bool sound = true;
                    for (int cx = 0; cx <= kBoardSize; ++cx) {
                        for (int cy = 0; cy <= kBoardSize; ++cy) {
                            const std::int16_t was = before.qizi[cx][cy];
                            const std::int16_t now = played.qizi[cx][cy];
                            whites += onBoard(cx, cy) && now == kWhite ? 1 : 0;
                            blacks += onBoard(cx, cy) && now == kBlack ? 1 : 0;
                            if (was == now || (cx == x && cy == y))
                                continue;
                            // Only an opponent stone may change, and only to the side's code.
                            sound = sound && onBoard(cx, cy) && was != kEmpty && now == side;
                            ++turned;
                        }
                    }
                    if (!sound || turned != counted || played.bqnum != whites
                        || played.hqnum != blacks)
                        QFAIL(qPrintable(describe(before, position, x, y, side)
                            + QStringLiteral("\nturned %1 (sound %2), dfpd %3, counts %4/%5, "
                                             "recount %6/%7")
                                  .arg(turned)
                                  .arg(sound)
                                  .arg(counted)
                                  .arg(played.bqnum)
                                  .arg(played.hqnum)
                                  .arg(whites)
                                  .arg(blacks)));
                }
            }
        }
    }
}

void TestRulesProperty::pdkyxq_marksExactlyTheLegalCells()
{
    std::mt19937 rng(kSeed);
    for (int position = 0; position < kPositions; ++position) {
        GameState state = randomPosition(rng, position);
        for (const std::int16_t side : kSides) {
            state.pdkyxq(side);
            for (int x = 1; x <= kBoardSize; ++x) {
                for (int y = 1; y <= kBoardSize; ++y) {
                    const bool legal
                        = state.qizi[x][y] == kEmpty && referenceCount(state, x, y, side) > 0;
                    if (state.kyxq[x][y] != (legal ? kLegal : kIllegal))
                        QFAIL(qPrintable(describe(state, position, x, y, side)));
                }
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestRulesProperty)
#include "tst_rules_property.moc"
