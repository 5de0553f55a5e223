// Rules, About and Exit, and the keys of the menus.
#include "home_page.h"
#include "ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The rules exactly as the player reads them, line by line.
const QStringList kRulesLines = {
    QStringLiteral("    Tavrin是一种益智游戏，但在棋盘上下棋非常麻烦，因为要不停地将黑白"),
    QStringLiteral("两棋互换(日本人想出了一个好办法：将棋子正反面涂为异色)，于是我用basic"),
    QStringLiteral("写了这么一个小程序，以方便大家。"),
    QStringLiteral("    游戏规则非常简单：在一个棋盘上先放上四枚棋子，黑白双方轮流下棋，"),
    QStringLiteral("每一子须下在棋盘的空白处且能“吃掉”对方至少一子，否则自己不能下而"),
    QStringLiteral("由对方继续下；“吃掉”对方的棋子是指：以落点为中心，向左看去经过几"),
    QStringLiteral("个对方的棋子后又有自己的棋子(中间不能有空格)，则这几个对方的棋子就"),
    QStringLiteral("被换成我方的棋子，即被吃掉了，对方被换掉几子便是吃了几子。此种“看"),
    QStringLiteral("法”应同时应用于向右、向上、向下等八个方向。"),
    QStringLiteral("  以下面一个棋盘的局部为例，“.”为空位、“o”为白棋、“x”为黑棋："),
    QStringLiteral("   若白棋在d4下子，棋盘变为图二，白棋吃掉黑棋4子。"),
    QString(),
    QStringLiteral("图一:") + QString(13, QLatin1Char(' ')) + QStringLiteral("图二:"),
    QStringLiteral("  1 2 3 4 5") + QString(9, QLatin1Char(' ')) + QStringLiteral("1 2 3 4 5"),
    QStringLiteral("a o . . o .       a o . . o ."),
    QStringLiteral("b . x x . .       b . o x x ."),
    QStringLiteral("c . . x x .       c . . o . ."),
    QStringLiteral("d o x x . .       d o o o o ."),
    QStringLiteral("e . . . . .       e . . . . ."),
    QStringLiteral("判断胜负:"),
    QStringLiteral("    若棋盘下满了，则棋子多的一方胜利；若中途一方棋子被全部吃完，"),
    QStringLiteral("对方胜利。"),
};

} // namespace

// Stands in for the browser: records each page it is asked to open, and whether a modal box
// was already on the screen at that moment.
class PageRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList pages;
    int openedUnderABox = 0;

public slots:
    void openPage(const QUrl &url)
    {
        pages << url.toString();
        if (QApplication::activeModalWidget()) {
            ++openedUnderABox;
        }
    }
};

class HelpCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void rulesBoxHasTitleOkAndNoIcon();
    void rulesTextReadsLineByLine_data();
    void rulesTextReadsLineByLine();
    void aboutOpensThePageBeforeTheBox();
    void aboutTwiceOpensThePageTwice();
    void exitDuringAGameEndsWithoutAsking();
    void closingTheWindowEndsTheProgram();
    void functionKeysReachTheirCommands();
    void disabledShortcutsDoNothing_data();
    void disabledShortcutsDoNothing();
    void altCChoosesThePassFromTheMenuBar();

private:
    QAction *action(const char *name) const
    {
        return window_->findChild<QAction *>(QLatin1String(name));
    }
    bool activate();

    PrivateRuntimeFolder runtime_;
    PageRecorder browser_;
    SeenBox rulesBox_;
    xq *window_ = nullptr;
};

void HelpCommandsTest::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser_, "openPage");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser_, "openPage");
    xq window;
    QVERIFY(loadWindow(window));
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Ok, &rulesBox_));
    window.showRules();
    QCOMPARE(answerer.answered(), 1);
}

void HelpCommandsTest::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void HelpCommandsTest::init()
{
    browser_.pages.clear();
    browser_.openedUnderABox = 0;
    window_ = new xq;
    QVERIFY(loadWindow(*window_));
}

void HelpCommandsTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

bool HelpCommandsTest::activate()
{
    window_->activateWindow();
    return QTest::qWaitForWindowActive(window_);
}

void HelpCommandsTest::rulesBoxHasTitleOkAndNoIcon()
{
    QCOMPARE(rulesBox_.title, QStringLiteral("Tavrin规则"));
    QCOMPARE(rulesBox_.icon, QMessageBox::NoIcon);
    QCOMPARE(rulesBox_.buttons.size(), 1);
    QVERIFY(!rulesBox_.text.contains(QLatin1Char('\r')));
    // 22 lines, each ended by a line break, the last included.
    QCOMPARE(rulesBox_.text.count(QLatin1Char('\n')), 22);
    QVERIFY(rulesBox_.text.endsWith(QLatin1Char('\n')));
}

