#include "banner/feed_loader.h"

#include "desktop/logging.h"
#include "desktop/open_url.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <optional>

namespace tavrin {

namespace {

constexpr int kMaxRedirects = 5;
// Status and header lines of one answer, those of interim (1xx) answers and the trailer
// included. A server that floods header lines or "100 Continue" answers fails at this bound.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
// The longest line that announces a chunk of a chunked body.
constexpr qsizetype kMaxChunkLineBytes = 1024;
// Bytes the socket takes from the connection before the reader has consumed them.
constexpr qint64 kReadBufferBytes = 64 * 1024;

bool isAllowedRedirect(const QUrl &from, const QUrl &to)
{
    const QString target = to.scheme().toLower();
    if (target == QLatin1String("https")) {
        return true;
    }
    return target == QLatin1String("http") && from.scheme().toLower() == QLatin1String("http");
}

// True when `text` is one or more digits of `base` (10 or 16) and nothing else: no sign, no
// "0x", no blanks.
bool isDigits(const QByteArray &text, int base)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [base](char c) {
        return (c >= '0' && c <= '9')
            || (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    });
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Reads one HTTP/1.1 answer from the bytes of its connection as they arrive: skips interim
// answers, keeps the status, the Location header and a body of at most `maxBody` bytes (sized,
// chunked, or up to the end of the connection). Memory and work stay bounded by the limits
// above, whatever the server sends.
class AnswerReader
{
public:
    explicit AnswerReader(qsizetype maxBody) : maxBody_(maxBody) { }

    // Takes the next bytes; `ended` tells that the connection has closed after them.
    void take(const QByteArray &bytes, bool ended)
    {
        buffer_ += bytes;
        while (!done() && advance()) { }
        buffer_.remove(0, pos_);
        pos_ = 0;
        if (ended && !done()) {
            state_ = state_ == State::UntilClose ? State::Done : State::Failed;
        }
    }

    bool done() const { return state_ == State::Done || state_ == State::Failed; }
    bool complete() const { return state_ == State::Done; }
    int status() const { return status_; }
    const QByteArray &location() const { return location_; }
    const QByteArray &body() const { return body_; }

private:
    enum class State {
        Head,
        Sized,
        ChunkLine,
        ChunkData,
        ChunkEnd,
        Trailer,
        UntilClose,
        Done,
        Failed
    };

    // One step over the bytes not yet consumed; false when more bytes are needed.
    bool advance()
    {
        if (state_ == State::Sized || state_ == State::ChunkData || state_ == State::UntilClose) {
            return readData();
        }
        const bool head = state_ == State::Head || state_ == State::Trailer;
        const std::optional<QByteArray> text = nextLine(head ? headBudget_ : kMaxChunkLineBytes);
        if (!text) {
            return false;
        }
        if (state_ == State::Head) {
            readHeadLine(*text);
        } else if (state_ == State::Trailer) {
            state_ = text->isEmpty() ? State::Done : State::Trailer;
        } else {
            readChunkLine(*text);
        }
        return true;
    }

    // The next whole line without its line ending. A line, or the start of one, longer than
    // `limit` fails the answer; a head line is counted against the head's bound.
    std::optional<QByteArray> nextLine(qsizetype limit)
    {
        const qsizetype end = buffer_.indexOf('\n', pos_);
        const qsizetype length = (end < 0 ? buffer_.size() : end + 1) - pos_;
        if (length > limit) {
            state_ = State::Failed;
            return std::nullopt;
        }
        if (end < 0) {
            return std::nullopt;
        }
        if (state_ == State::Head || state_ == State::Trailer) {
            headBudget_ -= length;
        }
        QByteArray text = buffer_.mid(pos_, length - 1);
        pos_ = end + 1;
        if (text.endsWith('\r')) {
            text.chop(1);
        }
        return text;
    }

