#include "random_player.h"

namespace tavrin::test {

RandomPlayer::RandomPlayer(quint32 seed) : random_(seed)
{
    flow.placeStartingStones();
    flow.newGame();
}

bool RandomPlayer::exchange()
{
    QList<RecordEntry> cells[3]; // each side's legal cells, column by column, indexed by its code
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            for (const std::int16_t side : {kWhite, kBlack})
                if (flow.board[x][y] == kEmpty && flow.capturesAt(x, y, side) != 0)
                    cells[side].append({x, y});
    if (!cells[kWhite].isEmpty()) {
        const RecordEntry cell = cells[kWhite].at(random_.bounded(int(cells[kWhite].size())));
        // The pointer at the centre of the cell, in board units.
        flow.release(
            cellAt(float(cellCentreUnits(cell.x)), float(cellCentreUnits(cell.y))), Qt::LeftButton);
    } else if (cells[kBlack].isEmpty()) {
        return false;
    } else {
        flow.pass();
    }
    return true;
}

bool RandomPlayer::playToEnd()
{
    // Each exchange puts at least one stone on the 252 free cells; a game going on longer means
    // a broken flow, which must fail the test rather than hang it.
    for (int turn = 0; turn < 300 && !flow.programEnded() && exchange(); ++turn) { }
    return flow.programEnded();
}

} // namespace tavrin::test
