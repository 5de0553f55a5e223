#include "feed_loader.h"
#include "local_http_server.h"

#include <QElapsedTimer>
#include <QTest>

using Behaviour = LocalHttpServer::Behaviour;
using Reply = LocalHttpServer::Reply;

Q_DECLARE_METATYPE(LocalHttpServer::Reply)

namespace {

constexpr qsizetype kCap = 1024 * 1024;

const QByteArray kFeed = "<rss><channel><item><title>A</title><link>http://a/1</link></item>"
                         "</channel></rss>";

Reply redirectTo(const QByteArray &location)
{
    return Reply {302, {}, {"Location: " + location}, Behaviour::Answer};
}

} // namespace

class FetchTest : public QObject
{
    Q_OBJECT

private slots:
    void fetchReturnsTheBodyOfASuccessfulAnswer_data();
    void fetchReturnsTheBodyOfASuccessfulAnswer();
    void fetchFailsOnErrorsAndOversizedBodies_data();
    void fetchFailsOnErrorsAndOversizedBodies();
    void fetchGivesUpOnASilentOrSlowServerWithinTheDeadline_data();
    void fetchGivesUpOnASilentOrSlowServerWithinTheDeadline();
    void fetchFailsWhenNothingListens();
    void fetchRefusesAddressesThatAreNotWebAddresses_data();
    void fetchRefusesAddressesThatAreNotWebAddresses();
};

void FetchTest::fetchReturnsTheBodyOfASuccessfulAnswer_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("200 with a feed") << Reply {200, kFeed, {}, Behaviour::Answer} << kFeed;
    QTest::newRow("200 ended by closing the connection")
        << Reply {200, kFeed, {}, Behaviour::AnswerWithoutLength} << kFeed;
    const QByteArray atCap(kCap, 'x');
    QTest::newRow("body of exactly the cap") << Reply {200, atCap, {}, Behaviour::Answer} << atCap;
    QTest::newRow("same-scheme redirect is followed") << redirectTo("/g/other.xml") << kFeed;
}

void FetchTest::fetchReturnsTheBodyOfASuccessfulAnswer()
{
    QFETCH(Reply, reply);
    QFETCH(QByteArray, body);
    LocalHttpServer server;
    server.serve("/g/g.xml", reply);
    server.serve("/g/other.xml", Reply {200, kFeed, {}, Behaviour::Answer});

    const std::optional<QByteArray> fetched = tavrin::fetchFeed(server.url("/g/g.xml"));

    QVERIFY(fetched.has_value());
    QCOMPARE(*fetched, body);
}

void FetchTest::fetchFailsOnErrorsAndOversizedBodies_data()
{
    QTest::addColumn<Reply>("reply");

    QTest::newRow("404") << Reply {404, kFeed, {}, Behaviour::Answer};
    QTest::newRow("500") << Reply {500, kFeed, {}, Behaviour::Answer};
    QTest::newRow("announced body over 1 MiB")
        << Reply {200, QByteArray(kCap + 1, 'x'), {}, Behaviour::Answer};
    QTest::newRow("unannounced body over 1 MiB")
        << Reply {200, QByteArray(3 * kCap, 'x'), {}, Behaviour::AnswerWithoutLength};
    QTest::newRow("redirect to a local file") << redirectTo("file:///etc/passwd");
    QTest::newRow("redirect to another scheme") << redirectTo("ftp://127.0.0.1/g/g.xml");
    QTest::newRow("endless redirects") << redirectTo("/g/g.xml");
}

void FetchTest::fetchFailsOnErrorsAndOversizedBodies()
{
    QFETCH(Reply, reply);
    LocalHttpServer server;
    server.serve("/g/g.xml", reply);

    QVERIFY(!tavrin::fetchFeed(server.url("/g/g.xml")).has_value());
}

void FetchTest::fetchGivesUpOnASilentOrSlowServerWithinTheDeadline_data()
{
    QTest::addColumn<Reply>("reply");

    QTest::newRow("accepts and never answers") << Reply {200, kFeed, {}, Behaviour::NeverAnswer};
    QTest::newRow("answers one byte every 100 ms") << Reply {200, kFeed, {}, Behaviour::Trickle};
}

void FetchTest::fetchGivesUpOnASilentOrSlowServerWithinTheDeadline()
{
    QFETCH(Reply, reply);
    LocalHttpServer server;
    server.serve("/g/g.xml", reply);
    QElapsedTimer clock;
    clock.start();

    const std::optional<QByteArray> fetched = tavrin::fetchFeed(server.url("/g/g.xml"));

    QVERIFY(!fetched.has_value());
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.requestedPaths(), QByteArrayList {"/g/g.xml"});
}

void FetchTest::fetchFailsWhenNothingListens()
{
    const QString url
        = QStringLiteral("http://127.0.0.1:%1/g/g.xml").arg(LocalHttpServer::closedPort());
    QElapsedTimer clock;
    clock.start();

    QVERIFY(!tavrin::fetchFeed(url).has_value());
    QVERIFY(clock.elapsed() < 3000);
}

void FetchTest::fetchRefusesAddressesThatAreNotWebAddresses_data()
{
    QTest::addColumn<QString>("url");

    QTest::newRow("local file") << QStringLiteral("file:///etc/hosts");
    QTest::newRow("data address") << QStringLiteral("data:text/xml,<rss/>");
    QTest::newRow("plain path") << QStringLiteral("/etc/hosts");
    QTest::newRow("empty") << QString();
}

void FetchTest::fetchRefusesAddressesThatAreNotWebAddresses()
{
    QFETCH(QString, url);

    QVERIFY(!tavrin::fetchFeed(url).has_value());
}

QTEST_GUILESS_MAIN(FetchTest)
#include "test_fetch.moc"
