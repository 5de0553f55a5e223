#pragma once

#include <QByteArray>

namespace tavrin::bench {

// The record of a whole game as the game saves it: played through the game flow by the tests'
// random player (white) against the computer until the board is full, 255 entries.
QByteArray wholeGameRecord();

} // namespace tavrin::bench
