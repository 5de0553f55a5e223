#pragma once

#include <optional>

namespace tavrin {

// Board surface scale: the board is kBoardUnits user units square.
constexpr double kBoardUnits = 1000.0;
// Width and height of one cell in board units.
constexpr double kCellUnits = 62.5;

// The centre of column or row `index` (1..16) in board units.
constexpr double cellCentreUnits(int index)
{
    return (index - 0.5) * kCellUnits;
}

// A cell position as the pointer sees it; may lie outside 1..16 when the pointer is off the board.
struct PointerCell
{
    long long column = 0; // floor(x / 62.5) + 1
    long long row = 0; // floor(y / 62.5) + 1

    bool onBoard() const;
};

// The cell under a point in board units, or nothing when the point lies exactly on a grid line
// (a quotient by 62.5 that is a whole number) or is not a finite number.
std::optional<PointerCell> cellAt(float x, float y);

} // namespace tavrin
