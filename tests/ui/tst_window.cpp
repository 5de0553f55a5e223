// The main window and its board: layout, look and menus, the board under the pointer and the
// keyboard, its grid at any scale and its focus frame, the clock, the help boxes, questions and
// the Save dialog, what a screen reader reads and hears, and one running copy at a time.
#include "banner/banner.h"
#include "banner/caption_label.h"
#include "board/board_accessible.h"
#include "board/spoken_notice.h"
#include "board_text.h"
#include "desktop/home_page.h"
#include "flow/record_file.h"
#include "ui/help_texts.h"
#include "ui/main_window.h"
#include "ui/qt_translation.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <QtMath>
#include <cerrno>
#include <csignal>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The rules box as the player reads it: 22 lines, pinned by one of them and a checksum of all.
constexpr char kRulesChecksum[]
    = "77aca6cd6bb062cb5fc4b6a45e8dc1e0edfab2d3516303b4763614965607b9d9";

// What a screen reader hears: "focus <name>" when the focus moves to a cell of the board or to a
// banner caption, and "said <text>" when a notification appears.
QStringList heard;

// Contrast ratio of two colours, as the accessibility guidelines measure it.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        double sum = 0.05;
        for (const auto &[v, weight] :
            {std::pair {c.redF(), 0.2126}, {c.greenF(), 0.7152}, {c.blueF(), 0.0722}})
            sum += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        return sum;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// The main window with the system beep counted instead of sounded.
struct BeepCountingWindow : MainWindow
{
    void beep() override { ++beeps; }
    int beeps = 0;
};

