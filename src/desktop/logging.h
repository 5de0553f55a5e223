#pragma once

#include <QLoggingCategory>

// Where the program falls back silently, it says why on a debug line of one of these categories;
// QT_LOGGING_RULES="tavrin.*.debug=true" shows them.
namespace tavrin {

Q_DECLARE_LOGGING_CATEGORY(lcFeed) // tavrin.feed: the banner's feed was not loaded
Q_DECLARE_LOGGING_CATEGORY(lcSave) // tavrin.save: a record or picture was not written
Q_DECLARE_LOGGING_CATEGORY(lcLock) // tavrin.lock: the single-instance lock was not taken
Q_DECLARE_LOGGING_CATEGORY(lcTranslation) // tavrin.translation: Qt's Chinese texts not found

} // namespace tavrin
