// The main window: its layout and menus, the board's answers to the pointer and to hq and hq2,
// the clock, the help commands and message boxes, a whole game played through it, and one
// running copy of the program at a time.
#include "board_text.h"
#include "home_page.h"
#include "qt_translation.h"
#include "ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QColor kGrid(0x00, 0xFF, 0xFF); // the board's grid lines

// The rules exactly as the player reads them, line by line.
const QStringList kRulesLines = {
    "    Tavrin是一种益智游戏，但在棋盘上下棋非常麻烦，因为要不停地将黑白",
    "两棋互换(日本人想出了一个好办法：将棋子正反面涂为异色)，于是我用basic",
    "写了这么一个小程序，以方便大家。",
    "    游戏规则非常简单：在一个棋盘上先放上四枚棋子，黑白双方轮流下棋，",
    "每一子须下在棋盘的空白处且能“吃掉”对方至少一子，否则自己不能下而",
    "由对方继续下；“吃掉”对方的棋子是指：以落点为中心，向左看去经过几",
    "个对方的棋子后又有自己的棋子(中间不能有空格)，则这几个对方的棋子就",
    "被换成我方的棋子，即被吃掉了，对方被换掉几子便是吃了几子。此种“看",
    "法”应同时应用于向右、向上、向下等八个方向。",
    "  以下面一个棋盘的局部为例，“.”为空位、“o”为白棋、“x”为黑棋：",
    "   若白棋在d4下子，棋盘变为图二，白棋吃掉黑棋4子。",
    "",
    "图一:             图二:",
    "  1 2 3 4 5         1 2 3 4 5",
    "a o . . o .       a o . . o .",
    "b . x x . .       b . o x x .",
    "c . . x x .       c . . o . .",
    "d o x x . .       d o o o o .",
    "e . . . . .       e . . . . .",
    "判断胜负:",
    "    若棋盘下满了，则棋子多的一方胜利；若中途一方棋子被全部吃完，",
    "对方胜利。",
};
} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

