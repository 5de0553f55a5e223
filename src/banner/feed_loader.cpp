#include "banner/feed_loader.h"

#include "banner/curl_event_loop.h"
#include "desktop/open_url.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <curl/curl.h>
#include <memory>

namespace tavrin {

namespace {

constexpr int kMaxRedirects = 5;
// Status and header lines of one answer, those of interim (1xx) answers and the trailer
// included. A server that floods header lines or "100 Continue" answers fails at this bound.
// libcurl hands over whole lines only: one it has not seen the end of fails at its own bound of
// 100 KiB, or at the deadline if it stops growing before.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
const char *const kUserAgent = "Tavrin/" TAVRIN_VERSION;

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

// Why a callback ended a transfer before libcurl did.
enum class Stop { None, HeadTooLarge, BodyTooLarge };

// One request's answer, as libcurl's callbacks hand it over.
struct Answer
{
    Answer(CURL *easy, qsizetype maxBody) : easy(easy), maxBody(maxBody) { }

    CURL *easy;
    qsizetype maxBody;
    qsizetype headBytes = 0;
    qsizetype bodyBytes = 0; // kept or not
    QByteArray body;
    Stop stop = Stop::None;
};

long statusOf(CURL *easy)
{
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

bool isSuccess(long status)
{
    return status >= 200 && status < 300;
}

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

size_t takeHeaderLine(char *, size_t size, size_t count, void *answerData)
{
    auto *answer = static_cast<Answer *>(answerData);
    answer->headBytes += static_cast<qsizetype>(size * count);
    if (answer->headBytes > kMaxHeadBytes) {
        answer->stop = Stop::HeadTooLarge;
        return 0;
    }
    return size * count;
}

// Only a successful answer's body is kept; that of any other answer (a redirect's, an error
// page) is read and dropped, under the same bound.
size_t takeBody(char *data, size_t size, size_t count, void *answerData)
{
    auto *answer = static_cast<Answer *>(answerData);
    const auto bytes = static_cast<qsizetype>(size * count);
    answer->bodyBytes += bytes;
    if (answer->bodyBytes > answer->maxBody) {
        answer->stop = Stop::BodyTooLarge;
        return 0;
    }
    if (isSuccess(statusOf(answer->easy))) {
        answer->body.append(data, bytes);
    }
    return size * count;
}

// libcurl's global state, set up once by the first fetch. It is never torn down: a name lookup
// left behind by a fetch that gave up may still be running when the program ends.
bool curlReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// A handle with the settings every request of a fetch shares.
EasyHandle newEasyHandle(const FeedFetchLimits &limits, char *errorText)
{
    EasyHandle easy(curlReady() ? curl_easy_init() : nullptr, &curl_easy_cleanup);
    if (!easy) {
        return easy;
    }
    CURL *handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // A lookup still waiting when the fetch ends is left behind instead of waited for.
    curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects are followed below, one hop at a time, so that each hop's scheme is checked.
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, ""); // every coding libcurl decodes
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t {limits.maxBodyBytes});
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &takeHeaderLine);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &takeBody);
    if (!limits.certificateAuthorities.isEmpty()) {
        curl_easy_setopt(
            handle, CURLOPT_CAINFO, QFile::encodeName(limits.certificateAuthorities).constData());
    }
    return easy;
}

// Whether a request's transfer ended with a whole answer, and if not why.
Result<> transferOutcome(
    CURLcode code, const Answer &answer, const char *errorText, const FeedFetchLimits &limits)
{
    if (answer.stop == Stop::HeadTooLarge) {
        return Failure {QStringLiteral("the header lines passed %1 bytes").arg(kMaxHeadBytes)};
    }
    if (answer.stop == Stop::BodyTooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        return Failure {QStringLiteral("the body passed %1 bytes").arg(limits.maxBodyBytes)};
    }
    if (code == CURLE_OPERATION_TIMEDOUT) {
        return Failure {QStringLiteral("timed out after %1 ms").arg(limits.deadline.count())};
    }
    if (code != CURLE_OK) {
        return Failure {QString::fromUtf8(*errorText ? errorText : curl_easy_strerror(code))};
    }
    return {};
}

// Where a redirect answer sends the fetch next, or why it goes no further.
Result<QUrl> redirectTarget(CURL *easy, const QUrl &from)
{
    const long status = statusOf(easy);
    const char *location = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
    if (!isRedirect(status) || !location) {
        return Failure {QStringLiteral("answered with status %1").arg(status)};
    }
    const QUrl target(QString::fromUtf8(location));
    const QString scheme = target.scheme().toLower();
    const bool secureBefore = from.scheme().toLower() == QLatin1String("https");
    if (scheme != QLatin1String("https") && (scheme != QLatin1String("http") || secureBefore)) {
        return Failure {
            QStringLiteral("refused a redirect from %1 to %2").arg(from.scheme(), target.scheme())};
    }
    return target;
}

} // namespace

Result<QByteArray> fetchFeed(const QString &url, const FeedFetchLimits &limits)
{
    if (!isWebAddress(url)) {
        return Failure {QStringLiteral("not an http or https address")};
    }
    char errorText[CURL_ERROR_SIZE] = {};
    const EasyHandle easy = newEasyHandle(limits, errorText);
    if (!easy) {
        return Failure {QStringLiteral("libcurl could not be set up")};
    }
    const QDeadlineTimer deadline(limits.deadline);
    CurlEventLoop loop; // declared after the handle, so its connections close first
    QUrl address(url.trimmed(), QUrl::StrictMode);
    for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
        Answer answer {easy.get(), limits.maxBodyBytes};
        curl_easy_setopt(easy.get(), CURLOPT_URL, address.toEncoded().constData());
        curl_easy_setopt(easy.get(), CURLOPT_HEADERDATA, &answer);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &answer);
        curl_easy_setopt(
            easy.get(), CURLOPT_TIMEOUT_MS, long(std::max<qint64>(1, deadline.remainingTime())));
        errorText[0] = '\0';
        const CURLcode code = loop.run(easy.get(), deadline);
        if (const Result<> outcome = transferOutcome(code, answer, errorText, limits); !outcome) {
            return Failure {outcome.reason()};
        }
        if (isSuccess(statusOf(easy.get()))) {
            return answer.body;
        }
        const Result<QUrl> target = redirectTarget(easy.get(), address);
        if (!target) {
            return Failure {target.reason()};
        }
        address = target.value();
    }
    return Failure {QStringLiteral("more than %1 redirects").arg(kMaxRedirects)};
}

} // namespace tavrin
