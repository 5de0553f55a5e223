#include "random_player.h"

#include <QList>

namespace tavrin::test {

namespace {

QList<stepxy> legalCells(const GameState &state, std::int16_t side)
{
    QList<stepxy> cells;
    for (std::int16_t x = 1; x <= kBoardSize; ++x)
        for (std::int16_t y = 1; y <= kBoardSize; ++y)
            if (state.qizi[x][y] == kEmpty && state.dfpd(x, y, side) != 0)
                cells.append({x, y});
    return cells;
}

// Pointer position, in board units, of the centre of column or row `index`.
float centreOf(int index)
{
    return (static_cast<float>(index) - 0.5f) * 62.5f;
}

} // namespace

RandomPlayer::RandomPlayer(quint32 seed) : random_(seed)
{
    flow.initqizi();
    flow.MNrj();
}

bool RandomPlayer::exchange()
{
    const QList<stepxy> cells = legalCells(flow, kWhite);
    if (!cells.isEmpty()) {
        const stepxy cell = cells.at(random_.bounded(static_cast<int>(cells.size())));
        flow.release(GameFlow::kLeftButton, 0, centreOf(cell.x), centreOf(cell.y));
    } else if (!legalCells(flow, kBlack).isEmpty()) {
        flow.fqyz();
    } else {
        return false;
    }
    return true;
}

} // namespace tavrin::test
