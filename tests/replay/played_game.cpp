#include "played_game.h"

#include "board_text.h"
#include "fake_window.h"
#include "game_flow.h"
#include "record_file.h"

#include <QList>
#include <QRandomGenerator>

namespace tavrin::test {

namespace {

// More exchanges than any game can take: 126 fill the board, and passes only add to that while
// someone can still move.
constexpr int kMostExchanges = 1000;

// Pointer position, in board units, of the centre of column or row `index`.
float centreOf(int index)
{
    return static_cast<float>((index - 0.5) * 62.5);
}

QList<stepxy> legalCells(const GameState &state, std::int16_t side)
{
    QList<stepxy> cells;
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            if (state.qizi[x][y] == kEmpty && state.dfpd(x, y, side) != 0)
                cells.append({x, y});
    return cells;
}

PlayedGame snapshot(const GameFlow &flow, bool ended)
{
    return {recordText(flow), boardToText(flow), flow.bqnum, flow.hqnum, ended};
}

} // namespace

PlayedGame playWholeGame(quint32 seed)
{
    FakeWindow window;
    GameFlow flow(window);
    PlayedGame played;
    // The only question of a game played this way is the result; its No ends the program after
    // the save offer, so nothing resets the finished game before it is looked at.
    window.onCall = [&](const QString &call) {
        if (call == QLatin1String("askYesNo") && !played.ended)
            played = snapshot(flow, true);
    };
    flow.initqizi(); // what window load does
    flow.MNrj();

    QRandomGenerator random(seed);
    for (int exchange = 0; exchange < kMostExchanges && !flow.programEnded(); ++exchange) {
        const QList<stepxy> cells = legalCells(flow, kWhite);
        if (cells.isEmpty()) {
            if (legalCells(flow, kBlack).isEmpty())
                return snapshot(flow, false);
            flow.fqyz();
            continue;
        }
        const stepxy cell = cells.at(random.bounded(static_cast<int>(cells.size())));
        flow.release(GameFlow::kLeftButton, 0, centreOf(cell.x), centreOf(cell.y));
    }
    return played;
}

} // namespace tavrin::test
