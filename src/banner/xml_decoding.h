#pragma once

#include "desktop/result.h"

#include <QByteArray>

namespace tavrin {

// Turns the bytes of an XML document into UTF-8 without a byte-order mark. The encoding comes
// from a byte-order mark, else from the XML declaration, else UTF-8 is assumed. The Chinese
// legacy names (GB2312, GBK and their aliases) are decoded as GB18030, their superset.
// Fails when the encoding is unknown or the bytes are not valid in it.
Result<QByteArray> xmlAsUtf8(const QByteArray &bytes);

} // namespace tavrin
