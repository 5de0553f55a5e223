#pragma once

#include "game/game_state.h"

#include <QString>

namespace tavrin {

class BoardSurface;

// Screen readers see every BoardSurface as a table named 棋盘, 16 rows by 16 columns: cell
// (x, y) is row y - 1, column x - 1. Each cell is named for what it holds, read from the game
// state the surface shows (or from its picture without one), and the focus cell is the table's
// focused cell. Nothing is built until a screen reader asks.

// Registers the table with Qt's accessibility; the surface calls it, any number of times.
void installBoardAccessibility();

// The index of cell (x, y) among the table's children, row by row.
constexpr int boardCellIndex(int x, int y)
{
    return (y - 1) * kBoardSize + (x - 1);
}

// What a screen reader calls cell (x, y) of `board`: "x,y 白棋", "x,y 黑棋", "x,y 空", or, where
// white may play in a game under way, "x,y 空 可落子".
QString boardCellName(const BoardSurface &board, int x, int y);

} // namespace tavrin
