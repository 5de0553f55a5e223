#include "reference_rules.h"

namespace tavrin::test {

namespace {

bool onBoard(int x, int y)
{
    return x >= 1 && x <= kBoardSize && y >= 1 && y <= kBoardSize;
}

} // namespace

int referencePlay(GameState &state, int x, int y, int side)
{
    int total = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const auto at = [&](int d) {
                return onBoard(x + d * dx, y + d * dy) ? state.qizi[x + d * dx][y + d * dy] : -1;
            };
            int run = 1;
            while ((dx || dy) && at(run) == 3 - side)
                ++run;
            if ((dx || dy) && at(run) == side)
                for (total += run - 1; --run > 0;)
                    state.qizi[x + run * dx][y + run * dy] = std::int16_t(side);
        }
    state.qizi[x][y] = std::int16_t(side);
    state.bqnum = state.hqnum = 0;
    for (int cx = 1; cx <= kBoardSize; ++cx)
        for (int cy = 1; cy <= kBoardSize; ++cy)
            (state.qizi[cx][cy] == kWhite ? state.bqnum : state.hqnum) += state.qizi[cx][cy] != 0;
    return total;
}

int referenceCaptures(const GameState &state, int x, int y, int side)
{
    if (!onBoard(x, y) || state.qizi[x][y] != kEmpty)
        return 0;
    GameState trial = state;
    return referencePlay(trial, x, y, side);
}

} // namespace tavrin::test
