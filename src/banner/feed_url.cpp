#include "banner/feed_url.h"

#include "feed_config.h"

namespace tavrin {

QString defaultFeedUrl()
{
    return QStringLiteral(TAVRIN_CONFIGURED_FEED_URL);
}

} // namespace tavrin
