// The main window as it stands after window load: sizes, panel labels, board and menus.
#include "ui_test_support.h"

#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// Layout values are given in twips, 15 to a pixel.
QRect fromTwips(int left, int top, int width, int height)
{
    auto pixels = [](int twips) {
        return qRound(twips / 15.0);
    };
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

const QColor kButtonText = QColor(); // marks "the palette's button text colour"

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasCaptionIconAndFixedInnerArea();
    void windowOffersNoMinimizeOrMaximize();
    void controlsStackWithoutOverlap_data();
    void controlsStackWithoutOverlap();
    void panelLabelsMatchTheirLayout_data();
    void panelLabelsMatchTheirLayout();
    void chineseCaptionsUseTheSongFace();
    void boardShowsOnlyTheEmptyGridAfterLoad();
    void clockIsStoppedAtCreation();
    void menuBarHoldsTwoMenusAndThePassCommand();
    void menuItemsMatchTheirTable_data();
    void menuItemsMatchTheirTable();

private:
    PrivateRuntimeFolder runtime_;
    xq *window_ = nullptr;
};

void WindowLayoutTest::init()
{
    window_ = new xq;
    QVERIFY(loadWindow(*window_));
}

void WindowLayoutTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void WindowLayoutTest::windowHasCaptionIconAndFixedInnerArea()
{
    QCOMPARE(window_->windowTitle(), QStringLiteral("Tavrin"));
    QCOMPARE(window_->centralWidget()->size(), QSize(340, 417));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QCOMPARE(window_->size(), window_->minimumSize());
    QCOMPARE(window_->centralWidget()->y(), window_->menuBar()->geometry().bottom() + 1);
    const QList<QSize> iconSizes = window_->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(32, 32)));
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    for (const QSize &size : {QSize(32, 32), QSize(16, 16)}) {
        const QImage image = window_->windowIcon().pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        // A stone sits in the upper left quarter and another in the lower right one.
        QVERIFY(image.pixelColor(size.width() * 3 / 8, size.height() * 3 / 8)
            != image.pixelColor(size.width() * 5 / 8, size.height() * 5 / 8));
    }
}

void WindowLayoutTest::windowOffersNoMinimizeOrMaximize()
{
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
}

void WindowLayoutTest::controlsStackWithoutOverlap_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("panel Picture1 on top") << "Picture1" << fromTwips(0, 0, 5100, 615);
    QTest::newRow("board qp below the gap") << "qp" << fromTwips(0, 660, 5100, 5100);
    QTest::newRow("banner Gg1 at the bottom, wider than the window")
        << "Gg1" << fromTwips(0, 5760, 5175, 495);
}

void WindowLayoutTest::controlsStackWithoutOverlap()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    auto *control = window_->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget(), window_->centralWidget());
    QCOMPARE(control->geometry(), rect);
}

void WindowLayoutTest::panelLabelsMatchTheirLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("visible");

    const QColor white(0xFF, 0xFF, 0xFF);
    QTest::newRow("bqxy white count, hidden")
        << "bqxy" << fromTwips(0, 80, 1575, 255) << kButtonText << white << 10.5 << false
        << int(Qt::AlignLeft) << QStringLiteral("白棋现有 2 子") << false;
    QTest::newRow("hqxy black count, hidden")
        << "hqxy" << fromTwips(0, 330, 1575, 255) << kButtonText << white << 10.5 << false
        << int(Qt::AlignLeft) << QStringLiteral("黑棋现有 2 子") << false;
    QTest::newRow("xzld mode on cyan, hidden")
        << "xzld" << fromTwips(1680, 0, 2295, 375) << kButtonText << QColor(0x00, 0xFF, 0xFF)
        << 15.0 << true << int(Qt::AlignLeft) << QStringLiteral("现在该    棋下") << false;
    QTest::newRow("xqwz position in green, hidden")
        << "xqwz" << fromTwips(4200, 0, 855, 255) << QColor(0x00, 0xC0, 0x00) << white << 10.5
        << true << int(Qt::AlignHCenter) << QStringLiteral("1,1") << false;
    QTest::newRow("timenow clock in blue, shown")
        << "timenow" << fromTwips(4200, 240, 855, 255) << QColor(0x00, 0x00, 0xFF) << white << 9.75
        << true << int(Qt::AlignHCenter) << QStringLiteral("00:00") << true;
}

