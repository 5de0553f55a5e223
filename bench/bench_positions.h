#pragma once

#include "game/game_state.h"

namespace tavrin::bench {

// A game state that records that a game ended instead of closing it.
class EndAwareState : public GameState
{
public:
    bool gameOver = false; // playStone found a full board or a side without stones

protected:
    void ended() override { gameOver = true; }
};

// The first cell of white's legal-move map, column by column; (0, 0) when there is none.
RecordEntry firstLegalCell(const GameState &state);

// The starting position, counted, with white's legal-move map built: the state right after
// the new-game command.
EndAwareState startingPosition();

// A crowded mid-game position: the start, then exchanges in which white takes the first legal
// cell and black answers with the computer's move, until `stones` stones are on the board.
EndAwareState crowdedPosition(int stones = 160);

// One exchange of the engine alone: white plays `cell`, black answers, and white's legal-move
// map is rebuilt, as one accepted release does without the window.
void engineExchange(EndAwareState &state, RecordEntry cell);

} // namespace tavrin::bench
