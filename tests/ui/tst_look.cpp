// What the specified window looks like, sampled where a careless change would show: the board's
// grid, discs and colours, the count captions, the clock's timer and the banner's controls; and
// that the game's questions are answered by their two buttons alone.
#include "board/board_surface.h"
#include "ui/xq.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tavrin;

class LookTest : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime_; // the instance lock of this test alone
    std::unique_ptr<xq> window_;

    template<typename T>
    T *find(const char *name) const
    {
        return window_->findChild<T *>(QString::fromLatin1(name));
    }
    BoardSurface *board() const { return find<BoardSurface>("qp"); }
    // The colour of the board picture at cell (x, y)'s centre, moved by (dx, dy) pixels.
    QString colourNear(int x, int y, int dx = 0, int dy = 0) const
    {
        const double cell = board()->width() / double(kBoardSize);
        const QPoint at(int((x - 0.5) * cell) + dx, int((y - 0.5) * cell) + dy);
        return board()->picture().pixelColor(at).name();
    }

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit()); }
    void init()
    {
        window_ = std::make_unique<xq>();
        window_->load();
    }
    void cleanup() { window_.reset(); }

    // A light cyan line of one pixel at every cell boundary, the frame at both edges, and
    // nothing cyan between them, across and down.
    void gridLinesLieOnCellBoundaries()
    {
        QList<int> expected {0};
        for (int i = 1; i < kBoardSize; ++i)
            expected << i * board()->width() / kBoardSize;
        expected << board()->width() - 1;
        QList<int> across, down;
        const QImage &picture = board()->picture();
        for (int i = 0; i < picture.width(); ++i) {
            if (picture.pixelColor(i, 10) == QColor(0x00, 0xFF, 0xFF))
                across << i;
            if (picture.pixelColor(10, i) == QColor(0x00, 0xFF, 0xFF))
                down << i;
        }
        QCOMPARE(across, expected);
        QCOMPARE(down, expected);
    }

    void samples_data()
    {
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("afterFirstGame");

        const auto row
            = [](const char *name, const QString &seen, const char *expected, bool started = true) {
                  QTest::newRow(name) << seen << QString::fromUtf8(expected) << started;
              };
        row("board colour before a game", "cell 1,1", "#ffc080", false);
        row("clock timer before a game", "clock", "1000 ms, stopped", false);
        row("black stone at 8,8, 6 px either side of its centre", "disc 8,8", "#000000 #000000");
        row("white stone at 9,8", "disc 9,8", "#ffffff #ffffff");
        row("disc radius: 9 px from the centre is board", "outside 8,8", "#ffc080 #ffc080");
        row("white count: a blank in place of the sign", "bqxy", "白棋现有 2 子");
        row("black count: a blank in place of the sign", "hqxy", "黑棋现有 2 子");
        row("clock runs from the first game on", "clock", "1000 ms, running");
        row("banner background", "Gg1 colour", "#ffc080");
        row("Picture1 place", "Picture1", "72,0 177x25 arrow");
        row("Label1 place, colour and pointer", "Label1", "0,8 167x14 #0000c0 hand");
        row("Label2(0) place, colour and pointer", "Label2_0", "8,6 65x17 #0000c0 hand");
        row("Label2(1) place, colour and pointer", "Label2_1", "264,8 73x17 #0000c0 hand");
        row("Label3 place, colour and pointer", "Label3", "344,8 57x17 #0000c0 hand");
    }

    void samples()
    {
        QFETCH(QString, seen);
        QFETCH(QString, expected);
        QFETCH(bool, afterFirstGame);
        if (afterFirstGame)
            window_->flow().MNrj();
        QCOMPARE(describe(seen), expected);
    }

    void questionsAnswerOnlyToTheirButtons_data()
    {
        QTest::addColumn<QList<int>>("keys"); // 0 stands for the window's close button
        QTest::addColumn<bool>("yes");
        QTest::newRow("Escape and close do nothing, N is No")
            << QList<int> {Qt::Key_Escape, 0, Qt::Key_N} << false;
        QTest::newRow("Y is Yes") << QList<int> {Qt::Key_Y} << true;
        QTest::newRow("Enter takes the default, Yes") << QList<int> {Qt::Key_Return} << true;
    }

    // The new-game question stands for all three: pass, new game and result share the box.
    void questionsAnswerOnlyToTheirButtons()
    {
        QFETCH(QList<int>, keys);
        QFETCH(bool, yes);
        GameFlow &flow = window_->flow();
        flow.MNrj();
        flow.release(cellAt(float(cellCentreUnits(10)), float(cellCentreUnits(9))), Qt::LeftButton);
        QCOMPARE(flow.stepnum, std::int16_t(2));
        int stillOpen = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || keys.isEmpty())
                return;
            const int key = keys.takeFirst();
            key ? QTest::keyClick(box, Qt::Key(key)) : void(box->close());
            stillOpen += !keys.isEmpty() && box->isVisible();
        });
        timer.start(20);
        flow.MNrj();
        QCOMPARE(stillOpen, 2 * !yes);
        QCOMPARE(flow.stepnum == 0, yes);
    }

private:
    QString describe(const QString &what) const
    {
        if (what == "cell 1,1")
            return colourNear(1, 1);
        if (what == "disc 8,8")
            return colourNear(8, 8, -6) + ' ' + colourNear(8, 8, 6);
        if (what == "disc 9,8")
            return colourNear(9, 8, 0, -6) + ' ' + colourNear(9, 8, 0, 6);
        if (what == "outside 8,8")
            return colourNear(8, 8, -9) + ' ' + colourNear(8, 8, 0, 9);
        if (what == "clock") {
            auto *timer = find<QTimer>("Timer1");
            return QString::number(timer->interval()) + " ms, "
                + (timer->isActive() ? "running" : "stopped");
        }
        if (what == "Gg1 colour")
            return find<QWidget>("Gg1")->palette().color(QPalette::Window).name();
        // The banner's controls first: the window has a Picture1 of its own.
        QWidget *control = find<QWidget>("Gg1")->findChild<QWidget *>(what);
        control = control ? control : find<QWidget>(qPrintable(what));
        if (auto *count = qobject_cast<QLabel *>(control); count && what.endsWith("qxy"))
            return count->text();
        const QRect place = control->geometry();
        QString text
            = QString::asprintf("%d,%d %dx%d", place.x(), place.y(), place.width(), place.height());
        if (qobject_cast<QLabel *>(control))
            text += ' ' + control->palette().color(QPalette::WindowText).name();
        return text + (control->cursor().shape() == Qt::PointingHandCursor ? " hand" : " arrow");
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
