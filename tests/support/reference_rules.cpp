#include "reference_rules.h"

namespace tavrin::test {

int referencePlay(GameState &state, int x, int y, int side)
{
    // The cell `d` steps from (x, y) along (dx, dy); -1 off the board.
    const auto at = [&](int d, int dx, int dy) {
        const int cx = x + d * dx, cy = y + d * dy;
        return cx >= 1 && cx <= kBoardSize && cy >= 1 && cy <= kBoardSize ? state.board[cx][cy]
                                                                          : -1;
    };
    int total = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            int run = 1;
            while ((dx || dy) && at(run, dx, dy) == 3 - side)
                ++run;
            if ((dx || dy) && at(run, dx, dy) == side)
                for (total += run - 1; --run > 0;)
                    state.board[x + run * dx][y + run * dy] = std::int16_t(side);
        }
    state.board[x][y] = std::int16_t(side);
    state.whiteCount = state.blackCount = 0;
    for (int cx = 1; cx <= kBoardSize; ++cx)
        for (int cy = 1; cy <= kBoardSize; ++cy)
            (state.board[cx][cy] == kWhite ? state.whiteCount : state.blackCount)
                += state.board[cx][cy] != 0;
    return total;
}

int referenceCaptures(const GameState &state, int x, int y, int side)
{
    if (x < 1 || x > kBoardSize || y < 1 || y > kBoardSize || state.board[x][y] != kEmpty)
        return 0;
    GameState trial = state;
    return referencePlay(trial, x, y, side);
}

} // namespace tavrin::test
