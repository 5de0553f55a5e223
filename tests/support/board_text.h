#pragma once

#include "game/game_state.h"

#include <QStringList>

// Boards in tests are written as 16 rows of 16 characters, top row first and each row from left
// to right, so row text[y - 1] holds cell (x, y) at position x - 1: '.' empty, 'o' white (the
// player), 'x' black (the computer).
namespace tavrin::test {

// Puts the position of `rows` on the board of `state` and clears the border; nothing else of
// `state` changes. A text that is not 16 rows of 16 cell characters is a mistake in the test
// and aborts.
void putBoard(GameState &state, const QStringList &rows);

// The board cells of `state` as rows of text; a code that no stone has is shown as '?'.
QStringList boardToText(const GameState &state);

// The starting position: black at (8, 8) and (9, 9), white at (9, 8) and (8, 9).
QStringList startingBoardText();

// `base` with the placements applied in order, for the many small positions that are clearer as
// a list than as a picture. `base` may be short: missing rows and cells are empty, so {"o..o",
// ".xx"} pictures a corner. Each placement is "c@x,y" with c one of the cell characters above;
// x and y may be ranges "a-b", which fill a rectangle, so "o@1-16,1-16 .@16,16" is a board full
// of white but for (16, 16). A malformed list aborts.
QStringList placedBoard(const QString &placements, QStringList base = {});

// The move record as "lastEntry: x,y x,y ...", listing entries from 1 up to lastEntry or to the
// last entry that is not (0, 0), whichever is later, so that a stray write anywhere shows.
QString recordSummary(const GameState &state);

// The cells where the legal-move map holds kLegal, row by row, as "x,y x,y ...".
QString legalCellsText(const GameState &state);

} // namespace tavrin::test
