#include "feed.h"
#include "open_url.h"
#include "xml_decoding.h"

#include <QElapsedTimer>
#include <QStringEncoder>
#include <QTest>

using tavrin::BannerEntry;

namespace {

QByteArray item(const QByteArray &title, const QByteArray &link)
{
    return "<item><title>" + title + "</title><link>" + link + "</link></item>";
}

QByteArray rss(const QByteArray &items)
{
    return "<?xml version=\"1.0\"?><rss><channel>" + items + "</channel></rss>";
}

QStringList captionsOf(const std::vector<BannerEntry> &entries)
{
    QStringList captions;
    for (const BannerEntry &entry : entries) {
        captions << entry.caption;
    }
    return captions;
}

QStringList linksOf(const std::vector<BannerEntry> &entries)
{
    QStringList links;
    for (const BannerEntry &entry : entries) {
        links << entry.link;
    }
    return links;
}

QByteArray encoded(const QString &text, const char *encoding,
    QStringConverter::Flags flags = QStringConverter::Flag::Default)
{
    QStringEncoder encoder(encoding, flags);
    if (!encoder.isValid()) {
        qFatal("no encoder for %s", encoding);
    }
    return encoder.encode(text);
}

} // namespace

class FeedTest : public QObject
{
    Q_OBJECT

private slots:
    void parseFeedReadsTitlesAndLinksByPosition_data();
    void parseFeedReadsTitlesAndLinksByPosition();
    void parseFeedDecodesDeclaredEncodings_data();
    void parseFeedDecodesDeclaredEncodings();
    void parseFeedRejectsUndecodableBytes_data();
    void parseFeedRejectsUndecodableBytes();
    void parseFeedNeitherExpandsNorFetchesEntities_data();
    void parseFeedNeitherExpandsNorFetchesEntities();
    void parseFeedStopsAtTheEntryLimitInLinearTime();
    void tableAfterLoadFallsBackWithoutAFirstCaption_data();
    void tableAfterLoadFallsBackWithoutAFirstCaption();
    void fallbackListHasTheEightCaptionsWithWebLinks();
};

void FeedTest::parseFeedReadsTitlesAndLinksByPosition_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("three items in feed order")
        << rss(item("一", "http://a/1") + item("二", "http://a/2") + item("三", "http://a/3"))
        << QStringList {"一", "二", "三"} << QStringList {"http://a/1", "http://a/2", "http://a/3"};
    QTest::newRow("one item") << rss(item("唯一", "http://a/1")) << QStringList {"唯一"}
                              << QStringList {"http://a/1"};
    QTest::newRow("missing second title shifts later captions forward")
        << rss(item("A", "http://a/1") + "<item><link>http://a/2</link></item>"
               + item("C", "http://a/3"))
        << QStringList {"A", "C", ""} << QStringList {"http://a/1", "http://a/2", "http://a/3"};
    QTest::newRow("second title of one item takes the next entry")
        << rss("<item><title>A</title><title>B</title><link>http://a/1</link></item>"
               + item("C", "http://a/2"))
        << QStringList {"A", "B"} << QStringList {"http://a/1", "http://a/2"};
    QTest::newRow("item without link keeps an empty link")
        << rss("<item><title>A</title></item>" + item("B", "http://a/2")) << QStringList {"A", "B"}
        << QStringList {"http://a/2", ""};
    QTest::newRow("channel at any depth") << QByteArray(
        "<feed><x><y><channel>" + item("深", "http://a/d") + "</channel></y></x></feed>")
                                          << QStringList {"深"} << QStringList {"http://a/d"};
    QTest::newRow("items of two channels in document order") << QByteArray("<r><channel>"
        + item("A", "http://a/1") + "</channel><channel>" + item("B", "http://a/2")
        + "</channel></r>") << QStringList {"A", "B"} << QStringList {"http://a/1", "http://a/2"};
    QTest::newRow("nested text and CDATA are joined, markup is text") << rss(
        "<item><title>淘<b>宝</b><![CDATA[<i>&特</i>]]></title><link>http://a/1</link></"
        "item>") << QStringList {"淘宝<i>&特</i>"} << QStringList {"http://a/1"};
    QTest::newRow("surrounding whitespace is trimmed, inner kept")
        << rss(item("\n   A  B \t\n", "  http://a/1\n")) << QStringList {"A  B"}
        << QStringList {"http://a/1"};
    QTest::newRow("predefined and character references are expanded")
        << rss(item("&#x6DD8;&amp;&lt;", "http://a/?x=1&amp;y=2")) << QStringList {"淘&<"}
        << QStringList {"http://a/?x=1&y=2"};
    QTest::newRow("no channel gives nothing")
        << QByteArray("<rss>" + item("A", "http://a/1") + "</rss>") << QStringList {}
        << QStringList {};
    QTest::newRow("channel without items gives nothing")
        << rss("<title>A</title><link>http://a/1</link>") << QStringList {} << QStringList {};
    QTest::newRow("malformed XML gives nothing")
        << QByteArray("<rss><channel><item><title>A</title></channel></rss>") << QStringList {}
        << QStringList {};
    QTest::newRow("empty body gives nothing") << QByteArray() << QStringList {} << QStringList {};
    QTest::newRow("HTML page gives nothing")
        << QByteArray("<html><body><p>Not found<br></body></html>") << QStringList {}
        << QStringList {};
}

