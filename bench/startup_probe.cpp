// Does what the program's main() does, with the feed address given on the command line, and
// reports when the main window was first shown (see probe_report.h). Modes:
//   game FEED_URL        leaves right after the report;
//   whole-game FEED_URL  then plays a whole game through the window (white releases the mouse on
//                        its first legal cell, the end-of-game boxes are answered No and Cancel)
//                        and reports
//                        game <peak resident size, KiB> <white turns> <median release, µs>
//                        where a release is timed from the mouse event to the redraw handled.
#include "first_legal_cell.h"
#include "probe_report.h"
#include "ui/main_window.h"
#include "ui/qt_translation.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <algorithm>
#include <vector>

namespace {

constexpr int kAnswerPollMs = 20;

// Answers the modal box or dialog on show as a player who has had enough: No to the next game,
// Cancel in the Save dialog. Polled, as a person would answer, so that the boxes really show.
void answerEndOfGame()
{
    QWidget *modal = QApplication::activeModalWidget();
    auto *box = qobject_cast<QMessageBox *>(modal);
    if (box != nullptr && box->button(QMessageBox::No) != nullptr) {
        box->button(QMessageBox::No)->click();
    } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    }
}

// A left-button release at the centre of cell (x, y) of the board, and every event it causes,
// the redraw included; returns the time that took, in µs.
double releaseOnCell(QWidget &board, int x, int y)
{
    const double cell = board.width() / static_cast<double>(tavrin::kBoardSize);
    const QPointF position((x - 0.5) * cell, (y - 0.5) * cell);
    QMouseEvent release(QEvent::MouseButtonRelease, position, board.mapToGlobal(position),
        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(&board, &release);
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e3;
}

void playWholeGame(tavrin::MainWindow &window)
{
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, &answerEndOfGame);
    answerer.start(kAnswerPollMs);
    auto &board = *window.findChild<QWidget *>(QStringLiteral("qp"));
    auto &pass = *window.findChild<QAction *>(QStringLiteral("fqyz"));
    std::vector<double> releases;
    window.flow().newGame();
    int turns = 0;
    for (; !window.flow().programEnded() && turns < tavrin::kRecordCapacity; ++turns) {
        const tavrin::RecordEntry cell = tavrin::bench::firstLegalCell(window.flow());
        if (cell.x == 0) {
            pass.trigger();
        } else {
            releases.push_back(releaseOnCell(board, cell.x, cell.y));
        }
    }
    // The last release waited for the end-of-game boxes to be answered; the median ignores it.
    std::sort(releases.begin(), releases.end());
    std::printf("game %lld %d %.0f\n", tavrin::bench::peakResidentKiB(), turns,
        releases.empty() ? 0.0 : releases[releases.size() / 2]);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool wholeGame = argc > 1 && QByteArray(argv[1]) == "whole-game";
    const QString feedUrl = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tavrin::defaultFeedUrl();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::installQtTranslation(app);
    tavrin::MainWindow window(nullptr, feedUrl);
    tavrin::bench::ShownReporter reporter([&window, wholeGame] {
        if (wholeGame) {
            playWholeGame(window);
        } else {
            QCoreApplication::exit(0);
        }
    });
    return QApplication::exec();
}
