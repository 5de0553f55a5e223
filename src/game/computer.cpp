#include "game_state.h"

namespace tavrin {

namespace {

// A cell the computer may play: empty, and a black stone there captures something.
bool legalForBlack(const GameState &state, std::int16_t x, std::int16_t y)
{
    return state.qizi[x][y] == kEmpty && state.dfpd(x, y, kBlack) > 0;
}

struct Cell
{
    std::int16_t x = 0;
    std::int16_t y = 0;
};

constexpr std::int16_t kFirst = 1; // first row or column of the board
constexpr std::int16_t kLast = kBoardSize; // last row or column of the board

// 1. A corner whatever it captures, in this order.
bool chooseCorner(const GameState &state, Cell &chosen)
{
    constexpr Cell corners[] = {{kFirst, kFirst}, {kFirst, kLast}, {kLast, kFirst}, {kLast, kLast}};
    for (const Cell corner : corners) {
        if (legalForBlack(state, corner.x, corner.y)) {
            chosen = corner;
            return true;
        }
    }
    return false;
}

// 2. The first legal edge cell of the scan, whatever it captures.
bool chooseEdge(const GameState &state, Cell &chosen)
{
    for (std::int16_t i = kFirst; i <= kLast; ++i) {
        const Cell candidates[] = {{i, kFirst}, {i, kLast}, {kFirst, i}, {kLast, i}};
        for (const Cell candidate : candidates) {
            if (legalForBlack(state, candidate.x, candidate.y)) {
                chosen = candidate;
                return true;
            }
        }
    }
    return false;
}

// 3. The interior cell that captures most; the first one met row by row wins a tie.
bool chooseInterior(const GameState &state, Cell &chosen)
{
    int best = 0;
    for (std::int16_t y = kFirst + 1; y <= kLast - 1; ++y) {
        for (std::int16_t x = kFirst + 1; x <= kLast - 1; ++x) {
            if (state.qizi[x][y] != kEmpty)
                continue;
            const int count = state.dfpd(x, y, kBlack);
            if (count > best) {
                best = count;
                chosen = {x, y};
            }
        }
    }
    return best > 0;
}

} // namespace

void GameState::dfxq(bool record)
{
    Cell chosen;
    if (!chooseCorner(*this, chosen) && !chooseEdge(*this, chosen)
        && !chooseInterior(*this, chosen))
        return; // no legal cell: the computer passes without a word

    // 4. The stone and the record entry must be in place before pd, which may end the game and
    // save the record from inside.
    qizi[chosen.x][chosen.y] = kBlack;
    if (record && stepnum >= 1 && stepnum <= kRecordCapacity)
        qipu[stepnum] = {chosen.x, chosen.y};
    pd(chosen.x, chosen.y, kBlack);
}

} // namespace tavrin
