#pragma once

#include "game/game_state.h"

// The capture rule written out plainly, apart from the engine, so that the two can disagree: the
// property tests and the game invariants check the engine against it.
namespace tavrin::test {

// Plays a stone of `side` at (x, y) by the plain rule: in each of the eight directions, a run of
// opponent stones closed by a stone of `side` is turned over. Recounts both sides over the board
// and returns the stones taken.
int referencePlay(GameState &state, int x, int y, int side);

// The stones a stone of `side` at (x, y) would take; 0 for an occupied cell or one off the board.
int referenceCaptures(const GameState &state, int x, int y, int side);

} // namespace tavrin::test