    void readHeadLine(const QByteArray &text)
    {
        if (status_ == 0) {
            readStatusLine(text);
        } else if (!text.isEmpty()) {
            readField(text);
        } else if (status_ < 200 && status_ != 101) {
            // An interim answer: the real one follows.
            status_ = 0;
            location_.clear();
            length_ = -1;
            transferCoding_.clear();
        } else {
            startBody();
        }
    }

    void readStatusLine(const QByteArray &text)
    {
        const QByteArray code = text.mid(9, 3);
        const bool digits = code.size() == 3
            && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!text.startsWith("HTTP/1.") || text.size() < 12 || text[8] != ' ' || !digits
            || code[0] == '0' || (text.size() > 12 && text[12] != ' ')) {
            state_ = State::Failed;
            return;
        }
        status_ = code.toInt();
    }

    void readField(const QByteArray &text)
    {
        const qsizetype colon = text.indexOf(':');
        const QByteArray name = text.left(std::max<qsizetype>(colon, 0)).trimmed().toLower();
        const QByteArray value = text.mid(colon + 1).trimmed();
        if (name == "content-length") {
            // Digits only, and the same length each time it is given.
            bool parsed = false;
            const qint64 length = value.toLongLong(&parsed);
            const bool valid = parsed && isDigits(value, 10) && (length_ < 0 || length == length_);
            length_ = length;
            state_ = valid ? state_ : State::Failed;
        } else if (name == "transfer-encoding") {
            transferCoding_ += (transferCoding_.isEmpty() ? "" : ",") + value.toLower();
        } else if (name == "location") {
            location_ = value;
        }
    }

    // Only a successful answer's body is read; any other answer is whole after its head.
    void startBody()
    {
        if (status_ < 200 || status_ >= 300 || status_ == 204) {
            state_ = status_ == 101 ? State::Failed : State::Done;
        } else if (!transferCoding_.isEmpty()) {
            const bool chunked = transferCoding_.split(',').last().trimmed() == "chunked";
            state_ = chunked ? State::ChunkLine : State::UntilClose;
        } else if (length_ < 0) {
            state_ = State::UntilClose;
        } else {
            left_ = length_;
            state_ = length_ > maxBody_ ? State::Failed : length_ == 0 ? State::Done : State::Sized;
        }
    }

    void readChunkLine(const QByteArray &text)
    {
        if (state_ == State::ChunkEnd) {
            state_ = text.isEmpty() ? State::ChunkLine : State::Failed;
            return;
        }
        const qsizetype extension = text.indexOf(';'); // chunk extensions are ignored
        const QByteArray size = text.left(extension < 0 ? text.size() : extension).trimmed();
        bool valid = false;
        left_ = size.toLongLong(&valid, 16);
        if (!valid || !isDigits(size, 16) || left_ < 0) {
            state_ = State::Failed;
        } else {
            state_ = left_ == 0 ? State::Trailer : State::ChunkData;
        }
    }

    bool readData()
    {
        const qsizetype available = buffer_.size() - pos_;
        const qsizetype count
            = state_ == State::UntilClose ? available : std::min<qint64>(available, left_);
        if (body_.size() + count > maxBody_) {
            state_ = State::Failed;
            return false;
        }
        body_.append(buffer_.constData() + pos_, count);
        pos_ += count;
        left_ -= count;
        if (state_ != State::UntilClose && left_ == 0) {
            state_ = state_ == State::Sized ? State::Done : State::ChunkEnd;
        }
        return count > 0;
    }

