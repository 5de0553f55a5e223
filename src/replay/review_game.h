#pragma once

#include "game/game_state.h"
#include "replay/record_reader.h"

#include <optional>
#include <vector>

namespace tavrin::replay {

// A record made ready for stepping through it: the position after each of its sound entries,
// worked out once, so that showing any of them costs no replay.
struct ReviewGame
{
    std::vector<RecordEntry> entries; // the sound entries: everything before the first fault
    std::vector<GameState> positions; // [i] is the position after entry i, [0] the start
    bool gameOver = false; // the last position ends the game
    std::optional<RecordError> fault; // the first fault, as the replay tool reports it

    int lastEntry() const { return static_cast<int>(entries.size()); }
};

// Checks `record` exactly as the replay tool does (a fault in its text first, then one in its
// play) and plays its entries from the starting position up to the first that cannot be played.
ReviewGame prepareReview(const RecordText &record, bool checkComputer);

} // namespace tavrin::replay
