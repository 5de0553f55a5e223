// Shows a banner that loads its feed from the address on the command line, prints how many
// milliseconds after the start it was shown, and closes it at once, which ends the program.
// Name lookups never answer here (hanging_lookup.h); the test that runs it measures how long
// the program takes to end.
#include "banner/banner.h"
#include "hanging_lookup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    if (argc != 2 || !nameLookupsHang()) {
        return 2;
    }
    tavrin::Banner banner(nullptr, QString::fromLocal8Bit(argv[1]));
    banner.show();
    QTimer::singleShot(0, &banner, [&] {
        std::printf("%lld\n", static_cast<long long>(sinceStart.elapsed()));
        std::fflush(stdout);
        banner.close();
    });
    return QApplication::exec();
}
