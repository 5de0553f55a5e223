#include "game/game_state.h"
#include "game/rays.h"

namespace tavrin {

namespace {

// A cell the computer may play: empty, and a black stone there captures something.
bool legalForBlack(const FramedBoard &board, std::int16_t x, std::int16_t y)
{
    return board.isEmpty(x, y) && board.captures(x, y, kBlack);
}

struct Cell
{
    std::int16_t x = 0;
    std::int16_t y = 0;
};

constexpr std::int16_t kFirst = 1; // first row or column of the board
constexpr std::int16_t kLast = kBoardSize; // last row or column of the board

// 1. A corner whatever it captures, in this order.
bool chooseCorner(const FramedBoard &board, Cell &chosen)
{
    constexpr Cell corners[] = {{kFirst, kFirst}, {kFirst, kLast}, {kLast, kFirst}, {kLast, kLast}};
    for (const Cell corner : corners) {
        if (legalForBlack(board, corner.x, corner.y)) {
            chosen = corner;
            return true;
        }
    }
    return false;
}

// 2. The first legal edge cell of the scan, whatever it captures.
bool chooseEdge(const FramedBoard &board, Cell &chosen)
{
    for (std::int16_t i = kFirst; i <= kLast; ++i) {
        const Cell candidates[] = {{i, kFirst}, {i, kLast}, {kFirst, i}, {kLast, i}};
        for (const Cell candidate : candidates) {
            if (legalForBlack(board, candidate.x, candidate.y)) {
                chosen = candidate;
                return true;
            }
        }
    }
    return false;
}

// 3. The interior cell that captures most; the first one met row by row wins a tie.
bool chooseInterior(const FramedBoard &board, Cell &chosen)
{
    int best = 0;
    for (std::int16_t y = kFirst + 1; y <= kLast - 1; ++y) {
        for (std::int16_t x = kFirst + 1; x <= kLast - 1; ++x) {
            if (!board.isEmpty(x, y))
                continue;
            const int count = board.count(x, y, kBlack);
            if (count > best) {
                best = count;
                chosen = {x, y};
            }
        }
    }
    return best > 0;
}

} // namespace

void GameState::playComputerMove(bool writeToRecord)
{
    // One framed copy serves the whole search: it counts exactly what capturesAt counts.
    const FramedBoard framed(board);
    Cell chosen;
    if (!chooseCorner(framed, chosen) && !chooseEdge(framed, chosen)
        && !chooseInterior(framed, chosen))
        return; // no legal cell: the computer passes without a word

    // 4. The stone and the record entry are in place before playStone, so that a game ended by this
    // stone is closed with its whole record.
    board[chosen.x][chosen.y] = kBlack;
    if (writeToRecord && lastEntry >= 1 && lastEntry <= kRecordCapacity)
        record[lastEntry] = {chosen.x, chosen.y};
    playStone(chosen.x, chosen.y, kBlack);
}

} // namespace tavrin
