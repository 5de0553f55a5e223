#include "replay/board_picture.h"

#include "board/board_surface.h"

namespace tavrin::replay {

QImage boardPicture(const GameState &state, int side)
{
    BoardSurface surface;
    surface.resize(side, side);
    // The same calls as the window's drawnewqp and hq: the grid first, then the stones over it.
    surface.drawGrid();
    for (int y = 1; y <= kBoardSize; ++y) {
        for (int x = 1; x <= kBoardSize; ++x) {
            if (state.qizi[x][y] == kWhite) {
                surface.paintDisc(x, y, BoardSurface::Disc::White);
            } else if (state.qizi[x][y] == kBlack) {
                surface.paintDisc(x, y, BoardSurface::Disc::Black);
            }
        }
    }
    return surface.picture().copy();
}

} // namespace tavrin::replay
