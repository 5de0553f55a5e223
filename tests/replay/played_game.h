#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdint>

namespace tavrin::test {

// A game played through the real game flow, as it stood when the game ended (or when neither
// side could move any more, which does not end a game).
struct PlayedGame
{
    QByteArray record; // the record file the game writes at that moment
    QStringList board; // the board then, as rows of text
    std::int16_t white = 0; // bqnum then
    std::int16_t black = 0; // hqnum then
    bool ended = false; // true when the game flow announced the end of the game
};

// Plays one game against the computer: white picks a random legal cell (random generator seeded
// with `seed`) and passes when it has none.
PlayedGame playWholeGame(quint32 seed);

} // namespace tavrin::test
