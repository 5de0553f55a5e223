#include "ui/qt_translation.h"
#include "ui/xq.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    tavrin::installQtTranslation(app);
    tavrin::xq window;
    return QApplication::exec();
}
