#include "gg_fixtures.h"
#include "home_page.h"
#include "open_url.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using tavrin::Gg;

namespace {

// Stands in for the browser: records every address the desktop is asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }
};

const QStringList kInterceptedSchemes = {"http", "https", "file", "javascript", "ftp"};

} // namespace

class LinksTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void isWebAddressAcceptsOnlyHttpAndHttpsWithAHost_data();
    void isWebAddressAcceptsOnlyHttpAndHttpsWithAHost();
    void clickOpensTheLinkOfTheClickedLabel_data();
    void clickOpensTheLinkOfTheClickedLabel();
    void clickOnLabel1OpensTheLinkOfTheCaptionOnShow();
    void clickOpensNothingForAnEmptyOrUnsafeLink_data();
    void clickOpensNothingForAnEmptyOrUnsafeLink();
    void onlyALeftReleaseOverTheLabelIsAClick();

private:
    UrlRecorder m_browser;
};

void LinksTest::initTestCase()
{
    for (const QString &scheme : kInterceptedSchemes) {
        QDesktopServices::setUrlHandler(scheme, &m_browser, "open");
    }
}

void LinksTest::cleanupTestCase()
{
    for (const QString &scheme : kInterceptedSchemes) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
}

void LinksTest::init()
{
    m_browser.opened.clear();
}

void LinksTest::isWebAddressAcceptsOnlyHttpAndHttpsWithAHost_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("http") << "http://www.example.com/a?b=1" << true;
    QTest::newRow("https") << "https://example.com/" << true;
    QTest::newRow("mixed-case scheme") << "HtTpS://example.com/" << true;
    QTest::newRow("surrounding blanks") << "  http://example.com/ " << true;
    QTest::newRow("local file") << "file:///etc/passwd" << false;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("program path") << "/usr/bin/xterm" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("http without host") << "http://" << false;
    QTest::newRow("ftp") << "ftp://example.com/" << false;
}

void LinksTest::isWebAddressAcceptsOnlyHttpAndHttpsWithAHost()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);

    QCOMPARE(tavrin::isWebAddress(url), accepted);
}

void LinksTest::clickOpensTheLinkOfTheClickedLabel_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("opened");

    const QByteArray three = feedOf(
        {{"一", "http://a.test/1"}, {"二", "https://a.test/2"}, {"三", "http://a.test/3"}});
    QTest::newRow("Label1 at start opens entry 0") << three << "Label1"
                                                   << "http://a.test/1";
    QTest::newRow("Label2(0) opens entry 0") << three << "Label2_0"
                                             << "http://a.test/1";
    QTest::newRow("Label2(1) opens entry 1") << three << "Label2_1"
                                             << "https://a.test/2";
    QTest::newRow("Label3 opens the home page") << three << "Label3" << tavrin::kAuthorHomePage;
    QTest::newRow("fallback Label2(0) opens the special-offers page")
        << QByteArray() << "Label2_0"
        << "https://tejia.taobao.com/";
    QTest::newRow("fallback Label2(1) opens the mall directory") << QByteArray() << "Label2_1"
                                                                 << "https://www.smzdm.com/mall/";
    QTest::newRow("fallback Label3 opens the home page")
        << QByteArray() << "Label3" << tavrin::kAuthorHomePage;
}

void LinksTest::clickOpensTheLinkOfTheClickedLabel()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, label);
    QFETCH(QString, opened);
    const auto banner = bannerServing(document);

    QTest::mouseClick(labelOf(*banner, label), Qt::LeftButton);

    QCOMPARE(m_browser.opened, QStringList {opened});
}

void LinksTest::clickOnLabel1OpensTheLinkOfTheCaptionOnShow()
{
    const auto banner = bannerServing(
        feedOf({{"一", "http://a.test/1"}, {"二", "http://a.test/2"}, {"三", "http://a.test/3"}}));
    QLabel *label1 = labelOf(*banner, "Label1");
    for (int i = 0; i < 9 + 25; ++i) {
        banner->Timer1Timer();
    }
    QCOMPARE(label1->text(), QStringLiteral("二"));

    QTest::mouseClick(label1, Qt::LeftButton);

    QCOMPARE(m_browser.opened, QStringList {"http://a.test/2"});
}

void LinksTest::clickOpensNothingForAnEmptyOrUnsafeLink_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("label");

    QTest::newRow("one entry: Label2(1) has no link")
        << feedOf({{"唯一", "http://a.test/1"}}) << "Label2_1";
    QTest::newRow("empty link") << feedOf({{"空", ""}}) << "Label1";
    QTest::newRow("local file link") << feedOf({{"文件", "file:///etc/passwd"}}) << "Label1";
    QTest::newRow("script link") << feedOf({{"脚本", "javascript:alert(1)"}}) << "Label2_0";
    QTest::newRow("program link") << feedOf({{"程序", "/usr/bin/xterm"}}) << "Label2_0";
}

void LinksTest::clickOpensNothingForAnEmptyOrUnsafeLink()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, label);
    const auto banner = bannerServing(document);

    QTest::mouseClick(labelOf(*banner, label), Qt::LeftButton);

    QCOMPARE(m_browser.opened, QStringList {});
}

void LinksTest::onlyALeftReleaseOverTheLabelIsAClick()
{
    const auto banner = bannerServing(feedOf({{"一", "http://a.test/1"}}));
    QLabel *label = labelOf(*banner, "Label2_0");

    QTest::mouseClick(label, Qt::RightButton);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(200, 2));
    QCOMPARE(m_browser.opened, QStringList {});

    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(m_browser.opened, QStringList {"http://a.test/1"});
}

QTEST_MAIN(LinksTest)
#include "test_links.moc"
