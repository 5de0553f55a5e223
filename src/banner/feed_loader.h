#pragma once

#include "desktop/result.h"

#include <QByteArray>
#include <QString>
#include <chrono>

namespace tavrin {

// Bounds of one feed fetch. The window waits for the fetch before it is shown, so a slow,
// stalled or oversized answer must end as a failure rather than hold the program.
struct FeedFetchLimits
{
    // Name lookup, connections and every answer together; with the parse and the first paint
    // after it, the window still shows within 2.2 s of the start whatever the server does.
    std::chrono::milliseconds deadline {1800};
    // The body as it is handed over, after any decompression, so that a small compressed answer
    // cannot grow past it.
    qsizetype maxBodyBytes = 1024 * 1024;
    // Certificate authorities (a PEM file) trusted instead of the system's; empty for the system's.
    QString certificateAuthorities;
};

// Fetches an http or https address with libcurl, running a local event loop that leaves user
// input queued until the answer has arrived, the fetch has failed or the deadline has passed.
// Gives the body of a successful (2xx) answer, or the reason why there is none. The user's proxy
// settings (http_proxy, https_proxy, no_proxy, all_proxy) apply, and compressed answers are
// accepted. At most five redirects are followed, each only to http or https, and never from an
// https address down to http. An answer whose header lines (interim answers included) pass
// 64 KiB fails. Every connection is closed before the function returns; a name lookup that has
// not answered is left to end on its own, and nothing waits for it.
Result<QByteArray> fetchFeed(const QString &url, const FeedFetchLimits &limits = {});

} // namespace tavrin