void FeedTest::parseFeedReadsTitlesAndLinksByPosition()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, links);

    const std::vector<BannerEntry> entries = tavrin::parseFeed(document);

    QCOMPARE(captionsOf(entries), captions);
    QCOMPARE(linksOf(entries), links);
}

void FeedTest::parseFeedDecodesDeclaredEncodings_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("caption");

    const QString chinese = QStringLiteral("淘宝特卖123");
    const auto declaredAs = [&](const char *declared, const QString &title, const char *encoding,
                                QStringConverter::Flags flags = QStringConverter::Flag::Default) {
        const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>"
                                            "<rss><channel><item><title>%2</title>"
                                            "<link>http://a/1</link></item></channel></rss>")
                                 .arg(QLatin1String(declared), title);
        return encoded(text, encoding, flags);
    };
    const auto undeclared = [&](const char *encoding, QStringConverter::Flags flags) {
        return encoded(QString::fromUtf8(rss(item(chinese.toUtf8(), "http://a/1")))
                           .replace(QStringLiteral("<?xml version=\"1.0\"?>"), QString()),
            encoding, flags);
    };

    QTest::newRow("GB2312 declared") << declaredAs("GB2312", chinese, "GB2312") << chinese;
    QTest::newRow("gbk declared in lower case") << declaredAs("gbk", chinese, "GBK") << chinese;
    QTest::newRow("GB18030 beyond GBK")
        << declaredAs("GB18030", QStringLiteral("𠀀€"), "GB18030") << QStringLiteral("𠀀€");
    QTest::newRow("UTF-8 declared") << declaredAs("UTF-8", chinese, "UTF-8") << chinese;
    QTest::newRow("ISO-8859-1 declared")
        << declaredAs("ISO-8859-1", QStringLiteral("café"), "ISO-8859-1") << QStringLiteral("café");
    QTest::newRow("no declaration means UTF-8")
        << undeclared("UTF-8", QStringConverter::Flag::Default) << chinese;
    QTest::newRow("UTF-8 with byte-order mark")
        << undeclared("UTF-8", QStringConverter::Flag::WriteBom) << chinese;
    QTest::newRow("UTF-16 little-endian with byte-order mark")
        << declaredAs("UTF-16", chinese, "UTF-16LE", QStringConverter::Flag::WriteBom) << chinese;
    QTest::newRow("UTF-16 big-endian with byte-order mark")
        << declaredAs("UTF-16", chinese, "UTF-16BE", QStringConverter::Flag::WriteBom) << chinese;
    QTest::newRow("UTF-16 without byte-order mark")
        << undeclared("UTF-16LE", QStringConverter::Flag::Default) << chinese;
}

void FeedTest::parseFeedDecodesDeclaredEncodings()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, caption);

    const std::vector<BannerEntry> entries = tavrin::parseFeed(document);

    QCOMPARE(captionsOf(entries), QStringList {caption});
    QCOMPARE(linksOf(entries), QStringList {"http://a/1"});
}

void FeedTest::parseFeedRejectsUndecodableBytes_data()
{
    QTest::addColumn<QByteArray>("document");

    QTest::newRow("unknown encoding name")
        << QByteArray("<?xml version=\"1.0\" encoding=\"x-no-such\"?>" + rss(item("A", "h")));
    QTest::newRow("invalid UTF-8 bytes") << rss(item("\xC3\x28\xFF", "http://a/1"));
    QTest::newRow("GB18030 declared with a truncated sequence")
        << QByteArray("<?xml version=\"1.0\" encoding=\"GB18030\"?><rss><channel><item><title>"
                      "\x81\x30</title></item></channel></rss>");
}

