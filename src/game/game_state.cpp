#include "game/game_state.h"

#include "game/rays.h"

namespace tavrin {

namespace {

// Opponent stones between (x, y) and the nearest stone of `side` along `ray`. A ray that meets
// an empty cell or leaves the board first captures nothing. The cell (x, y) itself is not read.
int capturedAlong(const BoardCells &board, int x, int y, Direction ray, std::int16_t side)
{
    if (!isBoardCell(x, y))
        return 0;
    for (int d = 1;; ++d) {
        const int cx = x + d * ray.dx;
        const int cy = y + d * ray.dy;
        if (!isBoardCell(cx, cy))
            return 0;
        const std::int16_t cell = board[cx][cy];
        if (cell == kEmpty)
            return 0;
        if (cell == side)
            return d - 1;
    }
}

} // namespace

void GameState::placeStartingStones()
{
    for (auto &column : board)
        for (auto &cell : column)
            cell = kEmpty;

    constexpr int low = kBoardSize / 2; // the central 2 x 2 square is low..low + 1
    board[low][low] = kBlack;
    board[low + 1][low + 1] = kBlack;
    board[low + 1][low] = kWhite;
    board[low][low + 1] = kWhite;

    for (auto &entry : record)
        entry = RecordEntry {};
    lastEntry = 0;
}

std::uint8_t GameState::capturesAt(std::int16_t x, std::int16_t y, std::int16_t side) const
{
    int count = 0;
    for (const Direction ray : kRays)
        count += capturedAlong(board, x, y, ray, side);
    // At most 14 stones per ray and far fewer over all eight, so the count fits.
    return static_cast<std::uint8_t>(count);
}

void GameState::playStone(std::int16_t x, std::int16_t y, std::int16_t side)
{
    // The eight rays share no cell, so turning one over never changes what a later one sees.
    for (const Direction ray : kRays) {
        const int captured = capturedAlong(board, x, y, ray, side);
        for (int d = 1; d <= captured; ++d)
            board[x + d * ray.dx][y + d * ray.dy] = side;
    }

    whiteCount = 0;
    blackCount = 0;
    for (int cx = 1; cx <= kBoardSize; ++cx) {
        for (int cy = 1; cy <= kBoardSize; ++cy) {
            if (board[cx][cy] == kWhite)
                ++whiteCount;
            else if (board[cx][cy] == kBlack)
                ++blackCount;
        }
    }

    if (whiteCount + blackCount == kBoardSize * kBoardSize)
        ended();
    // ended() may already have started the next game, so the counts are read afresh here.
    if (whiteCount == 0 || blackCount == 0)
        ended();
}

void GameState::markPlayable(std::int16_t side)
{
    // The map is the legality rule (an empty cell where capturesAt is non-zero) over all 256 cells;
    // the framed copy answers it without counting every ray to its end.
    const FramedBoard framed(board);
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            playable[x][y]
                = (board[x][y] == kEmpty && framed.captures(x, y, side)) ? kLegal : kIllegal;
}

} // namespace tavrin
