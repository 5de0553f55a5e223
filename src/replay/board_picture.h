#pragma once

#include "game/game_state.h"

#include <QImage>

namespace tavrin::replay {

// Side, in pixels, of the board picture in the main window.
constexpr int kWindowBoardPixels = 340;

// The board of `state` as the main window draws it: grid, frame and a disc for every stone,
// painted by the window's own board surface, `side` pixels square. Needs a QApplication; the
// surface is never shown, so no window opens.
QImage boardPicture(const GameState &state, int side = kWindowBoardPixels);

} // namespace tavrin::replay