void FeedTest::parseFeedRejectsUndecodableBytes()
{
    QFETCH(QByteArray, document);

    QVERIFY(!tavrin::xmlAsUtf8(document).has_value());
    QVERIFY(tavrin::parseFeed(document).empty());
}

void FeedTest::parseFeedNeitherExpandsNorFetchesEntities_data()
{
    QTest::addColumn<QByteArray>("document");

    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        laughs += "<!ENTITY lol" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i) {
            laughs += "&lol" + QByteArray::number(level - 1) + ";";
        }
        laughs += "\">";
    }
    laughs += "]><rss><channel>" + item("&lol9;", "http://a/1") + "</channel></rss>";
    QTest::newRow("billion laughs") << laughs;
    QTest::newRow("external entity naming a local file")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY x SYSTEM "
                      "\"file:///etc/passwd\">]><rss><channel>"
               + item("&x;", "http://a/1") + "</channel></rss>");
    QTest::newRow("external document type and parameter entity")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss SYSTEM \"http://127.0.0.1:9/e.dtd\" "
                      "[<!ENTITY % p SYSTEM \"file:///etc/passwd\"> %p;]><rss><channel>"
               + item("&x;", "http://a/1") + "</channel></rss>");
}

void FeedTest::parseFeedNeitherExpandsNorFetchesEntities()
{
    QFETCH(QByteArray, document);
    QElapsedTimer clock;
    clock.start();

    const std::vector<BannerEntry> entries = tavrin::parseFeed(document);

    QVERIFY2(clock.elapsed() < 500, "parsing must not expand entities");
    for (const BannerEntry &entry : entries) {
        QVERIFY2(entry.caption.size() < 16, qPrintable(entry.caption.left(80)));
        QVERIFY(!entry.caption.contains(QStringLiteral("root:")));
        QVERIFY(!entry.caption.contains(QStringLiteral("lollol")));
    }
}

void FeedTest::parseFeedStopsAtTheEntryLimitInLinearTime()
{
    QByteArray items;
    for (int i = 0; i < 40000; ++i) {
        items += item("t" + QByteArray::number(i), "http://a/" + QByteArray::number(i));
    }
    QElapsedTimer clock;
    clock.start();

    const std::vector<BannerEntry> entries = tavrin::parseFeed(rss(items));

    QVERIFY2(clock.elapsed() < 3000, "reading the entries must not be quadratic");
    QCOMPARE(entries.size(), std::size_t {32767});
    QCOMPARE(entries.back().caption, QStringLiteral("t32766"));
    QCOMPARE(entries.back().link, QStringLiteral("http://a/32766"));
}

void FeedTest::tableAfterLoadFallsBackWithoutAFirstCaption_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("fallsBack");

    QTest::newRow("first caption present keeps the feed")
        << rss(item("A", "http://a/1") + item("", "http://a/2")) << false;
    QTest::newRow("empty first title drops the whole feed")
        << rss(item("", "http://a/1") + item("B", "http://a/2")) << true;
    QTest::newRow("blank first title drops the whole feed")
        << rss(item("  \n ", "http://a/1") + item("B", "http://a/2")) << true;
    QTest::newRow("first item without title takes the second title")
        << rss("<item><link>http://a/1</link></item>" + item("B", "http://a/2")) << false;
    QTest::newRow("no entries at all") << QByteArray() << true;
}

void FeedTest::tableAfterLoadFallsBackWithoutAFirstCaption()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, fallsBack);
    const std::vector<BannerEntry> loaded = tavrin::parseFeed(document);

    const std::vector<BannerEntry> table = tavrin::tableAfterLoad(loaded);

    QCOMPARE(table == tavrin::fallbackEntries(), fallsBack);
    if (!fallsBack) {
        QCOMPARE(captionsOf(table), captionsOf(loaded));
        QCOMPARE(linksOf(table), linksOf(loaded));
    }
}

void FeedTest::fallbackListHasTheEightCaptionsWithWebLinks()
{
    const std::vector<BannerEntry> fallback = tavrin::fallbackEntries();

    QCOMPARE(captionsOf(fallback),
        QStringList({"淘宝特卖123", "商城导航", "天猫商城", "购物客", "女装频道", "美容频道",
            "男人频道", "家电数码"}));
    for (const BannerEntry &entry : fallback) {
        QVERIFY2(tavrin::isWebAddress(entry.link), qPrintable(entry.link));
        QVERIFY2(entry.link.startsWith(QLatin1String("https://")), qPrintable(entry.link));
    }
}

QTEST_GUILESS_MAIN(FeedTest)
#include "test_feed.moc"
