#include "desktop/logging.h"

namespace tavrin {

Q_LOGGING_CATEGORY(lcFeed, "tavrin.feed", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSave, "tavrin.save", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLock, "tavrin.lock", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTranslation, "tavrin.translation", QtWarningMsg)

} // namespace tavrin
