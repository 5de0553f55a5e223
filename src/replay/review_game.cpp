#include "replay/review_game.h"

#include "replay/replay.h"

#include <algorithm>

namespace tavrin::replay {

ReviewGame prepareReview(const RecordText &record, bool checkComputer)
{
    ReviewGame game;
    const ReplayResult checked = replayRecord(record.entries, {-1, checkComputer});
    game.fault = record.error ? record.error : checked.error;
    // A fault in the text leaves out its line and what follows; entries read before it may still
    // hold an illegal move, and play stops before that one.
    std::size_t sound = record.entries.size();
    if (checked.error) {
        sound = std::min(sound, static_cast<std::size_t>(checked.error->line - 1));
    }
    game.entries.assign(record.entries.begin(), record.entries.begin() + sound);

    GameState state;
    state.placeStartingStones();
    state.playStone(1, 1, kWhite); // only recounts the starting position
    game.positions.reserve(sound + 1);
    game.positions.push_back(state);
    for (std::size_t index = 1; index <= sound; ++index) {
        // The same steps as the replay's: odd entries are white's, (0, 0) places nothing.
        const RecordEntry entry = game.entries[index - 1];
        const std::int16_t side = index % 2 == 1 ? kWhite : kBlack;
        state.lastEntry = static_cast<std::int16_t>(index);
        state.record[index] = entry;
        if (entry.x != 0) {
            state.board[entry.x][entry.y] = side;
            state.playStone(entry.x, entry.y, side);
        }
        game.positions.push_back(state);
    }
    game.gameOver = sound > 0 && isGameOver(state);
    return game;
}

} // namespace tavrin::replay
