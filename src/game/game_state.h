#pragma once

#include <cstdint>

namespace tavrin {

// Cells per side of the board; every bound of the game derives from it.
constexpr int kBoardSize = 16;
// Highest index of the move record; entries 1..kRecordCapacity hold the turns of one game.
constexpr int kRecordCapacity = 256;

// Cell and side codes.
constexpr std::int16_t kEmpty = 0; // empty cell
constexpr std::int16_t kWhite = 1; // white: the player's side
constexpr std::int16_t kBlack = 2; // black: the computer's side

// Values of the legal-move map.
constexpr std::int16_t kLegal = -1; // the side may play here
constexpr std::int16_t kIllegal = 0; // it may not

// One move-record entry, x (column) then y (row); (0, 0) is a turn without a stone.
struct RecordEntry
{
    std::int16_t x = 0; // column, 1..16, or 0 for a turn without a stone
    std::int16_t y = 0; // row, 1..16, or 0 for a turn without a stone
};

// The whole state of a game and the rule operations on it. Cells are (x, y), x the column and
// y the row, both 1..16; index 0 of each axis is a border that never holds a stone.
class GameState
{
public:
    GameState() = default;
    virtual ~GameState() = default;
    GameState(const GameState &) = default;
    GameState &operator=(const GameState &) = default;

    std::int16_t elapsedSeconds = 0; // elapsed seconds of the current game
    std::uint8_t gameStarted = 0; // 1 once the first game has been started; never reset
    std::int16_t board[kBoardSize + 1][kBoardSize + 1]
        = {}; // the board: board[x][y] is cell (x, y)
    std::int16_t playable[kBoardSize + 1][kBoardSize + 1]
        = {}; // legal-move map, kLegal or kIllegal
    RecordEntry record[kRecordCapacity + 1] = {}; // the move record; entry 0 is never used
    std::int16_t whiteCount = 0; // white stones on the board, as of the last playStone
    std::int16_t blackCount = 0; // black stones on the board, as of the last playStone
    std::int16_t lastEntry = 0; // index of the last record entry written or reserved

    // Puts the starting position on the board and empties the move record.
    void placeStartingStones();
    // Number of opponent stones a stone of `side` at (x, y) would capture; reads the board only.
    std::uint8_t capturesAt(std::int16_t x, std::int16_t y, std::int16_t side) const;
    // Turns over what the stone just placed at (x, y) captures, recounts both sides and calls
    // ended() once for a full board and once more for a side without stones.
    void playStone(std::int16_t x, std::int16_t y, std::int16_t side);
    // Rebuilds the legal-move map for `side` over cells 1..16.
    void markPlayable(std::int16_t side);
    // The computer's move: plays black's choice and writes it into entry `lastEntry` of the
    // record (nothing is written when `writeToRecord` is false), or passes silently.
    void playComputerMove(bool writeToRecord = true);

protected:
    // Called by playStone when a game is over; a game flow closes the game here.
    virtual void ended() { }
};

} // namespace tavrin