    qsizetype maxBody_;
    State state_ = State::Head;
    QByteArray buffer_; // bytes received and not yet dropped; those before pos_ are consumed
    qsizetype pos_ = 0;
    qsizetype headBudget_ = kMaxHeadBytes;
    int status_ = 0; // 0 until the status line of the current answer has been read
    qint64 length_ = -1; // Content-Length, or -1
    QByteArray transferCoding_; // the codings of Transfer-Encoding, lower case
    QByteArray location_;
    qint64 left_ = 0; // bytes of the sized body or of the current chunk still to come
    QByteArray body_;
};

QByteArray requestFor(const QUrl &address)
{
    QByteArray target = address.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty()) {
        target = "/";
    }
    if (address.hasQuery()) {
        target += '?' + address.query(QUrl::FullyEncoded).toLatin1();
    }
    QByteArray host = address.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':')) {
        host = '[' + host + ']';
    }
    if (address.port() != -1) {
        host += ':' + QByteArray::number(address.port());
    }
    return "GET " + target + " HTTP/1.1\r\nHost: " + host
        + "\r\nUser-Agent: Mozilla/5.0\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

// Connects the socket to the address, over TLS for https, and sends `request` once the
// connection is ready for it.
void openConnection(QTcpSocket &socket, const QUrl &address, const QByteArray &request)
{
    const auto send = [&socket, request] {
        socket.write(request);
    };
    if (auto *secure = qobject_cast<QSslSocket *>(&socket)) {
        QObject::connect(secure, &QSslSocket::encrypted, secure, send);
        secure->connectToHostEncrypted(address.host(), static_cast<quint16>(address.port(443)));
    } else {
        QObject::connect(&socket, &QAbstractSocket::connected, &socket, send);
        socket.connectToHost(address.host(), static_cast<quint16>(address.port(80)));
    }
}

// One request and its answer, over a connection of the calling thread, until the answer is
// whole, the connection fails or the deadline passes. The connection is closed on return, so
// nothing goes on reading whatever the server still sends.
void exchange(const QUrl &address, const QDeadlineTimer &deadline, AnswerReader &reader)
{
    const bool secure = address.scheme().toLower() == QLatin1String("https");
    const std::unique_ptr<QTcpSocket> socket
        = secure ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(kReadBufferBytes);
    QEventLoop loop;
    QObject::connect(socket.get(), &QIODevice::readyRead, &loop, [&] {
        reader.take(socket->readAll(), false);
        if (reader.done() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    QObject::connect(socket.get(), &QAbstractSocket::disconnected, &loop, [&] {
        reader.take(socket->readAll(), true);
        loop.quit();
    });
    QObject::connect(socket.get(), &QAbstractSocket::errorOccurred, &loop,
        [&](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError) {
                loop.quit();
            }
        });
    QTimer::singleShot(static_cast<int>(deadline.remainingTime()), &loop, &QEventLoop::quit);
    openConnection(*socket, address, requestFor(address));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket->disconnect(); // closing must not feed the reader again
    socket->abort();
}

// Says on the feed's debug line why nothing was loaded; the banner then shows its fallback list.
std::optional<QByteArray> notLoaded(const char *why, const QUrl &address)
{
    qCDebug(lcFeed) << "feed not loaded from" << address.toDisplayString() << ":" << why;
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> fetchFeed(const QString &url, const FeedFetchLimits &limits)
{
    if (!isWebAddress(url)) {
        return notLoaded("not an http(s) address", QUrl(url));
    }
    QUrl address(url.trimmed(), QUrl::StrictMode);
    const QDeadlineTimer deadline(limits.deadline);
    for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
        AnswerReader answer(limits.maxBodyBytes);
        exchange(address, deadline, answer);
        if (!answer.complete() || deadline.hasExpired()) {
            return notLoaded(
                "no complete answer (refused, cut off, too slow or too large)", address);
        }
        if (answer.status() >= 200 && answer.status() < 300) {
            return answer.body();
        }
        const QUrl target = address.resolved(QUrl(QString::fromUtf8(answer.location())));
        if (!isRedirect(answer.status()) || answer.location().isEmpty()
            || !isAllowedRedirect(address, target)) {
            return notLoaded(
                "answered with a status other than success or a safe redirect", address);
        }
        address = target;
    }
    return notLoaded("too many redirects", address);
}

} // namespace tavrin
