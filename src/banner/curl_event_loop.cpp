#include "banner/curl_event_loop.h"

#include <QSocketNotifier>

namespace tavrin {

CurlEventLoop::CurlEventLoop() : multi_(curl_multi_init())
{
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlEventLoop::watchSocket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlEventLoop::scheduleTimeout);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    curlTimer_.setSingleShot(true);
    curlTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(
        &curlTimer_, &QTimer::timeout, &curlTimer_, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlEventLoop::~CurlEventLoop()
{
    // Closing the kept connections needs no more watching.
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, nullptr);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, nullptr);
    curl_multi_cleanup(multi_);
}

CURLcode CurlEventLoop::run(CURL *easy, const QDeadlineTimer &deadline)
{
    outcome_.reset();
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    deadlineTimer.setTimerType(Qt::PreciseTimer); // a coarse one may end the wait early
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop_, &QEventLoop::quit);
    if (!deadline.isForever()) {
        deadlineTimer.start(std::chrono::milliseconds(deadline.remainingTime()));
    }
    // libcurl asks for a call through the timer at once, which starts the transfer.
    if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    loop_.exec(QEventLoop::ExcludeUserInputEvents);
    // Removing the handle ends the transfer and its name lookup; with CURLOPT_QUICK_EXIT set on
    // the handle, a lookup that still waits for an answer is left behind rather than waited for.
    curl_multi_remove_handle(multi_, easy);
    curlTimer_.stop();
    retired_.clear();
    return outcome_.value_or(CURLE_OPERATION_TIMEDOUT);
}

int CurlEventLoop::watchSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<CurlEventLoop *>(self)->watch(socket, what);
    return 0;
}

int CurlEventLoop::scheduleTimeout(CURLM *, long milliseconds, void *self)
{
    QTimer &timer = static_cast<CurlEventLoop *>(self)->curlTimer_;
    if (milliseconds < 0) {
        timer.stop();
    } else {
        timer.start(std::chrono::milliseconds(milliseconds));
    }
    return 0;
}

void CurlEventLoop::watch(curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        const auto found = watches_.find(socket);
        if (found != watches_.end()) {
            found->second.read->setEnabled(false);
            found->second.write->setEnabled(false);
            retired_.push_back(std::move(found->second));
            watches_.erase(found);
        }
        return;
    }
    SocketWatch &sockets = watches_[socket];
    if (!sockets.read) {
        sockets.read = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        sockets.write = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        QObject::connect(sockets.read.get(), &QSocketNotifier::activated, sockets.read.get(),
            [this, socket] { act(socket, CURL_CSELECT_IN); });
        QObject::connect(sockets.write.get(), &QSocketNotifier::activated, sockets.write.get(),
            [this, socket] { act(socket, CURL_CSELECT_OUT); });
    }
    sockets.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    sockets.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

// Lets libcurl act on a socket that is ready, or on its timer, then looks for the end of the
// transfer.
void CurlEventLoop::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    int left = 0;
    while (const CURLMsg *message = curl_multi_info_read(multi_, &left)) {
        if (message->msg == CURLMSG_DONE) {
            outcome_ = message->data.result;
            loop_.quit();
        }
    }
}

} // namespace tavrin
