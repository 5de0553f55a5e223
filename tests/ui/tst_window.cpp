// The main window: its layout, menus, banner controls and look, the board's answers to the
// pointer, the keyboard and to hq2, the clock, the help boxes and the questions, a whole game
// played through it, what a screen reader reads and hears, and one running copy at a time.
#include "banner/gg.h"
#include "board_text.h"
#include "desktop/home_page.h"
#include "ui/help_texts.h"
#include "ui/qt_translation.h"
#include "ui/xq.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <fcntl.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The rules box as the player reads it: 22 lines, pinned by one of them and a checksum of all.
constexpr char kRulesChecksum[]
    = "77aca6cd6bb062cb5fc4b6a45e8dc1e0edfab2d3516303b4763614965607b9d9";

// What a screen reader hears from the board: "focus <cell name>" when the focus cell moves and
// "told <description>" when the board's description changes.
QStringList heard;

void hearBoard(QAccessibleEvent *event)
{
    if (!qobject_cast<BoardSurface *>(event->object()))
        return;
    if (event->type() == QAccessible::Focus && event->child() >= 0)
        heard << "focus " + event->accessibleInterface()->text(QAccessible::Name);
    else if (event->type() == QAccessible::DescriptionChanged)
        heard << "told " + event->accessibleInterface()->text(QAccessible::Description);
}

// The main window with the system beep counted instead of sounded.
struct BeepCountingWindow : xq
{
    void beep() override { ++beeps; }
    int beeps = 0;
};

// Answers each modal dialog that shows while it lives and notes it in `log`: a message box as its
// title, text and button captions, then the next of `keys` is pressed in it (0: its close button;
// the last key serves all boxes after it); a Save dialog as "save", then the next of `names` is
// typed and accepted. Any other dialog is noted as "unexpected" and rejected.
struct ModalAnswerer
{
    ModalAnswerer(QStringList *log, QList<int> keys, QStringList names = {})
    {
        QObject::connect(&timer, &QTimer::timeout, [=]() mutable {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(modal);
            auto *name = modal ? modal->findChild<QLineEdit *>("fileNameEdit") : nullptr;
            if (box && box->property("answered").toBool()) {
                return; // a button's key clicks it a moment later
            } else if (box) {
                *log << box->windowTitle() << box->text();
                for (QAbstractButton *each : box->buttons())
                    *log << each->text();
                box->setProperty("answered", keys.size() == 1);
                const int key = keys.size() > 1 ? keys.takeFirst() : keys.first();
                key ? QTest::keyClick(box, Qt::Key(key)) : void(box->close());
            } else if (name && !names.isEmpty()) {
                *log << "save";
                name->setText(names.takeFirst());
                modal->accept();
            } else if (modal) {
                *log << "unexpected";
                modal->reject();
            }
        });
        timer.start(20);
    }
    QTimer timer;
};

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

public slots:
    void openPage(const QUrl &url) { log_ << "page " + url.toString(); }

