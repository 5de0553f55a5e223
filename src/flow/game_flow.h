#pragma once

#include "flow/window_services.h"
#include "game/game_state.h"

#include <QString>

namespace tavrin {

// The course of a game: the player's release on the board and the computer's answer, the pass
// command, the new-game command, the end of a game and the offer to save its record.
class GameFlow : public GameState
{
public:
    // Button value of the left mouse button in a release.
    static constexpr int kLeftButton = 1;

    explicit GameFlow(WindowServices &window);

    // The player releases `button` over the board at (x, y) in board units; `shift` is not
    // consulted. One accepted release is one whole exchange.
    void release(int button, int shift, float x, float y);
    // `fqyz`: the player passes, after confirming when a legal cell remains.
    void fqyz();
    // `MNrj`: starts the first game, or asks and starts a new one.
    void MNrj();

    // The result of a finished game with these stone counts, as the player is told it.
    static QString resultText(std::int16_t white, std::int16_t black);

    // True once the player chose to end the program; every handler then does nothing.
    bool programEnded() const { return programEnded_; }

protected:
    // Closes a finished game: result, save offer, then the next game or the end of the program.
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
    // Reserves the computer's entry, lets it answer and refreshes the board and the map.
    void computerAnswers();
    // The question that confirms a pass while white can still play at (x, y).
    static QString passQuestion(std::int16_t x, std::int16_t y);
    // Offers the Save dialog and writes the record to the chosen file.
    void offerSave();

    WindowServices &window_;
    bool programEnded_ = false;
    // Games set up after a finished one; lets an exchange see that its own stone ended the game.
    unsigned long long gamesSetUpAfterEnd_ = 0;
};

} // namespace tavrin
