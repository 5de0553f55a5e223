// The least a Qt Widgets program does to show a window: an empty one of the game window's size.
// Reports when it was first shown (see probe_report.h), then leaves. Linked with Qt Widgets
// alone, it is what the game's start-up and memory are held against.
#include "probe_report.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(340, 417); // the game window's area below its menu bar
    tavrin::bench::ShownReporter reporter;
    window.show();
    return QApplication::exec();
}
