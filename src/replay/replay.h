#pragma once

#include "game/game_state.h"
#include "replay/record_reader.h"

#include <optional>
#include <vector>

namespace tavrin::replay {

// What to check while replaying a record.
struct ReplayOptions
{
    // The position after this entry (0 for the starting position, at most the number of
    // entries) is the one reported; -1 means after the last. Every entry is checked whatever
    // this is.
    int step = -1;
    // Also require black's turns to be exactly what the computer plays there.
    bool checkComputer = false;
};

// The outcome of a replay: the position after the requested entry, whether the game was over
// there, and the first fault found in the whole record.
struct ReplayResult
{
    GameState position;
    bool gameOver = false;
    std::optional<RecordError> error;
};

// Plays a record from the starting position: odd entries are white's turns, even entries
// black's, (0, 0) a turn without a stone. Every stone must be legal for its side, and nothing
// may follow the end of the game.
ReplayResult replayRecord(const std::vector<RecordEntry> &entries, const ReplayOptions &options);

// True when the position ends a game: a full board or a side without stones.
bool isGameOver(const GameState &state);

} // namespace tavrin::replay
