// Does what the program's main() does, with the feed address given on the command line, and
// reports on standard output when the main window was first shown:
//
//     shown <steady clock, ns> <peak resident size, KiB>
//
// The steady clock is the system's monotonic clock, which the parent process reads too, so the
// parent can measure from the moment it started this process. Modes:
//   shown  leaves right after reporting;
//   idle   stays open until it is ended from outside;
//   game   then plays a whole game through the window (white takes the first legal cell, the
//          end-of-game boxes are answered No and Cancel) and reports
//          game <peak resident size, KiB> <white turns>
#include "bench_window_support.h"
#include "process_figures.h"
#include "ui/qt_translation.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>

namespace {

using tavrin::MainWindow;

// Calls `shown` once, after the window's first exposure has been painted.
class FirstExposure : public QObject
{
public:
    FirstExposure(MainWindow &window, std::function<void()> shown)
        : window_(window), shown_(std::move(shown))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Expose && watched == window_.windowHandle()) {
            seen_ = true;
            // The window paints itself while it handles the exposure; the report comes after.
            QTimer::singleShot(0, this, shown_);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    MainWindow &window_;
    std::function<void()> shown_;
    bool seen_ = false;
};

void playWholeGame(MainWindow &window)
{
    tavrin::bench::EndOfGameAnswerer answerer;
    int turns = 0;
    window.flow().newGame();
    while (!window.flow().programEnded() && turns < tavrin::kRecordCapacity) {
        tavrin::bench::playWhiteTurn(window);
        QApplication::processEvents();
        ++turns;
    }
    std::printf("game %lld %d\n", tavrin::bench::peakResidentKiB(), turns);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("shown");
    const QString feedUrl = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tavrin::defaultFeedUrl();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::installQtTranslation(app);
    MainWindow window(nullptr, feedUrl);

    FirstExposure exposure(window, [&window, &mode] {
        std::printf("shown %lld %lld\n", tavrin::bench::steadyNanoseconds(),
            tavrin::bench::peakResidentKiB());
        std::fflush(stdout);
        if (mode == "shown") {
            QCoreApplication::exit(0);
        } else if (mode == "game") {
            playWholeGame(window);
        }
    });
    app.installEventFilter(&exposure);
    return QApplication::exec();
}
