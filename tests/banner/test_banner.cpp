// The banner: its table after a load from a server on this machine, the ticker, and the links
// its captions open.
#include "feed.h"
#include "gg.h"
#include "home_page.h"
#include "open_url.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

using tavrin::Gg;

namespace {

// Answers every request on 127.0.0.1 with `status` (the status line's tail, then any further
// header lines) and `body`; with an empty status it takes the request and never answers.
class LocalServer : public QTcpServer
{
public:
    LocalServer(const QByteArray &answerStatus, const QByteArray &answerBody)
        : status(answerStatus), body(answerBody)
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            auto request = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
                *request += socket->readAll();
                if (!request->contains("\r\n\r\n")) {
                    return;
                }
                paths << request->split(' ').value(1);
                if (!status.isEmpty()) {
                    socket->write("HTTP/1.1 " + status + "\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(serverPort()); }

    QByteArray status;
    QByteArray body;
    QByteArrayList paths; // the paths asked for, in order
};

QByteArray rss(const QByteArrayList &titlesAndLinks)
{
    QByteArray items;
    for (qsizetype i = 0; i + 1 < titlesAndLinks.size(); i += 2) {
        items += "<item><title>" + titlesAndLinks.at(i) + "</title><link>"
            + titlesAndLinks.at(i + 1) + "</link></item>";
    }
    return "<rss><channel>" + items + "</channel></rss>";
}

// One item titled "淘宝特卖123", declared and encoded as `encoding`.
QByteArray encodedFeed(const char *encoding, QStringConverter::Flags flags = {})
{
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"" + QByteArray(encoding) + "\"?>"
        + rss({"淘宝特卖123", "http://a/1"});
    return QStringEncoder(encoding, flags).encode(QString::fromUtf8(text));
}

const QByteArray kOne = rss({"唯一", "http://a/1"});
const QByteArray kThree
    = rss({"一", "http://a.test/1", "二", "https://a.test/2", "三", "http://a.test/3"});
const QStringList kFallback = {"淘宝特卖123", "商城导航", "天猫商城", "购物客", "女装频道",
    "美容频道", "男人频道", "家电数码"};
// Opening addresses of these schemes is intercepted, so that nothing is really opened.
const QStringList kSchemes = {"http", "https", "file", "javascript"};

// A banner loaded from `document`, ticked `ticks` times; the server lives only for the load.
std::unique_ptr<Gg> bannerOf(const QByteArray &document, int ticks = 0)
{
    LocalServer server("200 OK", document);
    auto banner = std::make_unique<Gg>(nullptr, server.url());
    for (int i = 0; i < ticks; ++i) {
        banner->Timer1Timer();
    }
    return banner;
}

QStringList captionsOf(const Gg &banner)
{
    QStringList captions;
    for (const tavrin::BannerEntry &entry : banner.entries()) {
        captions << entry.caption;
    }
    return captions;
}

QLabel *label(const Gg &banner, const QString &name)
{
    return banner.findChild<QLabel *>(name);
}

} // namespace

class BannerTest : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { opened_ << url.toString(); }

private slots:
    void initTestCase()
    {
        for (const QString &scheme : kSchemes) {
            QDesktopServices::setUrlHandler(scheme, this, "open");
        }
    }
    void cleanupTestCase()
    {
        for (const QString &scheme : kSchemes) {
            QDesktopServices::unsetUrlHandler(scheme);
        }
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound_data()
    {
        // "refused" closes the server before the load; an empty status never answers.
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("table");
        const QByteArray ok = "200 OK";

        QTest::newRow("three items") << ok << kThree << QStringList {"一", "二", "三"};
        QTest::newRow("one item") << ok << kOne << QStringList {"唯一"};
        QTest::newRow("missing second title shifts later captions forward")
            << ok << QByteArray(kThree).replace("<title>二</title>", "")
            << QStringList {"一", "三", ""};
        QTest::newRow("empty first title falls back")
            << ok << rss({"", "h", "B", "h"}) << kFallback;
        QTest::newRow("no channel falls back")
            << ok << QByteArray(kThree).replace("channel", "group") << kFallback;
        QTest::newRow("malformed XML falls back") << ok << kThree.left(40) << kFallback;
        QTest::newRow("GB2312 feed") << ok << encodedFeed("GB2312") << QStringList {"淘宝特卖123"};
        QTest::newRow("UTF-16 feed")
            << ok << encodedFeed("UTF-16", QStringConverter::Flag::WriteBom)
            << QStringList {"淘宝特卖123"};
        QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a0 \"lol\">";
        for (int level = 1; level <= 9; ++level) {
            laughs += "<!ENTITY a" + QByteArray::number(level) + " \""
                + QByteArray("&a" + QByteArray::number(level - 1) + ";").repeated(10) + "\">";
        }
        QTest::newRow("billion laughs stay unexpanded")
            << ok << laughs + "]>" + rss({"&a9;", "h"}) << QStringList {"&a9;"};
        QTest::newRow("external entities are neither fetched nor read")
            << ok
            << "<!DOCTYPE rss SYSTEM \"SERVER/d\" [<!ENTITY x SYSTEM \"SERVER/x\"><!ENTITY y "
               "SYSTEM \"file:///etc/passwd\">]>"
                + rss({"&x;&y;", "h"})
            << QStringList {"&x;&y;"};
        QTest::newRow("404 falls back") << QByteArray("404 Not Found") << kThree << kFallback;
        QTest::newRow("connection refused falls back")
            << QByteArray("refused") << kThree << kFallback;
        QTest::newRow("silent server falls back") << QByteArray() << kThree << kFallback;
        QTest::newRow("body over 1 MiB falls back")
            << ok << kThree + QByteArray(1024 * 1024, ' ') << kFallback;
        QTest::newRow("redirect to a local file falls back")
            << QByteArray("302 Found\r\nLocation: file:///etc/passwd") << kThree << kFallback;
    }

    void loadShowsTheFeedOrTheFallbackWithinTheBound()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, table);
        LocalServer server(status, body);
        server.body.replace("SERVER", server.url().toLatin1());
        const QString url = server.url();
        if (status == "refused") {
            server.close();
        }
        QElapsedTimer clock;
        clock.start();