public slots:
    void openPage(const QUrl &url) { pages_ << url.toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(installQtTranslation(*QCoreApplication::instance()));
        xq::setNativeFileDialogsAllowed(false);
        QDesktopServices::setUrlHandler("http", this, "openPage");
    }
    void init()
    {
        window_ = std::make_unique<BeepCountingWindow>();
        QVERIFY(loadWindow(*window_));
    }
    void cleanup() { window_.reset(); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("http"); }

    void windowHasItsCaptionFixedAreaAndIcon()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Tavrin"));
        QCOMPARE(window_->centralWidget()->size(), QSize(340, 417));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QVERIFY(!(window_->windowFlags()
            & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (const QSize size : {QSize(32, 32), QSize(16, 16)}) {
            QVERIFY(window_->windowIcon().availableSizes().contains(size));
            const QImage image = window_->windowIcon().pixmap(size).toImage();
            // A stone sits in the upper left quarter and another in the lower right one.
            QVERIFY(image.pixelColor(size.width() * 3 / 8, size.height() * 3 / 8)
                != image.pixelColor(size.width() * 5 / 8, size.height() * 5 / 8));
        }
    }

    void controlsMatchTheirLayout_data()
    {
        // Places are the design's twips divided by 15. A label's look: text and background
        // colours, points, boldness, alignment, caption; then whether it is shown.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("look");

        QTest::newRow("bqxy white count")
            << "bqxy" << QRect(0, 5, 105, 17)
            << "#000000 on #ffffff, 10.5, left, 白棋现有 2 子, hidden";
        QTest::newRow("hqxy black count")
            << "hqxy" << QRect(0, 22, 105, 17)
            << "#000000 on #ffffff, 10.5, left, 黑棋现有 2 子, hidden";
        QTest::newRow("xzld mode") << "xzld" << QRect(112, 0, 153, 25)
                                   << "#000000 on #00ffff, 15 bold, left, 现在该    棋下, hidden";
        QTest::newRow("xqwz position") << "xqwz" << QRect(280, 0, 57, 17)
                                       << "#00c000 on #ffffff, 10.5 bold, centred, 1,1, hidden";
        QTest::newRow("timenow clock") << "timenow" << QRect(280, 16, 57, 17)
                                       << "#0000ff on #ffffff, 9.75 bold, centred, 00:00, shown";
        QTest::newRow("qp board") << "qp" << QRect(0, 44, 340, 340) << "shown";
        QTest::newRow("Gg1 banner, wider than the window")
            << "Gg1" << QRect(0, 384, 345, 33) << "shown";
    }

    void controlsMatchTheirLayout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, look);
        auto *control = window_->findChild<QWidget *>(name);

        QCOMPARE(control->geometry(), rect);
        QString seen = control->isVisible() ? "shown" : "hidden";
        if (auto *label = qobject_cast<QLabel *>(control)) {
            seen = QStringLiteral("%1 on %2, %3%4, %5, %6, %7")
                       .arg(label->palette().color(label->foregroundRole()).name(),
                           label->palette().color(label->backgroundRole()).name())
                       .arg(label->font().pointSizeF())
                       .arg(label->font().bold() ? " bold" : "",
                           label->alignment() & Qt::AlignHCenter ? "centred" : "left",
                           label->text(), seen);
        }
        QCOMPARE(seen, look);
    }

    void menusMatchTheirTable()
    {
        // Each item: name, caption, shortcut, and whether it can be chosen; menu items indented.
        const auto describe = [](const QString &name, const QAction *item) {
            return QStringList {name, item->isSeparator() ? "-" + item->text() : item->text(),
                item->shortcut().toString(), item->isEnabled() ? "on" : "off"}
                .join('|');
        };
        QStringList items;
        for (QAction *barItem : window_->menuBar()->actions()) {
            QMenu *menu = barItem->menu();
            items << describe(menu ? menu->objectName() : barItem->objectName(), barItem);
            for (QAction *item : menu ? menu->actions() : QList<QAction *> {}) {
                items << "  " + describe(item->objectName(), item);
            }
        }

        QCOMPARE(items,
            QStringList({"game|游  戏&F||on", "  MNrj|人机大战|F2|on", "  mnRR|人人对抗|F3|off",
                "  mnFP|复    盘|F4|off", "  STEP|-||on", "  mnExit|退    出&X||on",
                "hlp|帮  助&H||on", "  rules|游戏规则|F1|on", "  mnAbout|关    于&A||on",
                "fqyz|放弃一子&C||on"}));
    }

    void functionKeysAndExitCommand()
    {
        // F3 and F4 belong to disabled items; F2 starts the game; Alt+C passes at once.
        for (const int key : {Qt::Key_F3, Qt::Key_F4, Qt::Key_F2})
            QTest::keyClick(window_.get(), Qt::Key(key));
        QCOMPARE(window_->flow().gamestarted, 1);
        ModalAnswerer answerer;
        answerer.add(pressButton(QMessageBox::Yes));
        QTest::keyClick(window_->menuBar(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(answerer.allAnswered());
        QCOMPARE(window_->flow().stepnum, 2);
        // Exit leaves the event loop with status 0 and takes the window away, asking nothing.
        QTimer::singleShot(0, window_->findChild<QAction *>("mnExit"), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!window_->isVisible());
        QCOMPARE(answerer.unexpected(), 0);
    }

    void pointerAndReleaseOverTheBoard_data()
    {
        // Positions in board units, 1000 to a side. The outcome: the cursor and the position
        // caption after the move, then what a release there did.
        QTest::addColumn<QPointF>("position");
        QTest::addColumn<QString>("outcome");

        QTest::newRow("legal 10,9") << QPointF(593.75, 531.25) << "cross 10,9, played 10,9";
        QTest::newRow("just past the grid line 437.5 is 8,7")
            << QPointF(437.6, 406.25) << "cross 8,7, played 8,7";
        QTest::newRow("occupied 8,8") << QPointF(468.75, 468.75) << "no-drop 8,8, ignored";
        QTest::newRow("vertical grid line") << QPointF(625, 531.25) << "no-drop 5,12, ignored";
        QTest::newRow("less than a cell left") << QPointF(-10, 531.25) << "no-drop 0,9, beep";
        QTest::newRow("far right") << QPointF(1000000064, 531.25) << "no-drop 5,12, beep";
        QTest::newRow("far above") << QPointF(593.75, -1000000064) << "no-drop 5,12, beep";
        QTest::newRow("far right on a whole multiple of a cell is a grid line")
            << QPointF(1.0e9, 531.25) << "no-drop 5,12, ignored";
    }

    void pointerAndReleaseOverTheBoard()
    {
        QFETCH(QPointF, position);
        QFETCH(QString, outcome);
        window_->findChild<QAction *>("MNrj")->trigger();
        const double scale = board()->width() / 1000.0;
        sendMove(board(), QPointF(281.25, 718.75) * scale); // cell 5,12
        const QStringList before = boardToText(window_->flow());

        sendMove(board(), position * scale);
        const QString moved = QStringLiteral("%1 %2, ").arg(
            board()->cursor().shape() == Qt::CrossCursor ? "cross" : "no-drop",
            window_->findChild<QLabel *>("xqwz")->text());
        sendRelease(board(), position * scale);

        const stepxy played = window_->flow().qipu[1];
        const QString released = window_->beeps ? QStringLiteral("beep")
            : boardToText(window_->flow()) == before
            ? QStringLiteral("ignored")
            : QStringLiteral("played %1,%2").arg(played.x).arg(played.y);
        QCOMPARE(moved + released, outcome);
    }

    void hq2WipesOldStonesAndKeepsTheGrid()
    {
        const auto colourAt = [this](int column, int row) {
            const QImage &picture = board()->picture();
            const QPointF centre = cellCentre(column, row, board()->width());
            return picture.pixelColor((centre * picture.devicePixelRatio()).toPoint()).name();
        };
        const QImage before = board()->picture().copy(); // the grid alone
        GameFlow &flow = window_->flow();
        flow.qizi[1][1] = kBlack;
        flow.qizi[16][16] = kWhite;
        window_->hq();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16) + colourAt(2, 1), "#000000#ffffff#ffc080");

        flow.qizi[16][16] = kEmpty;
        window_->hq2();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16), "#000000#ffc080");
        const QImage &after = board()->picture();
        for (int i = 0; i < after.width() * after.height(); ++i) {
            const QPoint at(i % after.width(), i / after.width());
            QVERIFY(before.pixelColor(at) != kGrid || after.pixelColor(at) == kGrid);
        }
    }

    void clockCaptionAfterTicks_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("caption");

        QTest::newRow("1 tick") << 1 << "00:01";
        QTest::newRow("59 ticks") << 59 << "00:59";
        QTest::newRow("60 ticks") << 60 << "01:00";
        QTest::newRow("3599 ticks") << 3599 << "59:59";
        QTest::newRow("6000 ticks keep the last two digits") << 6000 << "00:00";
        QTest::newRow("6061 ticks") << 6061 << "01:01";
        QTest::newRow("32767 ticks are 546 minutes") << 32767 << "46:07";
        QTest::newRow("past 32767 starts from 0") << 32768 << "00:00";
    }

    void clockCaptionAfterTicks()
    {
        QFETCH(int, ticks);
        QFETCH(QString, caption);

        for (int tick = 0; tick < ticks; ++tick) {
            window_->clockTick();
            QVERIFY(window_->flow().timecount >= 0);
        }

        QCOMPARE(window_->findChild<QLabel *>("timenow")->text(), caption);
    }

    void rulesReadLineByLine()
    {
        SeenBox rules;
        ModalAnswerer answerer;
        answerer.add(pressButton(QMessageBox::Ok, &rules));

        window_->findChild<QAction *>("rules")->trigger();

        QCOMPARE(rules.title, QStringLiteral("Tavrin规则"));
        QCOMPARE(rules.text.split('\n'), kRulesLines + QStringList {""});
    }

    void aboutOpensThePageBeforeTheBox()
    {
        SeenBox about;
        QStringList pagesBeforeTheBox;
        ModalAnswerer answerer;
        answerer.add([&](QWidget *box) {
            pagesBeforeTheBox = pages_;
            pressButton(QMessageBox::Ok, &about)(box);
        });

        window_->findChild<QAction *>("mnAbout")->trigger();

        QCOMPARE(pagesBeforeTheBox, QStringList {kAuthorHomePage});
        QCOMPARE(pages_, QStringList {kAuthorHomePage});
        QCOMPARE(about.title + about.text,
            "关于          Tavrin v1.0 for Win 95\n\n\n更多软件:" + QString(kAuthorHomePage)
                + "\n");
    }

    void wholeGameEndsAndItsRecordIsSaved()
    {
        QTemporaryDir folder;
        ModalAnswerer answerer;
        SeenBox result;
        answerer.add(pressButton(QMessageBox::No, &result));
        // Accepting the wildcard only lists the record files; the dialog waits for a real name.
        answerer.add(saveAs(folder.filePath("*.tvr")));
        answerer.add(saveAs(folder.filePath("whole-game")));
        QByteArray expected; // the record the moves imply, a line per turn
        const auto recordLine = [](const QPoint &cell) {
            return QStringLiteral(" %1  %2 \r\n").arg(cell.x()).arg(cell.y()).toLatin1();
        };
        GameFlow &flow = window_->flow();
        QTimer::singleShot(0, this, [&] {
            window_->findChild<QAction *>("MNrj")->trigger();
            for (int turn = 0; turn < 400 && !flow.programEnded(); ++turn) {
                // White takes the first legal cell, column by column, or passes.
                const QString before = boardToText(flow).join("");
                QPoint white;
                for (int cell = 0; cell < 256 && white.isNull(); ++cell) {
                    const QPoint at(cell / 16 + 1, cell % 16 + 1);
                    white = flow.kyxq[at.x()][at.y()] == kLegal ? at : white;
                }
                white.isNull() ? window_->findChild<QAction *>("fqyz")->trigger()
                               : QTest::mouseClick(board(), Qt::LeftButton, {},
                                   cellCentre(white.x(), white.y(), board()->width()).toPoint());
                // Black's stone: a cell empty before and black now, other than white's own.
                const QString after = boardToText(flow).join("");
                QPoint black;
                for (int cell = 0; cell < 256; ++cell) {
                    const QPoint at(cell % 16 + 1, cell / 16 + 1);
                    black = before[cell] == '.' && after[cell] == 'x' && at != white ? at : black;
                }
                // A game ends only on a stone; when white's stone ended it, black never moved.
                expected += recordLine(white)
                    + (black.isNull() && flow.programEnded() ? QByteArray() : recordLine(black));
            }
        });
        QTimer::singleShot(60000, [] { QCoreApplication::exit(99); }); // a hang fails, not blocks

        QCOMPARE(QCoreApplication::exec(), 0);

        QVERIFY(flow.programEnded() && answerer.allAnswered());
        QCOMPARE(window_->beeps + answerer.unexpected(), 0);
        // The question whether to play again is asked with Yes and No in Chinese.
        QCOMPARE(result.buttons.join(' ').remove('&'), QStringLiteral("是(Y) 否(N)"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList("whole-game.tvr"));
        QFile saved(folder.filePath("whole-game.tvr"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
    }

    void onlyOneCopyRunsAndAStaleLockDoesNotBlock()
    {
        QTemporaryDir runtime; // the copies' runtime folder, which they inherit from here
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const auto lockOwner = [&runtime] {
            QFile lock(runtime.filePath("tavrin.lock"));
            return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
        };
        QProcess first, second, third;

        first.start(TAVRIN_PROGRAM);
        QVERIFY(first.waitForStarted(15000));
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first.processId(), 15000);
        second.start(TAVRIN_PROGRAM);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill(); // dies without releasing its lock
        QVERIFY(first.waitForFinished(15000));
        third.start(TAVRIN_PROGRAM);
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), third.processId(), 15000);
        QTest::qWait(1500);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished(15000));
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    }

private:
    BoardSurface *board() const { return window_->findChild<BoardSurface *>("qp"); }

    PrivateRuntimeFolder runtime_;
    std::unique_ptr<BeepCountingWindow> window_;
    QStringList pages_; // the pages the browser was asked to open
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
