// The banner: its table after a load from a server on this machine, the ticker, and the links
// its captions open.
#include "banner/feed_loader.h"
#include "banner/gg.h"
#include "desktop/home_page.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

namespace {

// Answers requests on 127.0.0.1, over TLS for an https `scheme`: /g/g.xml with `status` (the
// status line's tail, then any further header lines) and `body`, any other path, a redirect's
// target, with "200 OK" and `body`. An empty status takes the request and never answers. The body
// is always sized; a Transfer-Encoding in `status` takes precedence over that size, as it must.
struct LocalServer : QTcpServer
{
    LocalServer(const QByteArray &status, const QByteArray &body, const QString &scheme = "http")
        : status(status), body(body)
    {
        listen(QHostAddress::LocalHost, 0);
        url = scheme + "://127.0.0.1:" + QString::number(serverPort()) + "/g/g.xml";
    }
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        if (url.startsWith("https")) {
            socket->setLocalCertificate(TAVRIN_TEST_PEM);
            socket->setPrivateKey(TAVRIN_TEST_PEM, QSsl::Ec);
            socket->startServerEncryption();
        }
        connect(socket, &QTcpSocket::readyRead, this, [=, this] {
            // A request this small arrives whole over the loopback.
            paths << socket->readAll().split(' ').value(1);
            const QByteArray head = paths.last() == "/g/g.xml" ? status : "200 OK";
            if (head.isEmpty())
                return;
            socket->write("HTTP/1.1 " + head + "\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }
    const QByteArray status, body;
    QString url; // the feed's address on this server
    QByteArrayList paths; // the paths asked for, in order
};

// Answers the first request on 127.0.0.1 with `head`, then `flood` over and over from a thread
// of its own, until the client closes the connection or 10 s have passed.
struct FloodServer : QTcpServer
{
    FloodServer(const QByteArray &head, const QByteArray &flood)
        : head(head), burst(flood.repeated(64 * 1024 / flood.size() + 1))
    {
        listen(QHostAddress::LocalHost, 0);
        url = QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(serverPort());
    }
    ~FloodServer() override
    {
        if (sender)
            sender->wait();
    }
    void incomingConnection(qintptr descriptor) override
    {
        sender.reset(QThread::create([this, descriptor] {
            QTcpSocket socket;
            socket.setSocketDescriptor(descriptor);
            socket.waitForReadyRead(2000);
            socket.write(head);
            for (QDeadlineTimer end(10000);
                 socket.state() == QAbstractSocket::ConnectedState && !end.hasExpired();) {
                if (socket.bytesToWrite() < burst.size())
                    socket.write(burst);
                socket.waitForBytesWritten(20);
            }
        }));
        sender->start();
    }
    QString url;
    const QByteArray head, burst;
    std::unique_ptr<QThread> sender; // sends the flood; ends once nothing reads it any more
};

// A feed of one item per "title|link".
QByteArray rss(const QByteArrayList &items)
{
    return "<rss><channel><item><title>"
        + items.join("</link></item><item><title>").replace('|', "</title><link>")
        + "</link></item></channel></rss>";
}

const QByteArray kOne = rss({"唯一|http://a/1"});
const QByteArray kThree = rss({"一|http://a.test/1", "二|https://a.test/2", "三|http://a.test/3"});
const QStringList kFallback = {"淘宝特卖123", "商城导航", "天猫商城", "购物客", "女装频道",
    "美容频道", "男人频道", "家电数码"};
// Opening addresses of these schemes is intercepted, so that nothing is really opened.
const QStringList kSchemes = {"http", "https", "file", "javascript"};

} // namespace

class BannerTest : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened_ << url.toString(); }

private slots:
    void initTestCase()
    {
        for (const QString &scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
        // The secure server's certificate is trusted, as a real feed's would be.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QVERIFY(tls.addCaCertificates(TAVRIN_TEST_PEM));
        QSslConfiguration::setDefaultConfiguration(tls);
    }
    void cleanupTestCase()
    {
        for (const QString &scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound_data()
    {
        // The server answers with `status` and gets `requests` requests; with none, it is closed
        // before the load.
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<int>("requests");
        const auto row = [](const char *name, const QByteArray &body, const QStringList &table,
                             const QByteArray &status = "200 OK", int requests = 1) {
            QTest::newRow(name) << status << body << table << requests;
        };
        // One item titled "淘宝特卖123", declared and encoded as `encoding`, the declaration padded
        // with `more` spaces.
        const auto encoded = [](const char *encoding, int more = 0) -> QByteArray {
            return QStringEncoder(encoding).encode("<?xml version=\"1.0\"" + QString(more, ' ')
                + " encoding=\"" + encoding + "\"?>" + QString(rss({"淘宝特卖123|h"})));
        };
        // The body in one chunk with an extension, then a trailer.
        const QByteArray kChunked = "200 OK\r\nTransfer-Encoding: chunked";
        const auto chunked = [](const QByteArray &body) {
            return QByteArray::number(body.size(), 16) + ";x=y\r\n" + body
                + "\r\n0\r\nX-T: z\r\n\r\n";
        };
        // Three items padded with spaces to 1 MiB and `more` bytes.
        const auto mebibyte = [](qsizetype more) {
            return kThree + QByteArray(1024 * 1024 - kThree.size() + more, ' ');
        };
        const QStringList three = {"一", "二", "三"};

        row("three items", kThree, three);
        row("one item", kOne, {"唯一"});
        row("missing second title shifts later captions forward",
            QByteArray(kThree).replace("<title>二</title>", ""), {"一", "三", ""});
        row("empty first title falls back", rss({"|h", "B|h"}), kFallback);
        row("a title nested in a title keeps only its own text",
            rss({"外<channel><item><title>内</title></item></channel>层|h"}), {"外层", "内"});
        row("text and CDATA of a title, trimmed", rss({" \n 甲<![CDATA[ <乙> ]]>\t|h"}),
            {"甲 <乙>"});
        row("items outside a channel are not read",
            "<rss><item><title>外</title></item>" + kThree.mid(5), three);
        row("malformed XML falls back", kThree.left(40), kFallback);
        row("GB2312 feed", encoded("GB2312"), {"淘宝特卖123"});
        row("UTF-16 feed", encoded("UTF-16"), {"淘宝特卖123"});
        row("declaration over 512 bytes not read", encoded("GB2312", 512), kFallback);
        row("undecodable bytes fall back", rss({"\xff|h"}), kFallback);
        row("entities stay unexpanded, external ones unread",
            "<!DOCTYPE rss [<!ENTITY a \"lol\"><!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                + rss({"&a;&x;|h"}),
            {"&a;&x;"});
        row("404 falls back", kThree, kFallback, "404 Not Found");
        row("connection refused falls back", kThree, kFallback, "", 0);
        row("silent server falls back", kThree, kFallback, "");
        row("body of 1 MiB", mebibyte(0), three);
        row("body over 1 MiB falls back", mebibyte(1), kFallback);
        row("redirect to a local file falls back", kThree, kFallback,
            "302 Found\r\nLocation: file:///etc/passwd");
        row("redirect is followed", kThree, three, "302 Found\r\nLocation: /g/h.xml", 2);
        row("a redirect loop ends after five redirects", kThree, kFallback,
            "302 Found\r\nLocation: /g/g.xml", 6);
        row("chunked body", chunked(kThree), three, kChunked);
        row("chunked body over 1 MiB falls back", chunked(mebibyte(1)), kFallback, kChunked);
        row("chunk-size line over 1 KiB falls back", QByteArray(1024, '0') + chunked(kOne),
            kFallback, kChunked);
        row("body up to the end of the connection", kOne, {"唯一"},
            "200 OK\r\nTransfer-Encoding: identity");
        row("header lines over 64 KiB fall back", kOne, kFallback,
            "200 OK" + ("\r\nX-Flood: " + QByteArray(60, 'a')).repeated(1100));
        row("interim answers over 64 KiB fall back", kOne, kFallback,
            QByteArray("100 Continue\r\n\r\nHTTP/1.1 ").repeated(3000) + "200 OK");
        row("a status of four digits falls back", kOne, kFallback, "2000 OK");
        row("two lengths that differ fall back", kOne, kFallback, "200 OK\r\nContent-Length: 5");
        row("a signed chunk size falls back", "+" + chunked(kOne), kFallback, kChunked);
        row("a caption is cut at 256 characters", rss({QByteArray(300, 'a') + "|h"}),
            {QString(256, 'a')});
        row("a cut leaves no blank and splits no character",
            rss({QByteArray(255, 'a') + " b|h", QByteArray(255, 'a') + "\xF0\x9F\x98\x80|h"}),
            {QString(255, 'a'), QString(255, 'a')});
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, table);
        QFETCH(int, requests);
        LocalServer server(status, body);
        if (requests == 0)
            server.close();
        const QDeadlineTimer bound(3000);

        const tavrin::Gg banner(nullptr, server.url);

        QVERIFY(!bound.hasExpired());
        QCOMPARE(server.paths.size(), requests);
        // The table, then Label1 and Label2(0) show entry 0 and Label2(1) entry 1; with a single
        // entry Label2(1) keeps its design caption.
        QStringList shown;
        for (const tavrin::BannerEntry &entry : banner.entries())
            shown << entry.caption;
        for (const char *name : {"Label1", "Label2_0", "Label2_1"})
            shown << banner.findChild<QLabel *>(name)->text();
        QCOMPARE(shown, table + QStringList({table[0], table[0], table.value(1, "商城导航")}));
    }

    // An https feed is never redirected down to http.
    void secureFeedRedirectsOnlyToSecureAddresses()
    {
        LocalServer plain("200 OK", kOne);
        LocalServer secure("302 Found\r\nLocation: " + plain.url.toLatin1(), {}, "https");
        QVERIFY(!tavrin::fetchFeed(secure.url));
        QCOMPARE(secure.paths, QByteArrayList({"/g/g.xml"})); // the secure exchange itself works
        QVERIFY(plain.paths.isEmpty());
    }

    void largestFeedsParseInLinearTime_data()
    {
        // A channel of the largest size loaded, `open` repeated as often as fits, each closed by
        // `close`: titles in titles, items in items whose titles are leaves, and flat items of
        // which only the first 32767 count.
        QTest::addColumn<QByteArray>("open");
        QTest::addColumn<QByteArray>("close");
        QTest::newRow("titles") << QByteArray("<channel><item><title>x")
                                << QByteArray("</title></item></channel>");
        QTest::newRow("items") << QByteArray("<channel><item><title>x</title>")
                               << QByteArray("</item></channel>");
        QTest::newRow("flat") << QByteArray("<item><title>x</title></item>") << QByteArray();
    }

    void largestFeedsParseInLinearTime()
    {
        QFETCH(QByteArray, open);
        QFETCH(QByteArray, close);
        const int count = (1024 * 1024 - 19) / int(open.size() + close.size());
        QElapsedTimer clock;
        clock.start();
        const std::vector<tavrin::BannerEntry> entries = tavrin::parseFeed(
            "<channel>" + open.repeated(count) + close.repeated(count) + "</channel>");
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed()) + " ms"));
        QCOMPARE(entries.size(), std::size_t(std::min(count, 32767)));
        QCOMPARE(entries.front().caption + entries.back().caption, "xx"); // their own texts
    }

