#include "replay/board_picture.h"

#include "board/board_surface.h"

namespace tavrin::replay {

QImage boardPicture(const GameState &state, int side)
{
    BoardSurface surface;
    surface.resize(side, side);
    // The same calls as the game window's: the grid first, then the stones over it.
    surface.drawGrid();
    surface.paintStones(state, false);
    return surface.picture().copy();
}

} // namespace tavrin::replay
