#include "desktop/window_icon.h"

// The resource lives in a static library, whose registration the linker would otherwise drop.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace tavrin {

QIcon tavrinIcon()
{
    registerIconResource();
    // The same artwork as the desktop icon, in the two sizes a window frame asks for.
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tavrin-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/tavrin-16.png"), QSize(16, 16));
    return icon;
}

} // namespace tavrin
