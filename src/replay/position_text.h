#pragma once

#include "game/game_state.h"

#include <QString>

namespace tavrin::replay {

// The board as 16 labelled lines ('.' empty, 'o' white, 'x' black), both stone counts and, when
// the game is over, the result as the game announces it.
QString positionText(const GameState &state, bool gameOver);

} // namespace tavrin::replay
