#pragma once

#include <QFont>

namespace tavrin {

// The Song face the captions were designed for, falling back to the CJK serif faces that
// Linux desktops carry ("宋体" itself exists only on Windows).
QFont songFont(double pointSize, QFont::Weight weight = QFont::Normal);

// A sans-serif face in place of "Arial".
QFont arialFont(double pointSize, QFont::Weight weight = QFont::Normal);

// A plain UI face in place of the Windows "System" font.
QFont systemFont(double pointSize, QFont::Weight weight = QFont::Normal);

// `font` with the Song faces behind it for the Chinese characters it lacks. Menus and message
// boxes in the toolkit's default font would otherwise pull in whatever CJK face the system
// picks (often a second, large font file), next to the Song face the window already uses.
QFont withSongFallback(const QFont &font);

} // namespace tavrin
