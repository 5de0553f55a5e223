#pragma once

// Pieces of the capture rule shared by the rule operations and the computer's choice.

#include "game/game_state.h"

namespace tavrin {

// The board array as GameState holds it.
using BoardCells = std::int16_t[kBoardSize + 1][kBoardSize + 1];

// One step along a ray.
struct Direction
{
    int dx;
    int dy;
};

// The eight rays in the order both the count and the turning over walk them.
inline constexpr Direction kRays[] = {
    {0, -1}, // up
    {-1, 0}, // left
    {0, 1}, // down
    {1, 0}, // right
    {1, 1}, // down-right
    {-1, -1}, // up-left
    {1, -1}, // up-right
    {-1, 1}, // down-left
};

constexpr bool isBoardCell(int x, int y)
{
    return x >= 1 && x <= kBoardSize && y >= 1 && y <= kBoardSize;
}

// A copy of the board inside a frame of off-board cells, so that a ray stops at the frame
// without testing its coordinates at every step. For work that examines many cells of one
// position: the legal-move map and the computer's search.
class FramedBoard
{
public:
    explicit FramedBoard(const BoardCells &board)
    {
        for (int x = 0; x <= kBoardSize + 1; ++x)
            for (int y = 0; y <= kBoardSize + 1; ++y)
                cells_[x][y] = isBoardCell(x, y) ? board[x][y] : kOffBoard;
    }

    bool isEmpty(int x, int y) const { return cells_[x][y] == kEmpty; }

    // What capturesAt counts for a stone of `side` at the board cell (x, y).
    int count(int x, int y, std::int16_t side) const
    {
        int total = 0;
        for (const Direction ray : kRays)
            total += capturedAlong(x, y, ray, side);
        return total;
    }

    // Whether that count is non-zero, answered at the first ray that captures.
    bool captures(int x, int y, std::int16_t side) const
    {
        for (const Direction ray : kRays)
            if (capturedAlong(x, y, ray, side) > 0)
                return true;
        return false;
    }

private:
    static constexpr std::int16_t kOffBoard = -1; // a frame cell around the board

    static bool isOpponent(std::int16_t cell, std::int16_t side)
    {
        return cell != kEmpty && cell != side && cell != kOffBoard;
    }

    // Opponent stones up to the nearest stone of `side`; nothing when the ray meets an empty
    // cell or the frame first.
    int capturedAlong(int x, int y, Direction ray, std::int16_t side) const
    {
        int d = 1;
        while (isOpponent(cells_[x + d * ray.dx][y + d * ray.dy], side))
            ++d;
        return cells_[x + d * ray.dx][y + d * ray.dy] == side ? d - 1 : 0;
    }

    std::int16_t cells_[kBoardSize + 2][kBoardSize + 2];
};

} // namespace tavrin
