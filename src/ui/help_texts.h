#pragma once

#include <QString>

namespace tavrin {

// Title of the rules box.
inline constexpr char kRulesTitle[] = "Tavrin规则";
// Title of the About box.
inline constexpr char kAboutTitle[] = "关于";

// The rules of the game: 22 lines, each ended by a carriage return alone.
QString rulesText();

// The About text naming `homePage` on its last line; four lines, each ended by a carriage return.
QString aboutText(const QString &homePage);

} // namespace tavrin
