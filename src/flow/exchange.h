#pragma once

#include "game/game_state.h"

#include <QString>

namespace tavrin {

// One exchange of a game: the player's turn and the computer's answer, with the stones each
// turned over and the counts after it. A turn without a stone is (0, 0), as in the record.
struct Exchange
{
    RecordEntry player; // white's stone, or (0, 0) for a pass
    int playerTurned = 0; // black stones turned white by it
    bool computerAnswered = false; // false when the player's stone ended the game
    RecordEntry computer; // black's stone, or (0, 0) when the computer passed
    int computerTurned = 0; // white stones turned black by it
    int whiteCount = 0; // stones on the board after the exchange
    int blackCount = 0;
};

// What a screen reader says of an exchange, in one sentence:
// "白棋落子 10,9，翻转 1 子；电脑落子 10,8，翻转 1 子。白棋 3 子，黑棋 4 子。"
QString exchangeAnnouncement(const Exchange &exchange);

// Both counts as a screen reader hears them: "白棋 130 子，黑棋 126 子".
QString spokenCounts(int white, int black);

} // namespace tavrin
