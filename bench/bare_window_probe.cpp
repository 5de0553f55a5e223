// The least a Qt Widgets program does to show a window: an empty one of the game window's size.
// Reports when it was first shown (see probe_report.h), then leaves. Linked with Qt Widgets
// alone, it is what the game's start-up and memory are held against. With the argument `cjk` the
// window also shows one Chinese caption in the game's Song face: the least that any window
// showing Chinese in that face costs (the font configuration, the face, its glyphs).
#include "probe_report.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    const bool cjk = argc > 1 && QByteArray(argv[1]) == "cjk";
    QApplication app(argc, argv);
    QWidget window;
    window.resize(340, 417); // the game window's area below its menu bar
    if (cjk) {
        auto *caption = new QLabel(QStringLiteral("白棋现有 2 子"), &window);
        QFont song(QStringLiteral("AR PL UMing CN"));
        song.setPointSizeF(10.5); // the size of the game's captions
        caption->setFont(song);
    }
    tavrin::bench::ShownReporter reporter;
    window.show();
    return QApplication::exec();
}