        const Gg banner(nullptr, url);

        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(
            server.paths, status == "refused" ? QByteArrayList {} : QByteArrayList {"/g/g.xml"});
        QCOMPARE(captionsOf(banner), table);
        QCOMPARE(label(banner, "Label1")->text(), table.first());
        QCOMPARE(label(banner, "Label2_0")->text(), table.first());
        // With a single entry Label2(1) keeps its design caption.
        QCOMPARE(label(banner, "Label2_1")->text(), table.value(1, "商城导航"));
    }

    void tickerMovesOnePixelATickAndRestsAtSix()
    {
        // The top of Label1 after each tick; "*" marks the 6000 ms rest, the others take 20 ms.
        const auto banner = bannerOf({});
        QStringList tops {QString::number(banner->tickerTop())};
        for (int tick = 1; tick <= 34; ++tick) {
            banner->Timer1Timer();
            QVERIFY(banner->tickerInterval() == 20 || banner->tickerInterval() == 6000);
            tops << QString::number(banner->tickerTop())
                    + (banner->tickerInterval() > 20 ? "*" : "");
        }

        QCOMPARE(tops.join(' '),
            "8 7 6* 5 4 3 2 1 0 24 23 22 21 20 19 18 17 16 15 14 13 12 11 10 9 8 7 6* 5 4 3 2 1 0 "
            "24");
    }

    void rotationShowsEntryZeroTwiceThenCycles_data()
    {
        // After each advance a click on Label1 opens the link of the caption it shows.
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QStringList>("shown");

        QTest::newRow("eight entries")
            << QByteArray()
            << QStringList {"淘宝特卖123", "淘宝特卖123", "商城导航", "天猫商城", "购物客",
                   "女装频道", "美容频道", "男人频道", "家电数码", "淘宝特卖123", "商城导航"};
        QTest::newRow("one entry") << kOne << QStringList {"唯一", "唯一", "唯一", "唯一"};
    }

    void rotationShowsEntryZeroTwiceThenCycles()
    {
        QFETCH(QByteArray, document);
        QFETCH(QStringList, shown);
        const auto banner = bannerOf(document);

        QStringList seen;
        while (seen.size() < shown.size()) {
            for (int i = 0; !seen.isEmpty() && (i == 0 || banner->tickerTop() != 24); ++i) {
                banner->Timer1Timer();
            }
            seen << label(*banner, "Label1")->text();
            opened_.clear();
            QTest::mouseClick(label(*banner, "Label1"), Qt::LeftButton);
            const auto entry = std::size_t(captionsOf(*banner).indexOf(seen.last()));
            QCOMPARE(opened_, QStringList {banner->entries().at(entry).link});
        }
        QCOMPARE(seen, shown);
    }

