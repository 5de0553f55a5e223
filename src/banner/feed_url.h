#pragma once

#include <QString>

namespace tavrin {

// The address the banner fetches its feed from, fixed when the program is built.
QString defaultFeedUrl();

} // namespace tavrin