private slots:
    void initTestCase()
    {
        // The instance lock lives in a runtime folder of this test process alone.
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        QVERIFY(installQtTranslation(*QCoreApplication::instance()));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QDesktopServices::setUrlHandler("http", this, "openPage");
        QDesktopServices::setUrlHandler("https", this, "openPage");
        // Accessibility on, as a screen reader turns it on; the handler stands for the reader.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(hearBoard);
    }
    void init()
    {
        log_.clear();
        window_ = std::make_unique<BeepCountingWindow>();
        window_->load();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }

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
        // Rows are named after the controls, the banner's own as "Gg1/<name>". Places are the
        // design's twips divided by 15; then a label's text and background colours, points,
        // boldness, alignment and caption, or a banner control's text colour and pointer (its
        // captions change), or the background the control fills; then whether it is shown.
        QTest::addColumn<QString>("look");

        QTest::newRow("bqxy") << "0,5 105x17 #000000/#ffffff 10.5 left 白棋现有 2 子 hidden";
        QTest::newRow("hqxy") << "0,22 105x17 #000000/#ffffff 10.5 left 黑棋现有 2 子 hidden";
        QTest::newRow("xzld") << "112,0 153x25 #000000/#00ffff 15 bold left 现在该    棋下 hidden";
        QTest::newRow("xqwz") << "280,0 57x17 #00c000/#ffffff 10.5 bold centred 1,1 hidden";
        QTest::newRow("timenow") << "280,16 57x17 #0000ff/#ffffff 9.75 bold centred 00:00 shown";
        QTest::newRow("qp") << "0,44 340x340 shown";
        QTest::newRow("Gg1") << "0,384 345x33 #ffc080 shown"; // wider than the window
        QTest::newRow("Gg1/Picture1") << "72,0 177x25 arrow shown";
        QTest::newRow("Gg1/Label1") << "0,8 167x14 #0000c0 hand shown";
        QTest::newRow("Gg1/Label2_0") << "8,6 65x17 #0000c0 hand shown";
        QTest::newRow("Gg1/Label2_1") << "264,8 73x17 #0000c0 hand shown";
        QTest::newRow("Gg1/Label3") << "344,8 57x17 #0000c0 hand shown";
    }

    void controlsMatchTheirLayout()
    {
        QFETCH(QString, look);
        const QStringList path = QString(QTest::currentDataTag()).split('/');
        QWidget *control = window_.get();
        for (const QString &name : path)
            control = control->findChild<QWidget *>(name);
        const QRect place = control->geometry();
        QString seen = QString::asprintf(
            "%d,%d %dx%d ", place.x(), place.y(), place.width(), place.height());
        const QPalette colours = control->palette();
        auto *label = qobject_cast<QLabel *>(control);
        if (path.size() == 2) {
            seen += (label ? colours.color(QPalette::WindowText).name() + ' ' : QString())
                + (control->cursor().shape() == Qt::PointingHandCursor ? "hand " : "arrow ");
        } else if (label) {
            seen += QStringLiteral("%1/%2 %3%4 %5 %6 ")
                        .arg(colours.color(QPalette::WindowText).name(),
                            colours.color(QPalette::Window).name())
                        .arg(label->font().pointSizeF())
                        .arg(label->font().bold() ? " bold" : "",
                            label->alignment() & Qt::AlignHCenter ? "centred" : "left",
                            label->text());
        } else if (control->autoFillBackground()) {
            seen += colours.color(QPalette::Window).name() + ' ';
        }
        QCOMPARE(seen + (control->isVisible() ? "shown" : "hidden"), look);
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
            for (QAction *item : menu ? menu->actions() : QList<QAction *> {})
                items << "  " + describe(item->objectName(), item);
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
        ModalAnswerer answerer(&log_, {Qt::Key_Y});
        type("F3 F4 F2 Alt+C");
        QTRY_COMPARE(window_->flow().stepnum, 2);
        // Exit leaves the event loop with status 0 and takes the window away, asking nothing.
        QTimer::singleShot(0, window_->findChild<QAction *>("mnExit"), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!window_->isVisible());
        QCOMPARE(log_.size(), 4); // the pass question's title, text, Yes and No: Exit asked nothing
    }

    void pointerAndReleaseOverTheBoard_data()
    {
        // Positions in board units, 1000 to a side. The outcome: the cursor and the position
        // caption after the move, then what a release there did.
        QTest::addColumn<QPointF>("position");
        QTest::addColumn<QString>("outcome");

        QTest::newRow("legal, just past the grid line 437.5")
            << QPointF(437.6, 406.25) << "cross 8,7, played 8,7";
        QTest::newRow("occupied 8,8") << QPointF(468.75, 468.75) << "no-drop 8,8, ignored";
        QTest::newRow("vertical grid line") << QPointF(625, 531.25) << "no-drop 5,12, ignored";
        QTest::newRow("less than a cell left") << QPointF(-10, 531.25) << "no-drop 0,9, beep";
        QTest::newRow("far right") << QPointF(1000000064, 531.25) << "no-drop 5,12, beep";
    }

    void pointerAndReleaseOverTheBoard()
    {
        QFETCH(QPointF, position);
        QFETCH(QString, outcome);
        type("F2");
        const auto send = [this](QEvent::Type type, QPointF at) {
            at *= board()->width() / 1000.0;
            QMouseEvent event(type, at, board()->mapToGlobal(at),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, {}, {});
            QApplication::sendEvent(board(), &event);
        };
        send(QEvent::MouseMove, {281.25, 718.75}); // cell 5,12
        send(QEvent::MouseMove, position);
        const QString moved = QStringLiteral("%1 %2, ").arg(
            board()->cursor().shape() == Qt::CrossCursor ? "cross" : "no-drop", caption("xqwz"));
        send(QEvent::MouseButtonRelease, position);

        const stepxy played = window_->flow().qipu[1];
        const QString released = window_->beeps ? QStringLiteral("beep")
            : played.x ? QStringLiteral("played %1,%2").arg(played.x).arg(played.y)
                       : QStringLiteral("ignored");
        QCOMPARE(moved + released, outcome);
    }

    // The stones show as discs and the counts with a blank in place of the sign; hq2 paints the
    // board's colour over the empty cells too (the grid lines stay: tst_board_surface).
    void stonesShowAsDiscsAndHq2WipesOldOnes()
    {
        // The colour at cell (x, y)'s centre, or `dx` pixels right and `dy` down from it.
        const auto colourAt = [this](int x, int y, int dx = 0, int dy = 0) {
            return board()
                ->picture()
                .pixelColor(cellCentre(x, y).toPoint() + QPoint(dx, dy))
                .name();
        };
        GameFlow &flow = window_->flow();
        flow.qizi[1][1] = kBlack;
        flow.qizi[16][16] = kWhite;
        flow.bqnum = 1;
        flow.hqnum = 12;
        window_->paintStones();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16) + colourAt(2, 1), "#000000#ffffff#ffc080");
        // Discs of 7.5 pixels' radius: stone 6 pixels from the centre, board 9 pixels away.
        QCOMPARE(colourAt(1, 1, 6) + colourAt(1, 1, 0, 6) + colourAt(16, 16, -6)
                + colourAt(16, 16, 0, -6),
            "#000000#000000#ffffff#ffffff");
        QCOMPARE(colourAt(1, 1, 9) + colourAt(16, 16, 0, -9), "#ffc080#ffc080");
        QCOMPARE(caption("bqxy") + '|' + caption("hqxy"), "白棋现有 1 子|黑棋现有 12 子");

        flow.qizi[16][16] = kEmpty;
        window_->repaintBoard();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16), "#000000#ffc080");
    }

    void clockCaptionShowsMinutesAndSecondsAndWrapsPast32767()
    {
        // The clock ticks each second from the first game on.
        const QTimer *timer = window_->findChild<QTimer *>("Timer1");
        QCOMPARE(
            QString::number(timer->interval()) + (timer->isActive() ? " on" : " off"), "1000 off");
        type("F2");
        QVERIFY(timer->isActive());
        // After 59 and 60 ticks; after 6000, of whose minutes only the last two digits show;
        // after 32767, which are 546 minutes; and after 32768, where the count starts again.
        QStringList captions;
        for (int tick = 1; tick <= 32768; ++tick) {
            window_->advanceClock();
            if (QList {59, 60, 6000, 32767, 32768}.contains(tick))
                captions << caption("timenow");
        }
        QCOMPARE(captions.join(' '), "00:59 01:00 00:00 46:07 00:00");
        // The count itself starts again, not its caption only.
        QCOMPARE(window_->flow().timecount, 0);
    }

    // What the player sees of Rules and of About, which opens the author's page first.
    void helpCommandsShowTheirBoxes()
    {
        ModalAnswerer answerer(&log_, {Qt::Key_Return});
        window_->findChild<QAction *>("rules")->trigger();
        window_->findChild<QAction *>("mnAbout")->trigger();

        const QString rules = log_.takeAt(1); // 22 lines, each ended by a line break
        QCOMPARE(rules.count('\n'), 22);
        QCOMPARE(rules.section('\n', 13, 13), "  1 2 3 4 5         1 2 3 4 5");
        QCOMPARE(
            QCryptographicHash::hash(rules.chopped(1).toUtf8(), QCryptographicHash::Sha256).toHex(),
            kRulesChecksum);
        QCOMPARE(log_.join('\n').split('\n'),
            QStringList({"Tavrin规则", "确定", "page " + QString(kAuthorHomePage), "关于",
                "          Tavrin v1.0 for Win 95", "", "", "更多软件:" + QString(kAuthorHomePage),
                "", "确定"}));
    }

    void questionsAnswerOnlyToTheirButtons_data()
    {
        // Y answers Yes and N No wherever else this test meets a question.
        QTest::addColumn<QList<int>>("keys"); // 0 stands for the window's close button
        QTest::addColumn<bool>("yes");
        QTest::newRow("Escape and close do nothing, N is No")
            << QList<int> {Qt::Key_Escape, 0, Qt::Key_N} << false;
        QTest::newRow("Enter takes the default, Yes") << QList<int> {Qt::Key_Return} << true;
    }

    // The new-game question stands for all three: pass, new game and result share the box.
    void questionsAnswerOnlyToTheirButtons()
    {
        QFETCH(QList<int>, keys);
        QFETCH(bool, yes);
        type("F2 Right Right Down Return");
        QCOMPARE(window_->flow().stepnum, 2);
        ModalAnswerer answerer(&log_, keys);
        type("F2");
        QCOMPARE(log_.size(), 4 * keys.size()); // the box stayed open for each key
        QCOMPARE(window_->flow().stepnum == 0, yes);
    }

    // A whole game to its end, white taking the first legal cell, row by row, or passing; by keys
    // (F2, Home, Page Up, arrows and Return, Alt+C) and by mouse and menu in turn. The saved
    // record holds every move.
    void wholeGameEndsAndItsRecordIsSaved()
    {
        QTemporaryDir folder;
        // Accepting the wildcard only lists the record files; the dialog waits for a real name.
        ModalAnswerer answerer(
            &log_, {Qt::Key_N}, {folder.filePath("*.tvr"), folder.filePath("whole-game")});
        QByteArray expected; // the record the moves imply, a line per turn
        const auto recordLine = [](const QPoint &cell) {
            return QStringLiteral(" %1  %2 \r\n").arg(cell.x()).arg(cell.y()).toLatin1();
        };
        GameFlow &flow = window_->flow();
        QTimer::singleShot(0, this, [&] {
            type("F2");
            for (int turn = 0; turn < 400 && !flow.programEnded(); ++turn) {
                const QPoint white = cellOf(legalCellsText(flow).section(' ', 0, 0));
                board()->setAnnouncement({});
                if (white.isNull())
                    turn % 2 ? type("Alt+C") : window_->findChild<QAction *>("fqyz")->trigger();
                else if (turn % 2) // from 1,1 to white's cell
                    type("Home PgUp " + QString("Right ").repeated(white.x() - 1)
                        + QString("Down ").repeated(white.y() - 1) + "Return");
                else
                    QTest::mouseClick(
                        board(), Qt::LeftButton, {}, cellCentre(white.x(), white.y()).toPoint());
                // What the reader is told: "电脑落子 x,y", "电脑无子可下" for a pass, or nothing
                // when white's stone ended the game.
                const QString told = board()->announcement();
                expected += recordLine(white)
                    + (told.isEmpty() ? QByteArray() : recordLine(cellOf(told.section(' ', 1))));
            }
        });

        QCOMPARE(QCoreApplication::exec(), 0);

        // The question whether to play again is asked with Yes and No in Chinese.
        QCOMPARE(log_.mid(2).join(' ').remove('&'), QStringLiteral("是(Y) 否(N) save save"));
        QFile saved(folder.filePath("whole-game.tvr"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
    }

    void screenReaderHearsTheFocusCellAndTheComputer_data()
    {
        QTest::addColumn<QStringList>("position"); // none: the starting one
        QTest::addColumn<QString>("keys"); // from 8,8 to white's cell, and play there
        QTest::addColumn<QString>("heard");

        QTest::newRow("computer's stone")
            << QStringList() << "Right Right Down Return"
            << "focus 9,8 白棋|focus 10,8 空|focus 10,9 空 可落子|told 电脑落子 10,8";
        QTest::newRow("computer passes")
            << placedBoard("o@1,1 x@2,1 x@1,2") << "Home PgUp Right Right Return"
            << "focus 1,8 空|focus 1,1 白棋|focus 2,1 黑棋|focus 3,1 空 可落子|told 电脑无子可下";
    }

    // The board has the keyboard from the start, its focus cell on 8,8, and a screen reader reads
    // it as a table of the game's cells; before the first game the keys that play do nothing.
    // Moving the focus cell shows it on the position label too; names follow the board, and a
    // new game clears what the reader was told, the focus cell staying where it was.
    void screenReaderHearsTheFocusCellAndTheComputer()
    {
        QFETCH(QStringList, position);
        QFETCH(QString, keys);
        QFETCH(QString, heard);
        GameFlow &flow = window_->flow();
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board());
        QCOMPARE(window_->focusWidget(), board());
        QVERIFY(table->focusChild()->state().focused);
        QCOMPARE(table->focusChild()->text(QAccessible::Name), "8,8 黑棋");
        ::heard.clear();
        type("Up Return Space Down");
        QCOMPARE(::heard.join('|'), "focus 8,7 空|focus 8,8 黑棋");
        QCOMPARE(flow.stepnum + window_->beeps, 0);

        type("F2");
        if (!position.isEmpty()) {
            putBoard(flow, position);
            flow.pdkyxq(kWhite);
            window_->repaintBoard();
        }
        // A full record, which must not silence the computer's answer.
        std::fill_n(flow.qipu + 1, 256, stepxy {5, 16});
        flow.stepnum = 256;
        ::heard.clear();
        type(keys);
        QCOMPARE(::heard.join('|'), heard);
        const QString white = ::heard.filter("focus ").last().section(' ', 1, 1);
        QCOMPARE(caption("xqwz"), white);
        QCOMPARE(table->focusChild()->text(QAccessible::Name), white + " 白棋");
        QCOMPARE("told " + table->text(QAccessible::Description), ::heard.last());

        ModalAnswerer answerer(&log_, {Qt::Key_Y});
        type("F2");
        QCOMPARE(::heard.last() + table->text(QAccessible::Description), "told ");
        const PointerCell focus = board()->focusCell();
        QCOMPARE(QString("%1,%2").arg(focus.column).arg(focus.row), white);
    }

    // The labels read as they show; each banner caption is a link whose press action opens
    // what a click on it opens.
    void labelsAndBannerLinksReadAsTheyShow()
    {
        type("F2");
        for (const char *name : {"bqxy", "hqxy", "xzld", "xqwz", "timenow"}) {
            auto *label = window_->findChild<QLabel *>(name);
            QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                label->text());
        }
        auto *banner = window_->findChild<Gg *>("Gg1");
        QStringList opened;
        for (const QString &link : {banner->shownLink(), banner->entries()[0].link,
                 banner->entries()[1].link, QString(kAuthorHomePage)})
            opened << "page " + link;
        const QString press = QAccessibleActionInterface::pressAction();
        for (const char *name : {"Label1", "Label2_0", "Label2_1", "Label3"}) {
            auto *caption = banner->findChild<QLabel *>(name);
            QAccessibleInterface *link = QAccessible::queryAccessibleInterface(caption);
            QCOMPARE(link->role(), QAccessible::Link);
            QCOMPARE(link->text(QAccessible::Name), caption->text());
            QCOMPARE(link->actionInterface()->actionNames(), QStringList {press});
            link->actionInterface()->doAction(press);
        }
        QCOMPARE(log_, opened);
    }

    void onlyALiveCopyBlocksAStart_data()
    {
        // What a crash, or anything else, left at the lock's path in the runtime folder.
        QTest::addColumn<QString>("leftover");
        for (const char *leftover :
            {"nothing", "garbage", "folder", "dangling link", "another user's lock"})
            QTest::newRow(leftover) << leftover;
    }

    // The first copy holds the lock whatever was left at its path, and a second one leaves at
    // once with status 0; killed, the first releases it with its life.
    void onlyALiveCopyBlocksAStart()
    {
        QFETCH(QString, leftover);
        window_.reset(); // this test's own lock is elsewhere: the copies get a runtime folder
        QTemporaryDir runtime;
        const QString path = runtime.filePath("tavrin.lock");
        QFile garbage(path);
        QVERIFY(leftover != "garbage"
            || (garbage.open(QIODevice::WriteOnly) && garbage.write("\xff\0x", 3) == 3));
        QVERIFY(leftover != "folder" || QDir().mkdir(path));
        QVERIFY(leftover != "dangling link" || QFile::link(runtime.filePath("gone/x"), path));
        // Another user's file, locked by this test: it must not stand for a running copy.
        const int foreign = leftover == "another user's lock"
            ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT, 0644)
            : -1;
        if (foreign >= 0 && ::fchown(foreign, 65534, 65534) != 0)
            QSKIP("no right to give a file to another user");
        QVERIFY(foreign < 0 || ::flock(foreign, LOCK_EX) == 0);
        const auto closeForeign = qScopeGuard([foreign] { foreign < 0 || ::close(foreign); });
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess copies[3];
        for (QProcess &copy : copies)
            copy.setProcessEnvironment(environment);
        // Whether copy `i` holds a lock taken with flock(), as the kernel lists them.
        const auto locks = [&copies](int i) {
            QFile list("/proc/locks");
            return list.open(QIODevice::ReadOnly)
                && QString(list.readAll())
                       .contains(QRegularExpression(QStringLiteral("FLOCK +ADVISORY +WRITE +%1 ")
                                                        .arg(copies[i].processId())));
        };

        copies[0].start(TAVRIN_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(locks(0), 15000);
        copies[1].start(TAVRIN_PROGRAM);
        QVERIFY(copies[1].waitForFinished(15000));
        QCOMPARE(copies[1].exitStatus() == QProcess::NormalExit ? copies[1].exitCode() : -1, 0);
        QVERIFY(locks(0)); // the first copy still runs and holds it
        if (leftover != "nothing")
            return; // the lock a killed copy leaves is the same whatever was there before
        copies[0].kill(); // dies without releasing anything itself
        QVERIFY(copies[0].waitForFinished(15000));
        copies[2].start(TAVRIN_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(locks(2), 15000);
    }

private:
    BoardSurface *board() const { return window_->findChild<BoardSurface *>("qp"); }
    QString caption(const char *label) const { return window_->findChild<QLabel *>(label)->text(); }
    // Types `keys` into the window as the keyboard does: "F2", "Alt+C", "Right Right Return".
    void type(const QString &keys) const
    {
        for (const QString &key : keys.split(' ', Qt::SkipEmptyParts)) {
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(
                window_->windowHandle(), combination.key(), combination.keyboardModifiers());
        }
    }
    // Cell "x,y"; (0, 0) for anything else.
    static QPoint cellOf(const QString &xy)
    {
        return QPoint(xy.section(',', 0, 0).toInt(), xy.section(',', 1, 1).toInt());
    }
    // The centre of cell (x, y) in the board's pixels.
    QPointF cellCentre(int x, int y) const
    {
        return QPointF(cellCentreUnits(x), cellCentreUnits(y)) * board()->width() / kBoardUnits;
    }

    QTemporaryDir runtime_; // the runtime folder, and so the instance lock, of this test
    std::unique_ptr<BeepCountingWindow> window_;
    QStringList log_; // pages the browser was asked to open and boxes shown, in order
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
