#pragma once

#include <QIcon>

namespace tavrin {

// The window's icon: a piece of board with a white and a black stone, at 32 × 32 and 16 × 16.
QIcon tavrinIcon();

} // namespace tavrin
