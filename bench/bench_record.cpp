#include "bench_record.h"

#include "flow/record_file.h"
#include "random_player.h"

namespace tavrin::bench {

namespace {

constexpr quint32 kFullBoardSeed = 25; // a game that fills the board

} // namespace

QByteArray wholeGameRecord()
{
    test::RandomPlayer player(kFullBoardSeed);
    QByteArray record;
    // The Save dialog is offered once, at the end of the game: the record is what it would save.
    player.window.onCall = [&](const QString &call) {
        if (call == QLatin1String("chooseSaveFile")) {
            record = recordText(player.flow);
        }
    };
    while (record.isEmpty() && player.exchange()) { }
    return record;
}

} // namespace tavrin::bench
