#include "game/board_geometry.h"

#include "game/game_state.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// Largest magnitude kept for a cell index, far outside the board but safe from overflow.
constexpr double kIndexLimit = 1.0e15;

} // namespace

bool PointerCell::onBoard() const
{
    return column >= 1 && column <= kBoardSize && row >= 1 && row <= kBoardSize;
}

std::optional<PointerCell> cellAt(float x, float y)
{
    const double qx = static_cast<double>(x) / kCellUnits;
    const double qy = static_cast<double>(y) / kCellUnits;
    if (!std::isfinite(qx) || !std::isfinite(qy)) {
        return std::nullopt;
    }
    if (qx == std::floor(qx) || qy == std::floor(qy)) {
        return std::nullopt;
    }
    const auto index = [](double q) {
        return static_cast<long long>(std::clamp(std::floor(q), -kIndexLimit, kIndexLimit)) + 1;
    };
    return PointerCell {index(qx), index(qy)};
}

} // namespace tavrin