    void pointerMovesHoldReleaseAndColour_data()
    {
        // The pointer moves over each control of `path` ("Gg" is the banner's own background)
        // after four ticks. Colours of Label1, Label2(0), Label2(1), Label3: dark blue #0000c0
        // as designed, red under the pointer, blue #0000ff once it has left.
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("state");

        QTest::newRow("untouched")
            << QStringList {} << "runs at 4, #0000c0 #0000c0 #0000c0 #0000c0";
        QTest::newRow("over Label1 holds and reddens")
            << QStringList {"Label1"} << "held at 6, #ff0000 #0000c0 #0000c0 #0000c0";
        QTest::newRow("Label1 then Label3 stays held")
            << QStringList {"Label1", "Label3"} << "held at 6, #ff0000 #0000c0 #0000c0 #0000c0";
        QTest::newRow("Label1 then Picture1 releases and blues Label1")
            << QStringList {"Label1", "Picture1"} << "runs at 6, #0000ff #0000c0 #0000c0 #0000c0";
        QTest::newRow("Label1 then background releases and blues all")
            << QStringList {"Label1", "Gg"} << "runs at 6, #0000ff #0000ff #0000ff #0000c0";
        QTest::newRow("over Label2(0) reddens it only")
            << QStringList {"Label2_0"} << "runs at 4, #0000c0 #ff0000 #0000c0 #0000c0";
        QTest::newRow("Label2(1) then Label3 stays red")
            << QStringList {"Label2_1", "Label3"} << "runs at 4, #0000c0 #0000c0 #ff0000 #0000c0";
    }

    void pointerMovesHoldReleaseAndColour()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, state);
        const auto banner = bannerOf({}, 4);

        for (const QString &name : path) {
            QWidget *target = name == "Gg" ? banner.get() : banner->findChild<QWidget *>(name);
            QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), target->mapToGlobal(QPointF(1, 1)),
                Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &move);
        }

        QString seen = QStringLiteral("%1 at %2,")
                           .arg(banner->tickerRunning() ? "runs" : "held")
                           .arg(banner->tickerTop());
        for (const QString name : {"Label1", "Label2_0", "Label2_1", "Label3"}) {
            seen += " " + label(*banner, name)->palette().color(QPalette::WindowText).name();
        }
        QCOMPARE(seen, state);
    }

    void clickOpensTheLinkOfItsLabelIfItIsAWebAddress_data()
    {
        // Only http and https addresses with a host are opened; an empty address: nothing is.
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");

        QTest::newRow("Label1 at start opens entry 0") << kThree << "Label1"
                                                       << "http://a.test/1";
        QTest::newRow("Label2(0) opens entry 0") << kThree << "Label2_0"
                                                 << "http://a.test/1";
        QTest::newRow("Label2(1) opens entry 1") << kThree << "Label2_1"
                                                 << "https://a.test/2";
        QTest::newRow("Label3 opens the home page")
            << kThree << "Label3" << QString(tavrin::kAuthorHomePage);
        QTest::newRow("one entry: Label2(1) opens nothing") << kOne << "Label2_1" << QString();
        QTest::newRow("empty link") << rss({"空", ""}) << "Label1" << QString();
        QTest::newRow("local file link")
            << rss({"文", "file://localhost/etc/passwd"}) << "Label1" << QString();
        QTest::newRow("script link")
            << rss({"脚", "javascript:alert(1)"}) << "Label2_0" << QString();
        QTest::newRow("program path") << rss({"程", "/usr/bin/xterm"}) << "Label1" << QString();
        QTest::newRow("http without a host") << rss({"无", "http://"}) << "Label1" << QString();
    }

    void clickOpensTheLinkOfItsLabelIfItIsAWebAddress()
    {
        QFETCH(QByteArray, document);
        QFETCH(QString, name);
        QFETCH(QString, address);
        const auto banner = bannerOf(document);
        opened_.clear();

        QTest::mouseClick(label(*banner, name), Qt::LeftButton);

        QCOMPARE(opened_, address.isEmpty() ? QStringList {} : QStringList {address});
    }

private:
    QStringList opened_;
};

QTEST_MAIN(BannerTest)
#include "test_banner.moc"
