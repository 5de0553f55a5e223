#pragma once

#include "fake_window.h"
#include "flow/game_flow.h"

#include <QRandomGenerator>

namespace tavrin::test {

// Plays against the computer through the real game flow: white takes a random legal cell, from
// a generator with a fixed seed so that every run plays the same games, and passes when it has
// none; black is the computer. The window's answers are the test's to script.
class RandomPlayer
{
public:
    // Loads the window and starts a game, as the program does.
    explicit RandomPlayer(quint32 seed);

    // Plays one exchange. Returns false, playing nothing, when neither side can move: the game
    // flow does not end such a game by itself.
    bool exchange();
    // Plays until the program ends (the result question answered No, which leaves the finished
    // game as it was), neither side can move, or 300 exchanges have passed; true when the game
    // ended.
    bool playToEnd();

    FakeWindow window;
    GameFlow flow {window};

private:
    QRandomGenerator random_;
};

} // namespace tavrin::test