void WindowLayoutTest::panelLabelsMatchTheirLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(int, horizontal);
    QFETCH(QString, caption);
    QFETCH(bool, visible);

    auto *label = window_->findChild<QLabel *>(name);
    QVERIFY2(label, qPrintable(name));
    QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(label->geometry(), rect);
    const QColor expectedText
        = text.isValid() ? text : window_->palette().color(QPalette::ButtonText);
    QCOMPARE(label->palette().color(label->foregroundRole()), expectedText);
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(label->backgroundRole()), background);
    QCOMPARE(label->font().pointSizeF(), points);
    QCOMPARE(label->font().bold(), bold);
    QVERIFY(!label->font().italic());
    QVERIFY(!label->font().underline());
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), horizontal);
    QCOMPARE(label->text(), caption);
    QCOMPARE(label->isVisible(), visible);
}

void WindowLayoutTest::chineseCaptionsUseTheSongFace()
{
    for (const char *name : {"bqxy", "hqxy", "xzld"}) {
        auto *label = window_->findChild<QLabel *>(QLatin1String(name));
        QVERIFY(label);
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("AR PL UMing CN"));
    }
}

void WindowLayoutTest::boardShowsOnlyTheEmptyGridAfterLoad()
{
    auto *board = window_->findChild<BoardSurface *>(QStringLiteral("qp"));
    QVERIFY(board);
    const QImage picture = board->picture();
    const qreal ratio = picture.devicePixelRatio();
    for (int row = 1; row <= 16; ++row) {
        for (int column = 1; column <= 16; ++column) {
            const QPoint centre = (cellCentre(column, row, board->width()) * ratio).toPoint();
            QCOMPARE(picture.pixelColor(centre), kBoardColour);
        }
    }
    QCOMPARE(window_->flow().gamestarted, std::uint8_t(0));
}

void WindowLayoutTest::clockIsStoppedAtCreation()
{
    auto *clock = window_->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(clock);
    QCOMPARE(clock->interval(), 1000);
    QVERIFY(!clock->isActive());
}

void WindowLayoutTest::menuBarHoldsTwoMenusAndThePassCommand()
{
    QStringList names;
    for (QAction *action : window_->menuBar()->actions()) {
        names << (action->menu() ? action->menu()->objectName() : action->objectName());
    }
    QCOMPARE(names, QStringList({"game", "hlp", "fqyz"}));
    QVERIFY(!window_->menuBar()->isNativeMenuBar());
    auto *pass = window_->findChild<QAction *>(QStringLiteral("fqyz"));
    QVERIFY(pass);
    QCOMPARE(pass->text(), QStringLiteral("放弃一子&C"));
    QVERIFY(!pass->menu());
    QVERIFY(pass->isEnabled());

    auto *gameMenu = window_->findChild<QMenu *>(QStringLiteral("game"));
    auto *helpMenu = window_->findChild<QMenu *>(QStringLiteral("hlp"));
    QVERIFY(gameMenu && helpMenu);
    QCOMPARE(gameMenu->title(), QStringLiteral("游  戏&F"));
    QCOMPARE(helpMenu->title(), QStringLiteral("帮  助&H"));
}

void WindowLayoutTest::menuItemsMatchTheirTable_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("separator");

    QTest::newRow("MNrj new game on F2") << "game" << 0 << "MNrj"
                                         << "人机大战" << QKeySequence(Qt::Key_F2) << true << false;
    QTest::newRow("mnRR disabled on F3")
        << "game" << 1 << "mnRR"
        << "人人对抗" << QKeySequence(Qt::Key_F3) << false << false;
    QTest::newRow("mnFP disabled on F4, four blanks")
        << "game" << 2 << "mnFP"
        << "复    盘" << QKeySequence(Qt::Key_F4) << false << false;
    QTest::newRow("STEP separator") << "game" << 3 << "STEP"
                                    << "-" << QKeySequence() << true << true;
    QTest::newRow("mnExit with access key X") << "game" << 4 << "mnExit"
                                              << "退    出&X" << QKeySequence() << true << false;
    QTest::newRow("rules on F1") << "hlp" << 0 << "rules"
                                 << "游戏规则" << QKeySequence(Qt::Key_F1) << true << false;
    QTest::newRow("mnAbout with access key A") << "hlp" << 1 << "mnAbout"
                                               << "关    于&A" << QKeySequence() << true << false;
}

void WindowLayoutTest::menuItemsMatchTheirTable()
{
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, separator);

    auto *dropDown = window_->findChild<QMenu *>(menu);
    QVERIFY(dropDown);
    const QList<QAction *> items = dropDown->actions();
    QCOMPARE(items.size(), menu == QLatin1String("game") ? 5 : 2);
    QAction *item = items.at(position);
    QCOMPARE(item->objectName(), name);
    QCOMPARE(item->isSeparator(), separator);
    if (!separator) {
        QCOMPARE(item->text(), caption);
    }
    QCOMPARE(item->shortcut(), shortcut);
    QCOMPARE(item->isEnabled(), enabled);
    QVERIFY(!item->isCheckable());
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
