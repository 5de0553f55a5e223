// The banner: its table after a load from a server on this machine, the ticker, the links its
// captions open, and the caption label it draws them with.
#include "banner/banner.h"
#include "banner/caption_label.h"
#include "banner/feed_loader.h"
#include "desktop/home_page.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QHash>
#include <QLabel>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTest>

namespace {

// Answers requests on 127.0.0.1, over TLS for an https `scheme`: /g/g.xml with `status` (the
// status line's tail, then any further header lines) and `body`, any other path, a redirect's
// target, with "200 OK" and `body`. An empty status takes the request and never answers; one of
// over 64 KiB is sent alone, and the connection kept open, so that only a cap on the head can end
// the load in time. The body is always sized; a Transfer-Encoding in `status` takes precedence
// over that size, as it must.
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
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        if (url.startsWith("https")) {
            socket->setLocalCertificate(TAVRIN_TEST_PEM);
            socket->setPrivateKey(TAVRIN_TEST_PEM, QSsl::Ec);
            socket->startServerEncryption();
        }
        connect(socket, &QTcpSocket::readyRead, this, [=, this] {
            paths << socket->readAll().split(' ').value(1); // a request this small arrives whole
            const QByteArray head = paths.last() == "/g/g.xml" ? status : "200 OK";
            if (head.isEmpty())
                return;
            socket->write("HTTP/1.1 " + head);
            if (head.size() > 64 * 1024)
                return;
            socket->write("\r\nContent-Length: " + QByteArray::number(body.size())
                + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }
    const QByteArray status, body;
    QString url; // the feed's address on this server
    QByteArrayList paths; // the paths asked for, in order
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
// One change made to a caption label and to a plain label.
using Change = void (*)(QLabel &);

} // namespace

class BannerTest : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened_ << url.toString(); }

private slots:
    void initTestCase()
    {
        // Opening addresses of these schemes is intercepted, so that nothing is really opened.
        for (const char *scheme : {"http", "https", "file", "javascript"})
            QDesktopServices::setUrlHandler(scheme, this, "open");
        // The secure server's certificate is trusted, as a real feed's would be.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QVERIFY(tls.addCaCertificates(TAVRIN_TEST_PEM));
        QSslConfiguration::setDefaultConfiguration(tls);
    }
    void cleanupTestCase()
    {
        for (const char *scheme : {"http", "https", "file", "javascript"})
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound_data()
    {
        // The server answers with `status` (see LocalServer) and gets `requests` requests.
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
        // A channel of 1 MiB, `open` repeated as often as fits, each closed by `close`: its
        // titles, each "x" and the titles nested in it, parse in linear time and only the first
        // 32767 count (titles nest inside titles, items inside items).
        const auto largest = [&row](const char *name, const QByteArray &open,
                                 const QByteArray &close) {
            const int count = (1024 * 1024 - 19) / int(open.size() + close.size());
            QStringList captions;
            for (int i = 0; i < std::min(count, 32767); ++i)
                captions << QString(close.isEmpty() ? 1 : std::min(count - i, 256), 'x');
            row(name, "<channel>" + open.repeated(count) + close.repeated(count) + "</channel>",
                captions);
        };
        const QStringList three = {"一", "二", "三"};

        row("three items of a channel, one outside it unread",
            "<rss><item><title>外</title></item>" + kThree.mid(5), three);
        row("missing second title shifts later captions forward",
            QByteArray(kThree).replace("<title>二</title>", ""), {"一", "三", ""});
        row("empty first title falls back", rss({"|h", "B|h"}), kFallback);
        row("a title's text holds that of the titles nested in it",
            rss({"外<channel><item><title>内</title></item></channel>层|h"}), {"外内层", "内"});
        row("a title's text holds that of its markup", rss({"特价<b>商品</b>热卖|h"}),
            {"特价商品热卖"});
        row("text and CDATA of a title, trimmed", rss({" \n 甲<![CDATA[ <乙> ]]>\t|h"}),
            {"甲 <乙>"});
        row("captions cut at 256 characters, with no blank at the cut and no character split",
            rss({QByteArray(300, 'a') + "|h", QByteArray(255, 'a') + " b|h",
                QByteArray(255, 'a') + "\xF0\x9F\x98\x80|h"}),
            {QString(256, 'a'), QString(255, 'a'), QString(255, 'a')});
        largest("titles in titles", "<channel><item><title>x", "</title></item></channel>");
        largest("flat items", "<item><title>x</title></item>", "");
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
        row("a signed chunk size falls back", "+" + chunked(kOne), kFallback, kChunked);
        row("body up to the end of the connection", kOne, {"唯一"},
            "200 OK\r\nTransfer-Encoding: identity");
        row("header lines over 64 KiB fall back", {}, kFallback,
            "200 OK" + ("\r\nX-Flood: " + QByteArray(60, 'a')).repeated(1100));
        row("interim answers over 64 KiB fall back", {}, kFallback,
            QByteArray("100 Continue\r\n\r\nHTTP/1.1 ").repeated(3000) + "200 OK");
        row("a header line over 64 KiB that does not end falls back at once", {}, kFallback,
            "200 OK\r\nX-Big: " + QByteArray(64 * 1024, 'b'));
        row("a status of four digits falls back", kOne, kFallback, "2000 OK");
        row("two lengths that differ fall back", kOne, kFallback, "200 OK\r\nContent-Length: 5");
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, table);
        QFETCH(int, requests);
        LocalServer server(status, body);
        // Only a silent server holds the load until the deadline; an overlong head ends it at once.
        const QDeadlineTimer bound(status.isEmpty() ? 2200 : 1000);

        const tavrin::Banner banner(nullptr, server.url);

        QCOMPARE_GT(bound.remainingTime(), 0);
        QCOMPARE(server.paths.size(), requests);
        QTRY_VERIFY(server.findChildren<QSslSocket *>().isEmpty()); // no connection left open
        // The table, then Label1 and Label2(0) show entry 0 and Label2(1) entry 1; with a single
        // entry Label2(1) keeps its design caption.
        QStringList shown;
        for (const tavrin::BannerEntry &entry : banner.entries())
            shown << entry.caption;
        for (const char *name : {"Label1", "Label2_0", "Label2_1"})
            shown << banner.findChild<QLabel *>(name)->text();
        QCOMPARE(shown, table + QStringList({table[0], table[0], table.value(1, "商城导航")}));
    }

