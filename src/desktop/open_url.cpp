#include "desktop/open_url.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavrin {

bool isWebAddress(const QString &url)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty()) {
        return false;
    }
    const QString scheme = parsed.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

void openWebAddress(const QString &url)
{
    if (isWebAddress(url)) {
        QDesktopServices::openUrl(QUrl(url.trimmed(), QUrl::StrictMode));
    }
}

} // namespace tavrin
