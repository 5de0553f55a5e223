#include "ui/clock_caption.h"

#include <limits>

namespace tavrin {

namespace {

// The last two characters of "00" followed by the decimal form of `value`.
QString lastTwoDigits(int value)
{
    return (QStringLiteral("00") + QString::number(value)).right(2);
}

} // namespace

std::int16_t nextClockCount(std::int16_t seconds)
{
    if (seconds < 0 || seconds == std::numeric_limits<std::int16_t>::max()) {
        return 0;
    }
    return static_cast<std::int16_t>(seconds + 1);
}

QString clockCaption(std::int16_t seconds)
{
    const int count = seconds < 0 ? 0 : seconds;
    return lastTwoDigits(count / 60) + QLatin1Char(':') + lastTwoDigits(count % 60);
}

} // namespace tavrin
