// The main window: its layout and menus, the board's answers to the pointer, the keyboard and to
// hq and hq2, the clock, the help commands and message boxes, whole games played through it by
// mouse and by keyboard, what a screen reader reads and hears, and one running copy of the
// program at a time.
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
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The rules box as the player reads it: 22 lines, pinned by a few of them and a checksum of all.
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
// title, text and button captions, then `button` is pressed; a Save dialog as "save", then the
// next of `names` is typed and accepted. Any other dialog is noted as "unexpected" and rejected.
struct ModalAnswerer
{
    ModalAnswerer(QStringList *log, QMessageBox::StandardButton button, QStringList names = {})
    {
        QObject::connect(&timer, &QTimer::timeout, [=]() mutable {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box && box->button(button)) {
                *log << box->windowTitle() << box->text();
                for (QAbstractButton *each : box->buttons())
                    *log << each->text();
                box->button(button)->click();
            } else if (auto *name = modal ? modal->findChild<QLineEdit *>("fileNameEdit") : nullptr;
                       name && !names.isEmpty()) {
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
        // Rows are named after the controls. Places are the design's twips divided by 15; then
        // a label's text and background colours, points, boldness, alignment and caption; then
        // whether the control is shown.
        QTest::addColumn<QString>("look");

        QTest::newRow("bqxy") << "0,5 105x17 #000000/#ffffff 10.5 left 白棋现有 2 子 hidden";
        QTest::newRow("hqxy") << "0,22 105x17 #000000/#ffffff 10.5 left 黑棋现有 2 子 hidden";
        QTest::newRow("xzld") << "112,0 153x25 #000000/#00ffff 15 bold left 现在该    棋下 hidden";
        QTest::newRow("xqwz") << "280,0 57x17 #00c000/#ffffff 10.5 bold centred 1,1 hidden";
        QTest::newRow("timenow") << "280,16 57x17 #0000ff/#ffffff 9.75 bold centred 00:00 shown";
        QTest::newRow("qp") << "0,44 340x340 shown";
        QTest::newRow("Gg1") << "0,384 345x33 shown"; // wider than the window
    }

    void controlsMatchTheirLayout()
    {
        QFETCH(QString, look);
        auto *control = window_->findChild<QWidget *>(QTest::currentDataTag());
        const QRect place = control->geometry();
        QString seen = QString::asprintf(
            "%d,%d %dx%d ", place.x(), place.y(), place.width(), place.height());
        if (auto *label = qobject_cast<QLabel *>(control)) {
            seen += QStringLiteral("%1/%2 %3%4 %5 %6 ")
                        .arg(label->palette().color(label->foregroundRole()).name(),
                            label->palette().color(label->backgroundRole()).name())
                        .arg(label->font().pointSizeF())
                        .arg(label->font().bold() ? " bold" : "",
                            label->alignment() & Qt::AlignHCenter ? "centred" : "left",
                            label->text());
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
        for (const int key : {Qt::Key_F3, Qt::Key_F4, Qt::Key_F2})
            QTest::keyClick(window_.get(), Qt::Key(key));
        ModalAnswerer answerer(&log_, QMessageBox::Yes);
        QTest::keyClick(window_->menuBar(), Qt::Key_C, Qt::AltModifier);
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

        QTest::newRow("legal 10,9") << QPointF(593.75, 531.25) << "cross 10,9, played 10,9";
        QTest::newRow("just past the grid line 437.5 is 8,7")
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
        window_->findChild<QAction *>("MNrj")->trigger();
        const auto send = [this](QEvent::Type type, QPointF at) {
            at *= board()->width() / 1000.0;
            QMouseEvent event(type, at, board()->mapToGlobal(at),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, {}, {});
            QApplication::sendEvent(board(), &event);
        };
        send(QEvent::MouseMove, {281.25, 718.75}); // cell 5,12

        send(QEvent::MouseMove, position);
        const QString moved = QStringLiteral("%1 %2, ").arg(
            board()->cursor().shape() == Qt::CrossCursor ? "cross" : "no-drop",
            window_->findChild<QLabel *>("xqwz")->text());
        send(QEvent::MouseButtonRelease, position);

        const stepxy played = window_->flow().qipu[1];
        const QString released = window_->beeps ? QStringLiteral("beep")
            : played.x ? QStringLiteral("played %1,%2").arg(played.x).arg(played.y)
                       : QStringLiteral("ignored");
        QCOMPARE(moved + released, outcome);
    }

    void hq2WipesOldStonesAndKeepsTheGrid()
    {
        const auto colourAt = [this](int column, int row) {
            return board()->picture().pixelColor(cellCentre(column, row).toPoint()).name();
        };
        const QImage before = board()->picture().copy(); // the grid alone
        GameFlow &flow = window_->flow();
        flow.qizi[1][1] = kBlack;
        flow.qizi[16][16] = kWhite;
        window_->paintStones();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16) + colourAt(2, 1), "#000000#ffffff#ffc080");

        flow.qizi[16][16] = kEmpty;
        window_->repaintBoard();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16), "#000000#ffc080");
        const QImage &after = board()->picture();
        const QColor grid(0x00, 0xFF, 0xFF);
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                QVERIFY(before.pixelColor(x, y) != grid || after.pixelColor(x, y) == grid);
    }

    void clockCaptionShowsMinutesAndSecondsAndWrapsPast32767()
    {
        // After 59 and 60 ticks; after 6000, of whose minutes only the last two digits show;
        // after 32767, which are 546 minutes; and after 32768, where the count starts again.
        QStringList captions;
        for (int tick = 1; tick <= 32768; ++tick) {
            window_->advanceClock();
            if (QList {59, 60, 6000, 32767, 32768}.contains(tick))
                captions << window_->findChild<QLabel *>("timenow")->text();
        }
        QCOMPARE(captions.join(' '), "00:59 01:00 00:00 46:07 00:00");
        QCOMPARE(
            window_->flow().timecount, 0); // the count itself starts again, not its caption only
    }

    void helpCommandShowsItsBox_data()
    {
        // What the player sees, line by line: pages opened, then the box's title, text and button.
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("seen");

        QTest::newRow("rules") << "rules"
                               << QStringList {"Tavrin规则"} + rulesText().split('\r')
                + QStringList {"确定"};
        QTest::newRow("about opens the page before the box")
            << "mnAbout"
            << QStringList {"page " + QString(kAuthorHomePage), "关于",
                   "          Tavrin v1.0 for Win 95", "", "",
                   "更多软件:" + QString(kAuthorHomePage), "", "确定"};
    }

    void helpCommandShowsItsBox()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, seen);
        ModalAnswerer answerer(&log_, QMessageBox::Ok);

        window_->findChild<QAction *>(command)->trigger();

        QCOMPARE(log_.join('\n').split('\n'), seen);
    }

    void rulesTextIsTheGamesOwn()
    {
        const QStringList lines = rulesText().split('\r');
        QCOMPARE(lines.size(), 23); // 22 lines, each ended by a carriage return
        QCOMPARE(
            lines.value(0), "    Tavrin是一种益智游戏，但在棋盘上下棋非常麻烦，因为要不停地将黑白");
        QCOMPARE(lines.value(13), "  1 2 3 4 5         1 2 3 4 5");
        QCOMPARE(lines.value(21), "对方胜利。");
        const QByteArray all = lines.mid(0, 22).join('\n').toUtf8();
        QCOMPARE(QCryptographicHash::hash(all, QCryptographicHash::Sha256).toHex(), kRulesChecksum);
    }

    void wholeGameEndsAndItsRecordIsSaved_data()
    {
        QTest::addColumn<bool>("byKeyboard"); // F2, arrows and Return, Alt+C; or menus and mouse
        QTest::newRow("by mouse") << false;
        QTest::newRow("by keyboard") << true;
    }

    void wholeGameEndsAndItsRecordIsSaved()
    {
        QFETCH(bool, byKeyboard);
        QTemporaryDir folder;
        // Accepting the wildcard only lists the record files; the dialog waits for a real name.
        ModalAnswerer answerer(
            &log_, QMessageBox::No, {folder.filePath("*.tvr"), folder.filePath("whole-game")});
        QByteArray expected; // the record the moves imply, a line per turn
        const auto recordLine = [](const QPoint &cell) {
            return QStringLiteral(" %1  %2 \r\n").arg(cell.x()).arg(cell.y()).toLatin1();
        };
        GameFlow &flow = window_->flow();
        QTimer::singleShot(0, this, [&] {
            byKeyboard ? type("F2") : window_->findChild<QAction *>("MNrj")->trigger();
            for (int turn = 0; turn < 400 && !flow.programEnded(); ++turn) {
                // White takes the first legal cell, row by row, or passes.
                const QString before = boardToText(flow).join("");
                const QStringList xy = legalCellsText(flow).section(' ', 0, 0).split(',');
                const QPoint white(xy.value(0).toInt(), xy.value(1).toInt());
                if (white.isNull())
                    byKeyboard ? type("Alt+C") : window_->findChild<QAction *>("fqyz")->trigger();
                else if (byKeyboard)
                    type(arrowsTo(white) + "Return");
                else
                    QTest::mouseClick(
                        board(), Qt::LeftButton, {}, cellCentre(white.x(), white.y()).toPoint());
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

        QCOMPARE(QCoreApplication::exec(), 0);

        // The question whether to play again is asked with Yes and No in Chinese.
        QCOMPARE(log_.mid(2).join(' ').remove('&'), QStringLiteral("是(Y) 否(N) save save"));
        QFile saved(folder.filePath("whole-game.tvr"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);
    }

    // The board has the keyboard from the start, its focus cell on 8,8; a screen reader reads it
    // as a table of the game's cells. Before the first game the keys that play do nothing.
    void boardIsAFocusedTableOfTheGame()
    {
        QCOMPARE(window_->focusWidget(), board());
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board());
        const auto names = [table] {
            QStringList names;
            for (const QPoint cell : {QPoint(8, 7), QPoint(8, 8), QPoint(9, 8)})
                names << table->tableInterface()
                             ->cellAt(cell.y() - 1, cell.x() - 1)
                             ->text(QAccessible::Name);
            return names.join('|');
        };
        QCOMPARE(table->focusChild()->text(QAccessible::Name), "8,8 黑棋");
        QVERIFY(table->focusChild()->state().focused);
        type("Up Return Space");
        QCOMPARE(names(), "8,7 空|8,8 黑棋|9,8 白棋");
        QCOMPARE(window_->flow().stepnum + window_->beeps, 0);
        type("F2");
        QCOMPARE(names(), "8,7 空 可落子|8,8 黑棋|9,8 白棋");
        QCOMPARE(table->text(QAccessible::Name) + table->text(QAccessible::Description), "棋盘");
    }

    void screenReaderHearsTheFocusCellAndTheComputer_data()
    {
        QTest::addColumn<QStringList>("position"); // none: the starting one
        QTest::addColumn<int>("filled"); // record entries already written
        QTest::addColumn<QString>("keys"); // from 8,8 to white's cell, and play there
        QTest::addColumn<QString>("heard");

        const QString toTenNine = "Right Right Down Return";
        const QString answered
            = "focus 9,8 白棋|focus 10,8 空|focus 10,9 空 可落子|told 电脑落子 10,8";
        QTest::newRow("computer's stone") << QStringList() << 0 << toTenNine << answered;
        QTest::newRow("computer's stone on a full record")
            << QStringList() << 256 << toTenNine << answered;
        QTest::newRow("computer passes")
            << placedBoard("o@1,1 x@2,1 x@1,2") << 0 << "Home PgUp Right Right Return"
            << "focus 1,8 空|focus 1,1 白棋|focus 2,1 黑棋|focus 3,1 空 可落子|told 电脑无子可下";
    }

    // Moving the focus cell shows it on the position label too; names follow the board, and a
    // new game clears what the reader was told, the focus cell staying where it was.
    void screenReaderHearsTheFocusCellAndTheComputer()
    {
        QFETCH(QStringList, position);
        QFETCH(int, filled);
        QFETCH(QString, keys);
        QFETCH(QString, heard);
        GameFlow &flow = window_->flow();
        type("F2");
        if (!position.isEmpty()) {
            putBoard(flow, position);
            flow.pdkyxq(kWhite);
            window_->repaintBoard();
        }
        std::fill_n(flow.qipu + 1, filled, stepxy {5, 16});
        flow.stepnum = std::int16_t(filled);
        ::heard.clear();

        type(keys);
        QCOMPARE(::heard.join('|'), heard);
        const QString white = ::heard.filter("focus ").last().section(' ', 1, 1);
        QCOMPARE(window_->findChild<QLabel *>("xqwz")->text(), white);
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(board());
        QCOMPARE(table->focusChild()->text(QAccessible::Name), white + " 白棋");
        QCOMPARE("told " + table->text(QAccessible::Description), ::heard.last());

        ModalAnswerer answerer(&log_, QMessageBox::Yes);
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
        for (const char *name : {"Label1", "Label2_0", "Label2_1", "Label3"}) {
            auto *caption = banner->findChild<QLabel *>(name);
            QAccessibleInterface *link = QAccessible::queryAccessibleInterface(caption);
            QCOMPARE(link->role(), QAccessible::Link);
            QCOMPARE(link->text(QAccessible::Name), caption->text());
            const QString press = QAccessibleActionInterface::pressAction();
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
            {"nothing", "empty file", "random bytes", "folder", "dangling link"})
            QTest::newRow(leftover) << leftover;
    }

    void onlyALiveCopyBlocksAStart()
    {
        QFETCH(QString, leftover);
        window_.reset(); // this test's own lock is elsewhere: the copies get a runtime folder
        QTemporaryDir runtime;
        const QString path = runtime.filePath("tavrin.lock");
        QFile file(path);
        if (leftover == "empty file" || leftover == "random bytes") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int i = 0; leftover == "random bytes" && i < 64; ++i)
                file.putChar(char(QRandomGenerator::global()->bounded(256)));
            file.close();
        }
        QVERIFY(leftover != "folder" || QDir().mkdir(path));
        QVERIFY(leftover != "dangling link" || QFile::link(runtime.filePath("gone/x"), path));
        // Whether process `pid` holds a lock taken with flock(), as the kernel lists them.
        const auto locks = [](qint64 pid) {
            QFile list("/proc/locks");
            return list.open(QIODevice::ReadOnly)
                && QString(list.readAll())
                       .contains(QRegularExpression(
                           QStringLiteral("FLOCK +ADVISORY +WRITE +%1 ").arg(pid)));
        };
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        QProcess first, second, third;
        for (QProcess *copy : {&first, &second, &third})
            copy->setProcessEnvironment(environment);

        first.start(TAVRIN_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(locks(first.processId()), 15000);
        second.start(TAVRIN_PROGRAM);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill(); // dies without releasing anything itself
        QVERIFY(first.waitForFinished(15000));
        third.start(TAVRIN_PROGRAM);
        QTRY_VERIFY_WITH_TIMEOUT(locks(third.processId()), 15000);
        third.kill();
        QVERIFY(third.waitForFinished(15000));
    }

private:
    BoardSurface *board() const { return window_->findChild<BoardSurface *>("qp"); }
    // Types `keys` into the window as the keyboard does: "F2", "Alt+C", "Right Right Return".
    void type(const QString &keys) const
    {
        for (const QString &key : keys.split(' ', Qt::SkipEmptyParts)) {
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(
                window_->windowHandle(), combination.key(), combination.keyboardModifiers());
        }
    }
    // The arrow keys that take the board's focus cell to `cell`, each followed by a blank.
    QString arrowsTo(const QPoint &cell) const
    {
        const PointerCell from = board()->focusCell();
        const auto times = [](const char *key, long long count) {
            return QString(key).append(' ').repeated(int(qMax(0LL, count)));
        };
        return times("Right", cell.x() - from.column) + times("Left", from.column - cell.x())
            + times("Down", cell.y() - from.row) + times("Up", from.row - cell.y());
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
