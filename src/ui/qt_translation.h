#pragma once

class QCoreApplication;

namespace tavrin {

// Installs Qt's own Simplified Chinese translation, so that standard buttons such as Yes and
// No read in Chinese. Returns false, leaving the buttons in English, when it is not installed.
bool installQtTranslation(QCoreApplication &app);

} // namespace tavrin