    // Label1 shows entry 0 twice before the entries cycle; at the start and after each advance a
    // click on it opens the link of the caption shown.
    void floodingServerIsCutOffInTime_data()
    {
        // What the server sends once, then over and over.
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("flood");
        QTest::newRow("endless header lines")
            << QByteArray("HTTP/1.1 200 OK\r\n") << "X-Flood: " + QByteArray(60, 'a') + "\r\n";
        QTest::newRow("endless 100 Continue")
            << QByteArray() << QByteArray("HTTP/1.1 100 Continue\r\n\r\n");
        QTest::newRow("endless header")
            << QByteArray("HTTP/1.1 200 OK\r\nX-Big: ") << QByteArray(1024, 'b');
    }

    void floodingServerIsCutOffInTime()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, flood);
        FloodServer server(head, flood);
        QElapsedTimer clock;
        clock.start();

        QVERIFY(!tavrin::fetchFeed(server.url));

        QVERIFY2(clock.elapsed() < 2200, qPrintable(QString::number(clock.elapsed()) + " ms"));
        // Nothing goes on reading: the server's writes fail at once.
        QVERIFY(server.sender && server.sender->wait(1000));
    }

    void tickerScrollsRestsAndRotates()
    {
        tavrin::Gg banner(nullptr, LocalServer("404 Not Found", {}).url); // the fallback
        auto *Label1 = banner.findChild<QLabel *>("Label1");
        QString tops; // Label1's top at each tick, "*" where it rests 6000 ms instead of 20
        QStringList seen;
        for (int tick = 0; seen.size() < 11 && tick < 300; ++tick, banner.advanceTicker()) {
            tops += QString::number(Label1->y()) + (banner.tickerInterval() == 6000 ? "* " : " ");
            if (tick == 0 || Label1->y() == 24) {
                seen << Label1->text();
                opened_.clear();
                QTest::mouseClick(Label1, Qt::LeftButton);
                for (const tavrin::BannerEntry &entry : banner.entries())
                    QVERIFY(entry.caption != seen.last() || opened_ == QStringList {entry.link});
            }
        }
        QCOMPARE(tops.section(' ', 0, 27),
            "8 7 6* 5 4 3 2 1 0 24 23 22 21 20 19 18 17 16 15 14 13 12 11 10 9 8 7 6*");
        QCOMPARE(seen, QStringList {kFallback[0]} + kFallback + kFallback.first(2));
    }

    void pointerMovesHoldReleaseAndColour()
    {
        tavrin::Gg banner(nullptr, LocalServer("404 Not Found", {}).url); // the fallback
        const QHash<QString, QChar> letter = {{"#0000c0", 'd'}, {"#ff0000", 'r'}, {"#0000ff", 'b'}};
        QStringList seen;
        for (const QString name :
            {"Label2_0", "Label2_1", "Label1", "Label3", "Picture1", "Label1", "Gg"}) {
            QWidget *target = name == "Gg" ? &banner : banner.findChild<QWidget *>(name);
            QMouseEvent move(QEvent::MouseMove, {1, 1}, {1, 1}, Qt::NoButton, {}, {});
            QCoreApplication::sendEvent(target, &move);
            seen << (banner.tickerRunning() ? "runs " : "held ")
                    + QString::number(banner.tickerTop()) + ' ';
            for (const char *label : {"Label1", "Label2_0", "Label2_1", "Label3"})
                seen.last() += letter.value(
                    banner.findChild<QLabel *>(label)->palette().windowText().color().name(), '?');
        }

        // After each move: whether the ticker runs, Label1's top, and the colours of Label1,
        // Label2(0), Label2(1) and Label3: d dark blue #0000c0 as designed, r red under the
        // pointer, b blue #0000ff once it has left. "Gg" is the banner's own background.
        QCOMPARE(seen.join(", "),
            "runs 8 drdd, runs 8 drrd, held 6 rrrd, held 6 rrrd, runs 6 brrd, held 6 rrrd, runs 6 "
            "bbbd");
    }

    void clickOpensTheLinkOfItsLabelIfItIsAWebAddress()
    {
        const char *kHome = tavrin::kAuthorHomePage;
        // Each label is clicked in turn, in banners of three entries, of one entry, and of a
        // script link and an http address without a host: only http and https addresses with a
        // host are opened, and Label2(1) of a single entry opens nothing.
        opened_.clear();
        for (const QByteArray &feed : {kThree, kOne, rss({"脚|javascript:x()", "无|http://"})}) {
            LocalServer server("200 OK", feed);
            const tavrin::Gg banner(nullptr, server.url);
            for (const char *name : {"Label1", "Label2_0", "Label2_1", "Label3"})
                QTest::mouseClick(banner.findChild<QLabel *>(name), Qt::LeftButton);
        }

        QCOMPARE(opened_,
            QStringList({"http://a.test/1", "http://a.test/1", "https://a.test/2", kHome,
                "http://a/1", "http://a/1", kHome, kHome}));
    }

private:
    QStringList opened_;
};

QTEST_MAIN(BannerTest)
#include "test_banner.moc"
