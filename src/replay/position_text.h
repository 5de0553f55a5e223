#pragma once

#include "game/game_state.h"

#include <QString>

namespace tavrin::replay {

// The board as 16 labelled lines ('.' empty, 'o' white, 'x' black), both stone counts and, when
// the game is over, the result as the game announces it. A position after the record's last
// possible entry (lastEntry 256) of a game not over says that the game may have gone on.
QString positionText(const GameState &state, bool gameOver);

} // namespace tavrin::replay
