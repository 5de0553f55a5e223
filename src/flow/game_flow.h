#pragma once

#include "flow/window_services.h"
#include "game/board_geometry.h"
#include "game/game_state.h"

#include <QString>
#include <optional>
#include <qnamespace.h>

namespace tavrin {

// The course of a game: the player's release on the board and the computer's answer, the pass
// command, the new-game command, the end of a game and the offer to save its record.
class GameFlow : public GameState
{
public:
    explicit GameFlow(WindowServices &window);

    // The player releases `button` over the board on `cell` (nothing when the pointer was on a
    // grid line). One accepted release is one whole exchange.
    void release(const std::optional<PointerCell> &cell, Qt::MouseButton button);
    // The player passes, after confirming when a legal cell remains.
    void pass();
    // Starts the first game, or asks and starts a new one.
    void newGame();

    // The result of a finished game with these stone counts, as the player is told it.
    static QString resultText(std::int16_t white, std::int16_t black);

    // True once the player chose to end the program; every handler then does nothing.
    bool programEnded() const { return programEnded_; }

protected:
    // Only notes that the game is over: the handler that made the engine call closes the game
    // once that call has returned, so no question is ever asked from inside playStone.
    void ended() override;

private:
    // The first game: the position placed at window load is counted, drawn and opened.
    void startFirstGame();
    // Abandons the game under way, once the player has confirmed, and sets up a new one.
    void restartGame();
    // The starting position with an empty record, counted, drawn and opened to the player.
    void setUpNextGame();
    // Records the player's turn (a stone, or (0, 0) for a pass) while the record has room.
    void recordPlayerTurn(std::int16_t x, std::int16_t y);
    // Reserves the computer's entry, lets it answer, tells the window of `exchange` (the
    // player's part filled in) and refreshes the board and the map.
    void computerAnswers(Exchange exchange);
    // Tells the window of `exchange` with the counts as they stand.
    void announce(Exchange exchange);
    // The question that confirms a pass while white can still play at (x, y).
    static QString passQuestion(std::int16_t x, std::int16_t y);
    // Offers the Save dialog and writes the record to the chosen file, offering it again after
    // a failure.
    void offerSave();
    // When the last engine call ended the game: result, save offer, then the next game or the
    // end of the program. True when it did.
    bool closeGameIfOver();

    WindowServices &window_;
    bool programEnded_ = false;
    bool gameOver_ = false; // playStone found the game over; closeGameIfOver has not yet closed it
};

} // namespace tavrin
