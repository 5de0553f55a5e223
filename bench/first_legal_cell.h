#pragma once

#include "game/game_state.h"

namespace tavrin::bench {

// The first cell of white's legal-move map, column by column; (0, 0) when there is none.
inline RecordEntry firstLegalCell(const GameState &state)
{
    for (std::int16_t x = 1; x <= kBoardSize; ++x) {
        for (std::int16_t y = 1; y <= kBoardSize; ++y) {
            if (state.playable[x][y] == kLegal) {
                return {x, y};
            }
        }
    }
    return {};
}

} // namespace tavrin::bench
