#pragma once

#include <QString>

namespace tavrin {

// Hands a web address to the desktop's browser and returns at once. Only http and https
// addresses are opened; anything else (a program, a local file, another scheme) is ignored.
// Nothing is reported either way.
void openWebAddress(const QString &url);

// True when openWebAddress would hand this address on.
bool isWebAddress(const QString &url);

} // namespace tavrin
