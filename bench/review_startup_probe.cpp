// Does what `tavrin-replay --view RECORD` does, with the record's path as its one argument, and
// reports on standard output when the review window was first shown, then leaves:
//
//     shown <steady clock, ns> <peak resident size, KiB>
//
// bench_startup runs it as a child process, as startup_probe for the game window.
#include "process_figures.h"
#include "replay/review_window.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// Reports once, after the first window's first exposure has been painted.
class FirstExposure : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Expose && watched->isWindowType()) {
            seen_ = true;
            // The window paints itself while it handles the exposure; the report comes after.
            QTimer::singleShot(0, this, [] {
                std::printf("shown %lld %lld\n", tavrin::bench::steadyNanoseconds(),
                    tavrin::bench::peakResidentKiB());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray recordName = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-replay"));
    FirstExposure exposure;
    app.installEventFilter(&exposure);
    return tavrin::replay::runReview(recordName, {});
}
