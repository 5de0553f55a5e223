#pragma once

#include "flow/exchange.h"

#include <QString>

namespace tavrin {

// What the game flow needs from the window it runs in. Texts may hold several lines, each ended
// by a carriage return alone.
class WindowServices
{
public:
    // Icon shown in a question box.
    enum class Icon { None, Question };

    virtual ~WindowServices() = default;

    // Modal question with Yes and No; true when the player chose Yes. `spokenDetail`, when not
    // empty, is read to a screen reader along with the text and shown nowhere.
    virtual bool askYesNo(
        const QString &text, const QString &title, Icon icon, const QString &spokenDetail)
        = 0;
    // Modal information with OK.
    virtual void showInformation(const QString &text, const QString &title) = 0;
    // Modal Save dialog; the chosen file name, or an empty string after Cancel.
    virtual QString chooseSaveFile(const QString &title, const QString &initialName) = 0;
    // The system beep.
    virtual void beep() = 0;
    // Ends the program at once with exit status 0: no further event of the game is handled.
    virtual void endProgram() = 0;
    // Paints a disc for every stone and refreshes the two count captions.
    virtual void paintStones() = 0;
    // As paintStones, and also paints every empty cell in the board colour.
    virtual void repaintBoard() = 0;
    // Enables the one-second clock timer (elapsedSeconds itself lives in the game state).
    virtual void startClock() = 0;
    // Makes the count, mode and position labels visible.
    virtual void showStatusLabels() = 0;
    // Sets the caption of the mode label.
    virtual void setModeCaption(const QString &caption) = 0;
    // An exchange has been played: after the computer's answer, or after a stone of the player's
    // that ended the game. Nothing is shown for it; a window may pass it on to a screen reader.
    virtual void announceExchange(const Exchange &exchange) = 0;
};

} // namespace tavrin