void HelpCommandsTest::rulesTextReadsLineByLine_data()
{
    QTest::addColumn<int>("line");
    for (int line = 1; line <= kRulesLines.size(); ++line) {
        QTest::newRow(qPrintable(QStringLiteral("line %1").arg(line))) << line;
    }
}

void HelpCommandsTest::rulesTextReadsLineByLine()
{
    QFETCH(int, line);
    const QStringList shown = rulesBox_.text.split(QLatin1Char('\n'));
    QVERIFY(shown.size() > line);
    QCOMPARE(shown.at(line - 1), kRulesLines.at(line - 1));
}

void HelpCommandsTest::aboutOpensThePageBeforeTheBox()
{
    SeenBox about;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Ok, &about));
    action("mnAbout")->trigger();

    const QString homePage = QString::fromUtf8(kAuthorHomePage);
    QCOMPARE(browser_.pages, QStringList({homePage}));
    QCOMPARE(browser_.openedUnderABox, 0);
    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(about.title, QStringLiteral("关于"));
    QCOMPARE(about.icon, QMessageBox::NoIcon);
    QCOMPARE(about.buttons.size(), 1);
    QCOMPARE(about.text,
        QStringLiteral("          Tavrin v1.0 for Win 95\n\n\n更多软件:") + homePage + "\n");
}

void HelpCommandsTest::aboutTwiceOpensThePageTwice()
{
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Ok));
    answerer.add(pressButton(QMessageBox::Ok));
    action("mnAbout")->trigger();
    action("mnAbout")->trigger();
    QCOMPARE(browser_.pages.size(), 2);
    QCOMPARE(answerer.answered(), 2);
}

void HelpCommandsTest::exitDuringAGameEndsWithoutAsking()
{
    ModalAnswerer answerer;
    action("MNrj")->trigger();
    QVERIFY(window_->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    QTimer::singleShot(0, action("mnExit"), &QAction::trigger);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // a hang fails, not blocks
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window_->isVisible());
    QVERIFY(!window_->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    QCOMPARE(answerer.answered() + answerer.unexpected(), 0);
}

void HelpCommandsTest::closingTheWindowEndsTheProgram()
{
    QTimer::singleShot(0, window_, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window_->isVisible());
}

void HelpCommandsTest::functionKeysReachTheirCommands()
{
    QVERIFY(activate());
    SeenBox rules;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Ok, &rules));
    QTest::keyClick(window_, Qt::Key_F1);
    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(rules.title, QStringLiteral("Tavrin规则"));

    QCOMPARE(window_->flow().gamestarted, std::uint8_t(0));
    QVERIFY(activate());
    QTest::keyClick(window_, Qt::Key_F2);
    QCOMPARE(window_->flow().gamestarted, std::uint8_t(1));
}

void HelpCommandsTest::disabledShortcutsDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("item");
    QTest::newRow("F3 two players") << int(Qt::Key_F3) << "mnRR";
    QTest::newRow("F4 replay") << int(Qt::Key_F4) << "mnFP";
}

void HelpCommandsTest::disabledShortcutsDoNothing()
{
    QFETCH(int, key);
    QFETCH(QString, item);
    QVERIFY(activate());
    action("MNrj")->trigger();
    int chosen = 0;
    connect(window_->findChild<QAction *>(item), &QAction::triggered, this, [&] { ++chosen; });
    const std::int16_t steps = window_->flow().stepnum;
    ModalAnswerer answerer;
    QTest::keyClick(window_, Qt::Key(key));
    QTest::qWait(100);
    QCOMPARE(chosen, 0);
    QCOMPARE(answerer.unexpected(), 0);
    QCOMPARE(window_->flow().stepnum, steps);
}

void HelpCommandsTest::altCChoosesThePassFromTheMenuBar()
{
    QVERIFY(activate());
    action("MNrj")->trigger();
    // White can still move, so the pass asks first; No keeps everything as it was.
    SeenBox question;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::No, &question));
    QTest::keyClick(window_, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(answerer.answered(), 1);
    QVERIFY(question.text.startsWith(QStringLiteral("您至少还可以在")));
    QCOMPARE(window_->flow().stepnum, std::int16_t(0));
}

QTEST_MAIN(HelpCommandsTest)
#include "tst_help_commands.moc"
