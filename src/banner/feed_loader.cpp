#include "banner/feed_loader.h"

#include "desktop/open_url.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace tavrin {

namespace {

constexpr int kMaxRedirects = 5;

bool isAllowedRedirect(const QUrl &from, const QUrl &to)
{
    const QString target = to.scheme().toLower();
    if (target == QLatin1String("https")) {
        return true;
    }
    return target == QLatin1String("http") && from.scheme().toLower() == QLatin1String("http");
}

// Collects the body of one reply and aborts it once the body outgrows the cap.
class BoundedReader
{
public:
    BoundedReader(QNetworkReply *reply, qsizetype maxBytes) : m_reply(reply), m_maxBytes(maxBytes)
    {
    }

    void checkAnnouncedLength()
    {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes) {
            giveUp();
        }
    }

    void readAvailable()
    {
        if (m_tooLarge || !m_reply->isOpen()) {
            return;
        }
        m_body += m_reply->read(m_maxBytes + 1 - m_body.size());
        if (m_body.size() > m_maxBytes) {
            giveUp();
        }
    }

    bool tooLarge() const { return m_tooLarge; }
    const QByteArray &body() const { return m_body; }

private:
    void giveUp()
    {
        m_tooLarge = true;
        m_body.clear();
        m_reply->abort();
    }

    QNetworkReply *m_reply;
    qsizetype m_maxBytes;
    QByteArray m_body;
    bool m_tooLarge = false;
};

bool succeeded(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

QNetworkRequest boundedRequest(const QUrl &address, const FeedFetchLimits &limits)
{
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(limits.deadline.count()));
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    return request;
}

} // namespace

std::optional<QByteArray> fetchFeed(const QString &url, const FeedFetchLimits &limits)
{
    if (!isWebAddress(url)) {
        return std::nullopt;
    }
    const QUrl address(url.trimmed(), QUrl::StrictMode);
    const QDeadlineTimer deadline(limits.deadline);

    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(boundedRequest(address, limits));
    BoundedReader reader(reply, limits.maxBodyBytes);

    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, address](const QUrl &to) {
        if (isAllowedRedirect(address, to)) {
            emit reply->redirectAllowed();
        } else {
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply,
        [&reader] { reader.checkAnnouncedLength(); });
    QObject::connect(
        reply, &QNetworkReply::readyRead, reply, [&reader] { reader.readAvailable(); });

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, reply, &QNetworkReply::abort);
    guard.start(limits.deadline);
    if (!reply->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    guard.stop();

    reader.readAvailable();
    // The reply outlives the reader (the manager deletes it), so it must not call back into it.
    reply->disconnect();
    if (reader.tooLarge() || deadline.hasExpired() || !succeeded(reply)) {
        return std::nullopt;
    }
    return reader.body();
}

} // namespace tavrin
