#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <curl/curl.h>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace tavrin {

// Runs libcurl transfers on the calling thread: a multi handle whose sockets and timer are
// watched by a local Qt event loop, so that the thread's other sockets and timers keep working
// while it waits and user input stays queued. The connections it keeps between transfers close
// when it is destroyed.
class CurlEventLoop
{
public:
    CurlEventLoop();
    ~CurlEventLoop();
    CurlEventLoop(const CurlEventLoop &) = delete;
    CurlEventLoop &operator=(const CurlEventLoop &) = delete;

    // Runs the transfer of `easy` until it ends, giving its outcome, or until `deadline` has
    // passed, giving CURLE_OPERATION_TIMEDOUT. Either way the transfer is over on return.
    CURLcode run(CURL *easy, const QDeadlineTimer &deadline);

private:
    // The read and write notifiers of one socket.
    struct SocketWatch
    {
        std::unique_ptr<QSocketNotifier> read;
        std::unique_ptr<QSocketNotifier> write;
    };

    static int watchSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int scheduleTimeout(CURLM *multi, long milliseconds, void *self);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);

    CURLM *multi_;
    QEventLoop loop_;
    QTimer curlTimer_; // when libcurl wants to be called back without socket activity
    std::map<curl_socket_t, SocketWatch> watches_;
    // Watches of sockets libcurl no longer uses; a notifier may be retired while it signals, so
    // they are destroyed only once the transfer is over.
    std::vector<SocketWatch> retired_;
    std::optional<CURLcode> outcome_;
};

} // namespace tavrin
