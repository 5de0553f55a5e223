#pragma once

#include "game/game_state.h"

#include <optional>
#include <string>

// What must hold of a game's state between two handlers of the game flow, checked by the fuzz
// target of the flow and by the stress test of the normal suite. Legality follows the plain
// capture rule of reference_rules.h, not the engine.
namespace tavrin::invariants {

// How much of the move record is checked by playing it again from the starting position.
enum class ReplayCheck {
    None, // the record is not replayed
    Stones, // every recorded stone must be legal and the replay must end on the same board
    StonesAndComputer, // as Stones, and every black turn must be the computer's own choice
};

// What the caller knows about the moment of the check.
struct CheckPoint
{
    // The counts have been taken since the board was last set up (a game has been started).
    bool countsTaken = true;
    // A handler has just returned with a game under way, so the exchange is complete.
    bool exchangeCompleted = true;
    ReplayCheck replay = ReplayCheck::Stones;
};

// Whether `side` may play at (x, y): the cell is empty and at least one straight line of
// opponent stones starting next to it ends in a stone of `side`.
bool legalByRule(const GameState &state, int x, int y, int side);

// True when the position ends a game: a full board or a side without stones.
bool gameOverByRule(const GameState &state);

// The first invariant that `state` breaks, described for a person; nothing when all hold.
// Board codes are 0, 1 or 2 and the border of the board and the map holds 0; the counts equal a
// fresh recount; lastEntry lies in 0..256 and, after a completed exchange, is even and the map
// equals the legality rule for white cell by cell; entries past lastEntry are empty; and replaying
// entries 1..lastEntry reproduces the board (skipped once the record is full, as turns may then
// have gone unrecorded).
std::optional<std::string> firstFault(const GameState &state, const CheckPoint &point);

} // namespace tavrin::invariants
