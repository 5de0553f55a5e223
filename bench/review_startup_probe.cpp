// Does what `tavrin-replay --view RECORD` does, with the record's path as its one argument, and
// reports when the review window was first shown (see probe_report.h), then leaves.
#include "probe_report.h"
#include "replay/review_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const QByteArray recordName = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrin-replay"));
    tavrin::bench::ShownReporter reporter;
    return tavrin::replay::runReview(recordName, {});
}
