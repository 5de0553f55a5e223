#pragma once

#include <QString>
#include <cstdint>

namespace tavrin {

// The clock count after one more second. The count is 16 bits wide: after 32767 seconds it
// starts again from 0, so the clock never shows a negative time.
std::int16_t nextClockCount(std::int16_t seconds);

// "MM:SS" for a count of seconds, each part cut to its last two digits (6000 s reads "00:00").
QString clockCaption(std::int16_t seconds);

} // namespace tavrin