    // A title too long to keep whole is centred on Label1 as the whole title would be: its middle
    // shows there, while Label2(0), aligned left, starts as the title starts.
    void longTitleShowsItsMiddleWhereCentred()
    {
        QString title;
        for (int i = 0; i < 315; ++i)
            title += QChar(u'一' + i);
        LocalServer server("200 OK", rss({title.toUtf8() + "|h"}));
        const tavrin::Banner banner(nullptr, server.url);
        QCOMPARE(banner.findChild<QLabel *>("Label1")->text(), title.mid(29, 256));
        QCOMPARE(banner.findChild<QLabel *>("Label2_0")->text(), title.left(256));
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

    // Label1 shows entry 0 twice before the entries cycle; at the start and after each advance a
    // click on it opens the link of the caption shown.
    void tickerScrollsRestsAndRotates()
    {
        tavrin::Banner banner(nullptr, LocalServer("404 Not Found", {}).url); // the fallback
        auto *tickerCaption = banner.findChild<QLabel *>("Label1");
        QString tops; // Label1's top at each tick, "*" where it rests 6000 ms instead of 20
        QStringList seen;
        for (int tick = 0; seen.size() < 11 && tick < 300; ++tick, banner.advanceTicker()) {
            tops += QString::number(tickerCaption->y())
                + (banner.tickerInterval() == 6000 ? "* " : " ");
            if (tick == 0 || tickerCaption->y() == 24) {
                seen << tickerCaption->text();
                opened_.clear();
                QTest::mouseClick(tickerCaption, Qt::LeftButton);
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
        tavrin::Banner banner(nullptr, LocalServer("404 Not Found", {}).url); // the fallback
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
        QCOMPARE(seen,
            QStringList({"runs 8 drdd", "runs 8 drrd", "held 6 rrrd", "held 6 rrrd", "runs 6 brrd",
                "held 6 rrrd", "runs 6 bbbd"}));
    }

    void clickOpensTheLinkOfItsLabelIfItIsAWebAddress()
    {
        const char *kHome = tavrin::kAuthorHomePage;
        // Each label is clicked in turn, in banners of three entries, of one entry, and of a
        // script link and an http address without a host: only http and https addresses with a
        // host are opened, and Label2(1) of a single entry opens nothing.
        opened_.clear();
        for (const QByteArray &feed : {kThree, kOne, rss({"脚|javascript:x()", "无|http://"})}) {
            const tavrin::Banner banner(nullptr, LocalServer("200 OK", feed).url);
            for (const char *name : {"Label1", "Label2_0", "Label2_1", "Label3"})
                QTest::mouseClick(banner.findChild<QLabel *>(name), Qt::LeftButton);
        }

        QCOMPARE(opened_,
            QStringList({"http://a.test/1", "http://a.test/1", "https://a.test/2", kHome,
                "http://a/1", "http://a/1", kHome, kHome}));
    }

    void captionLabelPaintsAsAPlainLabel_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("text") << Change([](QLabel &label) { label.setText("商城导航"); });
        QTest::newRow("font") << Change([](QLabel &label) { label.setFont(QFont("Sans", 14)); });
        QTest::newRow("palette") << Change([](QLabel &l) { l.setPalette(QPalette(Qt::red)); });
    }

    // A caption label paints a picture it keeps of itself; after a change it must still show
    // what a plain label with the same settings shows.
    void captionLabelPaintsAsAPlainLabel()
    {
        QFETCH(Change, change);
        tavrin::CaptionLabel caption;
        QLabel plain;
        // Plain text on an opaque background: the kind of label whose picture is kept.
        const Change setUp = [](QLabel &label) {
            label.setTextFormat(Qt::PlainText);
            label.setAutoFillBackground(true);
            label.setText("淘宝特卖 Tavrin");
        };
        // The first paint after a change draws the label and keeps a picture; later ones draw it.
        for (const Change step : {setUp, change}) {
            step(caption);
            step(plain);
            for (int paint = 0; paint < 2; ++paint, QCoreApplication::processEvents())
                QCOMPARE(caption.grab().toImage(), plain.grab().toImage());
        }
    }

private:
    QStringList opened_;
};

QTEST_MAIN(BannerTest)
#include "test_banner.moc"