// Answers each modal dialog that shows while it lives and notes it in `log`: a message box as its
// title, text and button captions, then the next of `keys` is pressed in it (0: its close button;
// the last key serves all boxes after it). A Save dialog is noted as "save <name> in <folder>" as
// it opens, then gets the next of `names` typed and accepted, or is cancelled when none is left.
struct ModalAnswerer : QTimer
{
    ModalAnswerer(QStringList *log, QList<int> keys, QStringList names = {})
    {
        connect(this, &QTimer::timeout, [=]() mutable {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!modal || modal->property("answered").toBool())
                return; // a button's key clicks it a moment later
            if (!box) {
                auto *name = modal->findChild<QLineEdit *>("fileNameEdit");
                *log << "save " + name->text() + " in "
                        + qobject_cast<QFileDialog *>(modal)->directory().path();
                if (names.isEmpty())
                    return modal->reject();
                name->setText(names.takeFirst());
                return modal->accept();
            }
            *log << box->windowTitle() << box->text();
            if (!box->accessibleDescription().isEmpty())
                *log << "described " + box->accessibleDescription();
            for (QAbstractButton *each : box->buttons())
                *log << each->text();
            box->setProperty("answered", keys.size() == 1);
            const int key = keys.size() > 1 ? keys.takeFirst() : keys.first();
            key ? QTest::keyClick(box, Qt::Key(key)) : void(box->close());
        });
        start(20);
    }
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
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(scheme, this, "openPage");
        // Accessibility on, as a screen reader turns it on; the handler stands for the reader.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
            QObject *object = event->object();
            const bool focus = event->type() == QAccessible::Focus
                && (qobject_cast<BoardSurface *>(object)
                        ? event->child() >= 0
                        : qobject_cast<CaptionLabel *>(object) != nullptr);
            const bool notice
                = event->type() == QAccessible::ObjectShow && qobject_cast<SpokenNotice *>(object);
            if (focus || notice)
                heard << (focus ? "focus " : "said ")
                        + event->accessibleInterface()->text(QAccessible::Name);
        });
    }
    void init()
    {
        log_.clear();
        window_ = std::make_unique<BeepCountingWindow>();
        window_->load();
        QCOMPARE(window_->focusWidget(), board()); // the board has the keyboard from the start
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QCoreApplication::processEvents(); // the board tells of its focus cell once it has focus
    }
    void cleanup() { window_.reset(); }
    void cleanupTestCase()
    {
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
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
        const QString path = QTest::currentDataTag();
        QWidget *control = window_.get();
        for (const QString &name : path.split('/'))
            control = control->findChild<QWidget *>(name);
        auto *label = qobject_cast<QLabel *>(control);
        const QRect place = control->geometry();
        const QPalette colours = control->palette();
        QString seen = QString::asprintf(
            "%d,%d %dx%d ", place.x(), place.y(), place.width(), place.height());
        if (path.contains('/')) {
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

    void menusAndTheirKeys()
    {
        // Each item: name, caption, shortcut, and whether it can be chosen; menu items indented.
        QStringList items;
        for (QAction *barItem : window_->menuBar()->actions()) {
            QMenu *menu = barItem->menu();
            for (QAction *item : QList {barItem} + (menu ? menu->actions() : QList<QAction *> {}))
                items << (item == barItem ? "" : "  ")
                        + QStringList {item->menu() ? menu->objectName() : item->objectName(),
                            item->isSeparator() ? "-" + item->text() : item->text(),
                            item->shortcut().toString(), item->isEnabled() ? "on" : "off"}
                              .join('|');
        }
        QCOMPARE(items,
            QStringList({"game|游  戏&F||on", "  MNrj|人机大战|F2|on", "  mnRR|人人对抗|F3|off",
                "  mnFP|复    盘|F4|off", "  STEP|-||on", "  mnExit|退    出&X||on",
                "hlp|帮  助&H||on", "  rules|游戏规则|F1|on", "  mnAbout|关    于&A||on",
                "fqyz|放弃一子&C||on"}));

        // F3 and F4 belong to disabled items; F1 shows the rules and F2 starts a game; About opens
        // the author's page first; then Exit leaves the event loop with status 0 and takes the
        // window away, asking nothing.
        ModalAnswerer answerer(&log_, {Qt::Key_Return});
        type("F3 F4 F1 F2");
        window_->findChild<QAction *>("mnAbout")->trigger();
        QTimer::singleShot(0, window_->findChild<QAction *>("mnExit"), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!window_->isVisible());
        const QString rules = log_.takeAt(1); // 22 lines, each ended by a line break
        QCOMPARE(rules.section('\n', 13, 13), "  1 2 3 4 5         1 2 3 4 5");
        QCOMPARE(
            QCryptographicHash::hash(rules.chopped(1).toUtf8(), QCryptographicHash::Sha256).toHex(),
            kRulesChecksum);
        QCOMPARE(log_.join('\n').split('\n'),
            QStringList({"Tavrin规则", "确定", "page " + QString(kAuthorHomePage), "关于",
                "          Tavrin v1.0 for Win 95", "", "", "更多软件:" + QString(kAuthorHomePage),
                "", "确定"}));
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
        mouse(QEvent::MouseMove, {281.25, 718.75}); // cell 5,12
        mouse(QEvent::MouseMove, position);
        const QString moved = QStringLiteral("%1 %2, ").arg(
            board()->cursor().shape() == Qt::CrossCursor ? "cross" : "no-drop", caption("xqwz"));
        mouse(QEvent::MouseButtonRelease, position);

        const RecordEntry played = window_->flow().record[1];
        const QString released = window_->beeps ? QStringLiteral("beep")
            : played.x ? QStringLiteral("played %1,%2").arg(played.x).arg(played.y)
                       : QStringLiteral("ignored");
        QCOMPARE(moved + released, outcome);
    }

    // The stones show as discs and the counts with a blank in place of the sign; hq2 paints the
    // board's colour over the empty cells too, the grid lines staying.
    void stonesShowAsDiscsAndHq2WipesOldOnes()
    {
        // The colour at cell (x, y)'s centre, or `dx` pixels right and `dy` down from it.
        const auto colourAt = [this](int x, int y, int dx = 0, int dy = 0) {
            const QPointF centre(cellCentreUnits(x), cellCentreUnits(y));
            const QPoint at = (centre * board()->width() / kBoardUnits).toPoint() + QPoint(dx, dy);
            return board()->picture().pixelColor(at).name();
        };
        GameFlow &flow = window_->flow();
        flow.board[1][1] = kBlack;
        flow.board[16][16] = kWhite;
        flow.whiteCount = 1;
        flow.blackCount = 12;
        window_->paintStones();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16) + colourAt(2, 1), "#000000#ffffff#ffc080");
        // Discs of 7.5 pixels' radius: stone 6 pixels from the centre, board 9 pixels away.
        QCOMPARE(colourAt(1, 1, 6) + colourAt(1, 1, 0, 6) + colourAt(16, 16, -6)
                + colourAt(16, 16, 0, -6),
            "#000000#000000#ffffff#ffffff");
        QCOMPARE(colourAt(1, 1, 9) + colourAt(16, 16, 0, -9), "#ffc080#ffc080");
        QCOMPARE(caption("bqxy") + '|' + caption("hqxy"), "白棋现有 1 子|黑棋现有 12 子");

        flow.board[16][16] = kEmpty;
        window_->repaintBoard();
        QCOMPARE(colourAt(1, 1) + colourAt(16, 16), "#000000#ffc080");
    }

    void boardPictureAndItsTableAtEachScale_data()
    {
        QTest::addColumn<QString>("scale");
        for (const char *scale : {"1", "1.25", "1.5", "2"})
            QTest::newRow(scale) << scale;
    }

    // A board without a game, as the review shows it, with a stone on every cell but the last:
    // the frame at both edges and a line on each of the 15 cell boundaries between, all equally
    // wide and each whole from edge to edge, no stone cutting into one; and a table for a screen
    // reader that names what the picture shows. Another scale than this test's is looked at by a
    // copy of this test run at that scale.
    void boardPictureAndItsTableAtEachScale()
    {
        QFETCH(QString, scale);
        if (scale != qEnvironmentVariable("QT_SCALE_FACTOR", "1")) {
            QProcess run;
            run.start("env",
                {"QT_SCALE_FACTOR=" + scale, QCoreApplication::applicationFilePath(),
                    "boardPictureAndItsTableAtEachScale:" + scale});
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardOutput().constData());
            return;
        }
        BoardSurface alone;
        alone.resize(340, 340);
        alone.drawGrid();
        for (int cell = 0; cell < 255; ++cell)
            alone.paintDisc(cell % 16 + 1, cell / 16 + 1,
                cell % 3 ? BoardSurface::Disc::White : BoardSurface::Disc::Black);
        const QImage &image = alone.picture();
        const int size = image.width();
        QCOMPARE(image.devicePixelRatio(), scale.toDouble());
        for (const bool down : {false, true}) {
            // Per pixel across (or down) the board, '#' where the grid colour runs edge to edge.
            QImage gridLine(down ? QSize(size, 1) : QSize(1, size), image.format());
            gridLine.fill(kGridColour);
            QString across(size, '.');
            for (int i = 0; i < size; ++i)
                if (image.copy(down ? QRect(0, i, size, 1) : QRect(i, 0, 1, size)) == gridLine)
                    across[i] = '#';
            const QStringList lines = across.split('.', Qt::SkipEmptyParts);
            QCOMPARE(lines, QStringList(17, lines.value(0)));
            for (int line = 0; line <= 16; ++line) { // in the pixel of its boundary, or next to it
                const double boundary = line * size / 16.0;
                const int first = qCeil(boundary) - 1;
                QVERIFY2(across.mid(first, qFloor(boundary) - first + 1).contains('#'),
                    qPrintable(
                        QString("line %1 at pixel %2: %3").arg(line).arg(boundary).arg(across)));
            }
        }

        // A grid of cells without the table interface, with which Orca would read a whole row
        // at each step up or down.
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(&alone);
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), "棋盘");
        QCOMPARE(grid->childCount(), 256);
        QVERIFY(!grid->tableInterface());
        QStringList seenCells;
        for (const QPoint at : {QPoint(1, 1), QPoint(16, 2), QPoint(16, 16)}) {
            QAccessibleInterface *cell = grid->child(boardCellIndex(at.x(), at.y()));
            const QPoint centre = cell->rect().center();
            QVERIFY(cell->role() == QAccessible::Cell && cell->parent() == grid);
            QVERIFY(grid->childAt(centre.x(), centre.y()) == cell && !cell->tableCellInterface());
            seenCells << cell->text(QAccessible::Name) + " child "
                    + QString::number(grid->indexOfChild(cell));
        }
        QCOMPARE(seenCells.join('|'), "1,1 黑棋 child 0|16,2 白棋 child 31|16,16 空 child 255");
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
        QCOMPARE(window_->flow().elapsedSeconds, 0);
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

    // The pass question, asked at once by Alt+C, stands for all three: pass, new game and result
    // share the box. The player's pass is followed by the computer's move.
    void questionsAnswerOnlyToTheirButtons()
    {
        QFETCH(QList<int>, keys);
        QFETCH(bool, yes);
        ModalAnswerer answerer(&log_, keys);
        type("F2 Alt+C");
        QCOMPARE(log_.size(), 4 * keys.size()); // the box stayed open for each key
        QCOMPARE(log_.mid(2, 2).join(' ').remove('&'), "是(Y) 否(N)");
        QTRY_COMPARE(window_->flow().lastEntry, yes ? 2 : 0);
    }

    // Accepting the wildcard name in the Save dialog only lists the record files; the dialog
    // waits for a real name.
    void saveDialogWaitsForARealName()
    {
        QTemporaryDir folder;
        ModalAnswerer answerer(&log_, {}, {folder.filePath("*.tvr"), folder.filePath("end.tvr")});
        QCOMPARE(window_->chooseSaveFile("保存这盘棋", folder.filePath("*.tvr")),
            folder.filePath("end.tvr"));
    }

    // A record that could not be written brings the Save dialog back, in the folder and under the
    // name tried, until it is written; only then does the next game start.
    void failedSaveOffersTheDialogAgain()
    {
        QTemporaryDir folder;
        ModalAnswerer answerer(
            &log_, {Qt::Key_Y, Qt::Key_Return}, {folder.filePath("t.tvr"), folder.filePath("u")});
        // The first save finds the disk full; the disk has room again once the player is told.
        rlimit limit = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit full = {5, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit just fails
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &full) == 0);
        QTimer room;
        connect(&room, &QTimer::timeout, [&] {
            if (!log_.filter("无法").isEmpty())
                ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        room.start(5);
        type("F2");
        putBoard(window_->flow(), placedBoard("o@1,1 x@2,1"));
        window_->flow().markPlayable(kWhite);
        type("Home PgUp Right Right Space"); // white on 3,1 takes black's last stone
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QCOMPARE(log_.filter(QRegularExpression("^save |^无法")),
            QStringList({"save *.tvr in " + QFileInfo(initialSaveName()).path(),
                "无法保存文件：" + folder.filePath("t.tvr") + '\n' + qt_error_string(EFBIG),
                "save t.tvr in " + folder.path()}));
        QFile saved(folder.filePath("u.tvr"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), " 3  1 \r\n");
        QVERIFY(!QFile::exists(folder.filePath("t.tvr")));
        QCOMPARE(window_->flow().lastEntry, 0); // the next game
    }

    // The frame shows in the focus cell alone, once a key is used while the board has focus;
    // the pointer moving over the board or the focus leaving it takes it away. The picture never
    // holds it.
    void focusFrameShowsForTheKeyboardOnly()
    {
        board()->paintDisc(9, 8, BoardSurface::Disc::Black);
        const QImage kept = board()->picture().copy();
        QCOMPARE(framedArea(), QRect());
        type("Right");
        QCOMPARE(framedArea(), board()->cellArea(9, 8).toRect());
        QCOMPARE(board()->picture(), kept);

        // Its outer band stands out from the board, the grid and a white stone; its inner band,
        // which faces the stone, from a black one.
        const QImage shown = board()->grab().toImage();
        const QPoint corner = board()->cellArea(9, 8).toRect().topLeft();
        const QColor outer = shown.pixelColor(corner);
        QPoint inside = corner;
        while (shown.pixelColor(inside) == outer)
            inside += QPoint(1, 1);
        for (const QColor &background : {kBoardColour, kGridColour, kWhiteStoneColour})
            QVERIFY(contrast(outer, background) >= 3);
        QVERIFY(contrast(shown.pixelColor(inside), kBlackStoneColour) >= 3);

        mouse(QEvent::MouseMove, {15, 15});
        QCOMPARE(framedArea(), QRect());
        type("Left");
        QCOMPARE(framedArea(), board()->cellArea(8, 8).toRect());
        board()->clearFocus();
        QCOMPARE(framedArea(), QRect());
    }

    void keysMoveTheFocusCellAndTheReaderHearsIt_data()
    {
        QTest::addColumn<QStringList>("position"); // none: before the first game
        QTest::addColumn<int>("filled"); // entries of the record already written
        QTest::addColumn<QString>("keys"); // from 8,8
        QTest::addColumn<QString>("heard");
        QTest::addColumn<QString>("focus"); // the focus cell's name at the end
        const auto row = [](const char *name, const QStringList &position, int filled,
                             const char *keys, const QString &heard, const char *focus) {
            QTest::newRow(name) << position << filled << keys << heard << focus;
        };
        const QStringList start = startingBoardText();
        const QString stone = "said 白棋落子 10,9，翻转 1 子；电脑落子 10,8，翻转 1 子。"
                              "白棋 3 子，黑棋 3 子。";

        row("before the first game: the edges; keys that play, L and R do nothing", {}, 0,
            "Left Return Space Down Home Left PgUp Up End Right PgDown Down L R",
            "focus 7,8 空|focus 7,9 空|focus 1,9 空|focus 1,1 空|focus 16,1 空|focus 16,16 空|"
            "said 没有可落子的位置",
            "16,16 空");
        row("stone and the computer's stone, played by Enter", start, 0, "Right Right Down Enter",
            "focus 9,8 白棋|focus 10,8 空|focus 10,9 空 可落子|" + stone, "10,9 白棋");
        row("the same on a full record", start, 256, "Right Right Down Enter",
            "focus 9,8 白棋|focus 10,8 空|focus 10,9 空 可落子|" + stone, "10,9 白棋");
        row("computer passes, played by Space", placedBoard("o@1,1 x@2,1 x@1,2"), 0,
            "Home PgUp Right Right Space",
            "focus 1,8 空|focus 1,1 白棋|focus 2,1 黑棋|focus 3,1 空 可落子|"
            "said 白棋落子 3,1，翻转 1 子；电脑无子可下。白棋 3 子，黑棋 1 子。",
            "3,1 白棋");
        row("player passes, on a full record", placedBoard("x@1,1 o@2,1 o@5,5"), 256,
            "Down Up Alt+C",
            "focus 8,9 空|focus 8,8 空|said 白棋放弃；电脑落子 3,1，翻转 1 子。白棋 1 子，黑棋 3 "
            "子。",
            "8,8 空");
        row("L and Shift+L go round the playable cells in reading order", start, 0,
            "L L L Shift+L Shift+L",
            "focus 10,9 空 可落子|focus 9,10 空 可落子|focus 8,7 空 可落子|focus 9,10 空 可落子|"
            "focus 10,9 空 可落子",
            "10,9 空 可落子");
        row("L on the one playable cell says it again", placedBoard("o@1,1 x@2,1"), 0, "L L",
            "focus 3,1 空 可落子|said 3,1 空 可落子", "3,1 空 可落子");
        row("S reads counts and clock, R repeats the last exchange", start, 0,
            "R S Right Right Down Enter R",
            "said 白棋现有 2 子，黑棋现有 2 子，用时 01:17|focus 9,8 白棋|focus 10,8 空|"
            "focus 10,9 空 可落子|"
                + stone + '|' + stone,
            "10,9 白棋");
        row("held or with a modifier: nothing", start, 0,
            "Up held:Return held:Space Ctrl+Return Shift+Space Shift+Up Alt+Left Ctrl+Home Ctrl+L "
            "Alt+L Shift+S Ctrl+R",
            "focus 8,7 空 可落子", "8,7 空 可落子");
    }

    // The board has the keyboard from the start, its focus cell on 8,8, and a screen reader reads
    // it as a grid of the game's cells. The focus cell shows on the position label too; names
    // follow the board, each exchange is told at once, and a new game leaves nothing for R to
    // repeat, the focus cell staying.
    void keysMoveTheFocusCellAndTheReaderHearsIt()
    {
        QFETCH(QStringList, position);
        QFETCH(int, filled);
        QFETCH(QString, keys);
        QFETCH(QString, heard);
        QFETCH(QString, focus);
        GameFlow &flow = window_->flow();
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(board());
        QVERIFY(grid->focusChild()->state().focused);
        QCOMPARE(grid->focusChild()->text(QAccessible::Name), "8,8 黑棋");
        flow.markPlayable(kWhite); // before the first game even a legal cell is not playable
        if (!position.isEmpty()) {
            type("F2");
            setPosition(position);
            std::fill_n(flow.record + 1, filled, RecordEntry {5, 16});
            flow.lastEntry = std::int16_t(filled);
            stopClockAt(77);
        }
        ::heard.clear();
        type(keys);
        QCOMPARE(::heard.join('|'), heard);
        QCOMPARE(window_->beeps, 0);
        QCOMPARE(grid->focusChild()->text(QAccessible::Name), focus);
        QCOMPARE(caption("xqwz"), focus.section(' ', 0, 0));

        ModalAnswerer answerer(&log_, {Qt::Key_Y});
        ::heard.clear();
        type("F2 R");
        QCOMPARE(::heard, QStringList());
        const PointerCell cell = board()->focusCell();
        QCOMPARE(QString("%1,%2").arg(cell.column).arg(cell.row), focus.section(' ', 0, 0));
    }

    void gameEndIsHeardWithTheResultQuestion_data()
    {
        QTest::addColumn<QStringList>("position");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<QString>("question"); // the result question and what it adds unseen
        QTest::newRow("white's stone takes black's last")
            << placedBoard("o@1,1 x@2,1") << "Home PgUp Right Right Return"
            << "said 白棋落子 3,1，翻转 1 子。白棋 3 子，黑棋 0 子。"
            << "Congratulations , 重新来一盘？|described 白棋 3 子，黑棋 0 子";
        QTest::newRow("the computer's stone takes white's last")
            << placedBoard("x@1,1 o@2,1") << "Alt+C"
            << "said 白棋放弃；电脑落子 3,1，翻转 1 子。白棋 0 子，黑棋 3 子。"
            << "Bad luck , 重新来一盘？|described 白棋 0 子，黑棋 3 子";
    }

    // The exchange that ends a game is told before the result question, which a screen reader
    // reads with both counts; the box shows its text alone.
    void gameEndIsHeardWithTheResultQuestion()
    {
        QFETCH(QStringList, position);
        QFETCH(QString, keys);
        QFETCH(QString, heard);
        QFETCH(QString, question);
        type("F2");
        setPosition(position);
        ModalAnswerer answerer(&log_, {Qt::Key_Y});
        ::heard.clear();
        type(keys);
        QCOMPARE(::heard.filter("said").join('|'), heard);
        QCOMPARE(log_.mid(1, 2).join('|'), question);
        QCOMPARE(log_.value(3).remove('&'), "是(Y)");
    }

    // Tab takes the keyboard from the board to the ticker and the two entry captions and back,
    // Shift+Tab the other way. A caption with the keyboard shows a focus frame, which goes with
    // the focus, and Enter or Space opens its link as a click does; a click gives it no focus.
    void tabReachesTheBannerCaptions()
    {
        auto *banner = window_->findChild<Banner *>("Gg1");
        auto *entry = banner->findChild<QLabel *>("Label2_1");
        const QImage unfocused = entry->grab().toImage();
        QTest::mouseClick(entry, Qt::LeftButton);
        QCOMPARE(window_->focusWidget(), board());
        log_.clear();
        ::heard.clear();
        type("Tab Tab Tab");
        QCOMPARE(window_->focusWidget(), entry);
        QVERIFY(entry->grab().toImage() != unfocused);
        type("Return Space Tab");
        QCOMPARE(entry->grab().toImage(), unfocused);
        type("Shift+Tab Shift+Tab");
        QCOMPARE(::heard.join('|'),
            QStringList({"focus " + banner->findChild<QLabel *>("Label1")->text(),
                            "focus " + banner->findChild<QLabel *>("Label2_0")->text(),
                            "focus " + entry->text(), "focus 8,8 黑棋", "focus " + entry->text(),
                            "focus " + banner->findChild<QLabel *>("Label2_0")->text()})
                .join('|'));
        const QString page = "page " + banner->entries()[1].link;
        QCOMPARE(log_.mid(log_.size() - 2), QStringList({page, page}));
    }

    // Each banner caption is a link for a screen reader, whose press action opens what a click
    // on it opens.
    void bannerCaptionsAreLinks()
    {
        auto *banner = window_->findChild<Banner *>("Gg1");
        const QString press = QAccessibleActionInterface::pressAction();
        for (const char *name : {"Label1", "Label2_0", "Label2_1", "Label3"}) {
            auto *caption = banner->findChild<QLabel *>(name);
            QAccessibleInterface *link = QAccessible::queryAccessibleInterface(caption);
            QCOMPARE(link->role(), QAccessible::Link);
            QCOMPARE(link->text(QAccessible::Name), caption->text());
            QCOMPARE(link->actionInterface()->actionNames(), QStringList {press});
            link->actionInterface()->doAction(press);
        }
        QCOMPARE(log_,
            QStringList({"page " + banner->shownLink(), "page " + banner->entries()[0].link,
                "page " + banner->entries()[1].link, "page " + QString(kAuthorHomePage)}));
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
    // once with status 0.
    void onlyALiveCopyBlocksAStart()
    {
        QFETCH(QString, leftover);
        QTemporaryDir runtime;
        const QString path = runtime.filePath("tavrin.lock");
        // Garbage, or another user's file locked by this test: neither stands for a running copy.
        const bool foreign = leftover == "another user's lock";
        QFile file(path);
        QVERIFY((leftover != "garbage" && !foreign)
            || (file.open(QIODevice::WriteOnly) && file.write("\xff\0x", 3) == 3));
        if (foreign && ::fchown(file.handle(), 65534, 65534) != 0)
            QSKIP("no right to give a file to another user");
        QVERIFY(!foreign || ::flock(file.handle(), LOCK_EX) == 0);
        QVERIFY(leftover != "folder" || QDir().mkdir(path));
        QVERIFY(leftover != "dangling link" || QFile::link(runtime.filePath("gone/x"), path));
        const QStringList command = {"XDG_RUNTIME_DIR=" + runtime.path(), TAVRIN_PROGRAM};
        QProcess first, second;
        // Whether the copy holds a lock taken with flock(), as the kernel lists them.
        const auto locks = [](const QProcess &copy) {
            QFile list("/proc/locks");
            const QRegularExpression held(
                QString("FLOCK +ADVISORY +WRITE +%1 ").arg(copy.processId()));
            return list.open(QIODevice::ReadOnly) && held.match(list.readAll()).hasMatch();
        };

        first.start("env", command);
        QTRY_VERIFY_WITH_TIMEOUT(locks(first), 15000);
        second.start("env", command);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, 0);
        QVERIFY(locks(first)); // the first copy still runs and holds it
    }

private:
    BoardSurface *board() const { return window_->findChild<BoardSurface *>("qp"); }
    // Puts `rows` on the board of a game under way, counted and drawn, its playable cells marked.
    void setPosition(const QStringList &rows) const
    {
        GameFlow &flow = window_->flow();
        putBoard(flow, rows);
        flow.playStone(16, 16, kWhite); // an empty corner, where nothing is turned over
        flow.markPlayable(kWhite);
        window_->repaintBoard();
    }
    // Stops the game clock with the count at `seconds`, as its caption shows it.
    void stopClockAt(std::int16_t seconds) const
    {
        window_->findChild<QTimer *>("Timer1", Qt::FindDirectChildrenOnly)->stop();
        window_->flow().elapsedSeconds = std::int16_t(seconds - 1);
        window_->advanceClock();
    }
    QString caption(const char *label) const { return window_->findChild<QLabel *>(label)->text(); }
    // Types `keys` into the window as the keyboard does: "F2", "Alt+C", "Right Right Return";
    // "held:Space" is a key held down, which the keyboard repeats.
    void type(const QString &keys) const
    {
        for (QString key : keys.split(' ', Qt::SkipEmptyParts)) {
            const bool held = key.startsWith("held:");
            const QKeyCombination combination = QKeySequence(key.remove("held:"))[0];
            if (held)
                QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
                    window_->windowHandle(), QEvent::KeyPress, combination.key(), {}, {}, true);
            else
                QTest::keyClick(
                    window_->windowHandle(), combination.key(), combination.keyboardModifiers());
        }
    }
    // Sends a mouse event to the board at `at` in board units, 1000 to a side.
    void mouse(QEvent::Type type, QPointF at) const
    {
        at *= board()->width() / 1000.0;
        QMouseEvent event(type, at, board()->mapToGlobal(at),
            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, {}, {});
        QApplication::sendEvent(board(), &event);
    }
    // Where the board as it shows on the screen differs from its picture.
    QRect framedArea() const
    {
        const QImage shown = board()->grab().toImage(), &kept = board()->picture();
        QRect changed;
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x)
                if (shown.pixelColor(x, y) != kept.pixelColor(x, y))
                    changed |= QRect(x, y, 1, 1);
        return changed;
    }

    QTemporaryDir runtime_; // the runtime folder, and so the instance lock, of this test
    std::unique_ptr<BeepCountingWindow> window_;
    QStringList log_; // pages the browser was asked to open and boxes shown, in order
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
