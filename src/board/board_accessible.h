#pragma once

#include "game/game_state.h"

#include <QString>

namespace tavrin {

class BoardSurface;

// Screen readers see every BoardSurface as a grid named 棋盘 of 256 cells, row by row: cell
// (x, y) is child boardCellIndex(x, y). Each cell is named for where it is and what it holds, read
// from the game state the surface shows (or from its picture without one), and the focus cell
// is the grid's focused cell. The grid offers no table interface: Orca reads a whole row of a
// table at each step up or down, and a cell alone here. Nothing is built until a screen reader
// asks.

// Registers the grid with Qt's accessibility; the surface calls it, any number of times.
void installBoardAccessibility();

// The index of cell (x, y) among the grid's children, row by row.
constexpr int boardCellIndex(int x, int y)
{
    return (y - 1) * kBoardSize + (x - 1);
}

// What a screen reader calls cell (x, y) of `board`: "x,y 白棋", "x,y 黑棋", "x,y 空", or, where
// white may play in a game under way, "x,y 空 可落子".
QString boardCellName(const BoardSurface &board, int x, int y);

} // namespace tavrin
