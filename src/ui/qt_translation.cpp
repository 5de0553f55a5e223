#include "ui/qt_translation.h"

#include "desktop/logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tavrin {

bool installQtTranslation(QCoreApplication &app)
{
    // Parented to the application so that it lives exactly as long as the translations it serves.
    auto *translator = new QTranslator(&app);
    if (!translator->load(
            QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qCDebug(lcTranslation) << "qtbase_zh_CN not found in"
                               << QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                               << "- message-box buttons stay in English";
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tavrin
