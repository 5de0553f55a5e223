#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <optional>

namespace tavrin {

// Bounds of one feed fetch. The window waits for the fetch before it is shown, so a slow,
// stalled or oversized answer must end as a failure rather than hold the program.
struct FeedFetchLimits
{
    // Connection and whole transfer together; with the parse and the first paint after it, the
    // window still shows within 2.2 s of the start whatever the server does.
    std::chrono::milliseconds deadline {1800};
    qsizetype maxBodyBytes = 1024 * 1024;
};

// Fetches an http or https address and waits (running a local event loop that leaves user
// input queued) until the answer has arrived or the fetch has failed. Returns the body of a
// successful (2xx) answer. Redirects are followed only to http or https, never from https down
// to http. Anything else, including another scheme in the address, gives nothing, and so does an
// answer whose header lines (interim answers included) pass 64 KiB. The connection is made and
// read on the calling thread and closed before the function returns, whatever the server sends.
std::optional<QByteArray> fetchFeed(const QString &url, const FeedFetchLimits &limits = {});

} // namespace tavrin
