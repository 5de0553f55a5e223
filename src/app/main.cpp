#include "ui/main_window.h"
#include "ui/qt_translation.h"

#include <QApplication>
#include <csignal>

int main(int argc, char *argv[])
{
    // A file-size limit makes a write fail instead of killing the game in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::installQtTranslation(app);
    tavrin::MainWindow window;
    return QApplication::exec();
}
