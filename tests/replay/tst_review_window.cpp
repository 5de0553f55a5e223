// The review window on records the game flow saves at the end of a game, stepped through with
// its keys, and on records it cannot fully show or cannot read.
#include "board/board_surface.h"
#include "random_player.h"
#include "replay/review_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(tavrin::stepxy)

using namespace tavrin;
using namespace tavrin::replay;

namespace {

constexpr quint32 kWhiteWinsSeed = 25; // a game that fills the board with white ahead
constexpr quint32 kWipeOutSeed = 1; // a game where white loses its last stone
constexpr int kMarkReach = 5; // pixels around a cell's centre that lie inside its disc

// Plays a whole game through the game flow, which offers to save it at the end; the Save dialog
// is answered with `path`, the question of another game with No.
void saveWholeGame(quint32 seed, const QString &path)
{
    test::RandomPlayer player(seed);
    player.window.saveNames = {path};
    while (!player.window.calls.contains("endProgram") && player.exchange()) { }
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString labelText(ReviewWindow &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

// Runs the review as the program does; `look` gets the window once it is active, and the window
// is closed after it, whatever it found. Gives the exit status, or -1 when no window was looked at.
int review(const QString &path, int step, const std::function<void(ReviewWindow &)> &look)
{
    bool looked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<ReviewWindow *>(widget);
            if (window && window->isVisible()) {
                const auto closing = qScopeGuard([window] { window->close(); });
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                look(*window);
                looked = true;
            }
        }
    });
    const int status = runReview(QFile::encodeName(path), {step, false});
    return looked ? status : -1;
}

// Compares the board the window draws with `position`: the colour at the centre of each cell, and
// a ring of the other side's colour inside the disc of the `marked` cell alone.
void compareBoard(ReviewWindow &window, const GameState &position, stepxy marked)
{
    const QImage image = window.findChild<BoardSurface *>("board")->grab().toImage();
    const double cell = image.width() / double(kBoardSize);
    const QRgb colours[] = {kBoardColour.rgb(), kWhiteStoneColour.rgb(), kBlackStoneColour.rgb()};
    for (int x = 1; x <= kBoardSize; ++x) {
        for (int y = 1; y <= kBoardSize; ++y) {
            const QPoint centre(qRound((x - 0.5) * cell), qRound((y - 0.5) * cell));
            const int code = position.qizi[x][y];
            const QRgb other = colours[code == kWhite ? kBlack : kWhite];
            bool ring = false;
            for (int dx = -kMarkReach; dx <= kMarkReach && code != kEmpty; ++dx)
                for (int dy = -kMarkReach; dy <= kMarkReach; ++dy)
                    ring = ring || image.pixel(centre + QPoint(dx, dy)) == other;
            const QString where = QStringLiteral("cell %1,%2").arg(x).arg(y);
            QVERIFY2(image.pixel(centre) == colours[code], qPrintable(where));
            QVERIFY2(ring == (marked.x == x && marked.y == y), qPrintable(where));
        }
    }
}

} // namespace

class ReviewWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void stepsThroughASavedGame_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QString>("result");
        QTest::newRow("board full, white ahead")
            << kWhiteWinsSeed << QStringLiteral("Congratulations , 重新来一盘？");
        QTest::newRow("white wiped out")
            << kWipeOutSeed << QStringLiteral("Bad luck , 重新来一盘？");
    }

    // Opens at the end, Home goes to the start, then → shows every entry as the replay plays it.
    void stepsThroughASavedGame()
    {
        QFETCH(quint32, seed);
        QFETCH(QString, result);
        const QString path = folder_.filePath(QStringLiteral("game %1.tvr").arg(seed));
        saveWholeGame(seed, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::vector<stepxy> entries = parseRecord(file.readAll()).entries;
        const int last = int(entries.size());

        const int status = review(path, -1, [&](ReviewWindow &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Tavrin 复盘 - game %1.tvr").arg(seed));
            QCOMPARE(window.entry(), last);
            QCOMPARE(labelText(window, "result"), result);
            QTest::keyClick(&window, Qt::Key_Home);
            for (int step = 0; step <= last; ++step) {
                const GameState position = replayRecord(entries, {step, false}).position;
                QCOMPARE(window.entry(), step);
                compareBoard(window, position, step > 0 ? entries[step - 1] : stepxy {});
                QCOMPARE(
                    labelText(window, "whiteCount"), QString("白棋现有 %1 子").arg(position.bqnum));
                QCOMPARE(
                    labelText(window, "blackCount"), QString("黑棋现有 %1 子").arg(position.hqnum));
                QCOMPARE(labelText(window, "stepCaption"),
                    QString("第 %1 步 / 共 %2 步").arg(step).arg(last));
                QCOMPARE(labelText(window, "result").isEmpty(), step < last);
                QTest::keyClick(&window, Qt::Key_Right);
            }
            QCOMPARE(window.entry(), last); // → at the end stays there
            QTest::keyClick(&window, Qt::Key_Left);
            QCOMPARE(window.entry(), last - 1);
            QTest::keyClick(&window, Qt::Key_End);
            QCOMPARE(window.entry(), last);
        });
        QCOMPARE(status, 0);
    }

    void captionsNameTheEntry_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("move");
        QTest::addColumn<stepxy>("marked");
        QTest::newRow("start") << 0 << "" << stepxy {};
        QTest::newRow("white's stone") << 1 << "白棋 10,9" << stepxy {10, 9};
        QTest::newRow("black's stone") << 2 << "黑棋 10,8" << stepxy {10, 8};
        QTest::newRow("white's pass, nothing marked") << 3 << "白棋放弃" << stepxy {};
    }

    // --step opens at that entry; the window names who made it and where.
    void captionsNameTheEntry()
    {
        QFETCH(int, step);
        QFETCH(QString, move);
        QFETCH(stepxy, marked);
        const QString path = folder_.filePath("opening.tvr");
        const QByteArray record = " 10  9 \r\n 10  8 \r\n 0  0 \r\n";
        QVERIFY(writeFile(path, record));
        const int status = review(path, step, [&](ReviewWindow &window) {
            QCOMPARE(window.entry(), step);
            QCOMPARE(labelText(window, "moveCaption"), move);
            QCOMPARE(labelText(window, "stepCaption"), QString("第 %1 步 / 共 3 步").arg(step));
            QCOMPARE(labelText(window, "result"), QString());
            compareBoard(
                window, replayRecord(parseRecord(record).entries, {step, false}).position, marked);
        });
        QCOMPARE(status, 0);
    }

    void faultyRecordStopsAtLastSoundEntry_data()
    {
        QTest::addColumn<QByteArray>("record");
        const QByteArray opening = " 10  9 \r\n 10  8 \r\n";
        QTest::newRow("illegal move") << opening + " 1  1 \r\n 0  0 \r\n";
        QTest::newRow("malformed line") << opening + " 10 9 \r\n";
    }

    // The window shows the replay tool's own message, and stepping stops before the fault.
    void faultyRecordStopsAtLastSoundEntry()
    {
        QFETCH(QByteArray, record);
        const QString path = folder_.filePath("faulty.tvr");
        QVERIFY(writeFile(path, record));
        QProcess tool;
        tool.start(QStringLiteral(TAVRIN_REPLAY_PROGRAM), {path});
        QVERIFY(tool.waitForFinished() && tool.exitCode() == 1);
        const QString message = QString(tool.readAllStandardError()).trimmed();
        QVERIFY2(message.startsWith("tavrin-replay: " + path + ":3: "), qPrintable(message));

        const int status = review(path, -1, [&](ReviewWindow &window) {
            QCOMPARE("tavrin-replay: " + labelText(window, "fault"), message);
            QCOMPARE(
                window.findChild<QLabel *>("fault")->palette().color(QPalette::WindowText).name(),
                "#c00000");
            QCOMPARE(window.entry(), 2);
            QTest::keyClick(&window, Qt::Key_Right);
            QCOMPARE(labelText(window, "stepCaption"), QString("第 2 步 / 共 2 步"));
            QTest::keyClick(&window, Qt::Key_Home);
            QTest::keyClick(&window, Qt::Key_End);
            QCOMPARE(window.entry(), 2);
        });
        QCOMPARE(status, 1);
    }

    // A file that cannot be read is named in a box; neither it nor a step beyond the record opens
    // a window.
    void unreadableFileOrStepIsRefused()
    {
        const QString path = folder_.filePath("missing.tvr");
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        QCOMPARE(runReview(QFile::encodeName(path), {-1, false}), 2);
        QVERIFY2(shown.startsWith("无法读取棋谱：" + path + '\n'), qPrintable(shown));
        QVERIFY(shown.section('\n', 1).size() > 0); // the system's reason
        // A step beyond the record is refused before any window opens, as without the window.
        QVERIFY(writeFile(path, " 10  9 \r\n"));
        QCOMPARE(runReview(QFile::encodeName(path), {2, false}), 2);
    }

private:
    QTemporaryDir folder_;
};

QTEST_MAIN(ReviewWindowTest)
#include "tst_review_window.moc"
