#pragma once

#include "game/game_state.h"
#include "process_figures.h"
#include "ui/main_window.h"

#include <QObject>
#include <QTimer>

namespace tavrin::bench {

// Answers the modal windows of the end of a game as a player who has had enough: No to the
// next game, Cancel in the Save dialog. Polls like a person would, so the boxes really show.
class EndOfGameAnswerer : public QObject
{
public:
    EndOfGameAnswerer();

    int answered() const { return answered_; }

private:
    void poll();

    QTimer timer_;
    int answered_ = 0;
};

// White's next turn through the window: a left-button release at the centre of the first legal
// cell of the board `qp`, or the pass command when there is none.
void playWhiteTurn(MainWindow &window);

// Sends a left-button release to the board at the centre of cell (x, y).
void releaseOnCell(MainWindow &window, int x, int y);

} // namespace tavrin::bench
