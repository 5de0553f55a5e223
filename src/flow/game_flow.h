#pragma once

#include "game_state.h"
#include "window_services.h"

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

    // True once the player chose to end the program; every handler then does nothing.
    bool programEnded() const { return programEnded_; }

protected:
    // Closes a finished game: result, save offer, then the next game or the end of the program.
    void ended() override;

private:
    WindowServices &window_;
    bool programEnded_ = false;
};

} // namespace tavrin
