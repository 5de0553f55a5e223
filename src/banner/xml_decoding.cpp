#include "banner/xml_decoding.h"

#include <QLatin1StringView>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>

namespace tavrin {

namespace {

// A declaration longer than this is not looked at; real ones are a few dozen bytes.
constexpr qsizetype kMaxDeclarationLength = 512;

// The name given in `encoding="…"` of the XML declaration, or empty when there is none.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml")) {
        return {};
    }
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0 || end > kMaxDeclarationLength) {
        return {};
    }
    static const QRegularExpression encodingAttribute(
        QStringLiteral(R"(\sencoding\s*=\s*(["'])([A-Za-z][A-Za-z0-9._-]*)\1)"));
    const QString declaration = QString::fromLatin1(bytes.left(end));
    const QRegularExpressionMatch match = encodingAttribute.match(declaration);
    return match.hasMatch() ? match.captured(2).toLatin1() : QByteArray();
}

bool isChineseLegacyEncoding(const QByteArray &name)
{
    static const QByteArrayList gbNames = {"gb2312", "gbk", "gb18030", "cp936", "ms936",
        "windows-936", "x-gbk", "euc-cn", "csgb2312", "gb_2312-80"};
    return gbNames.contains(name.toLower());
}

QStringDecoder decoderFor(const QByteArray &bytes)
{
    if (const auto marked = QStringConverter::encodingForData(bytes, u'<')) {
        return QStringDecoder(*marked);
    }
    const QByteArray declared = declaredEncoding(bytes);
    if (declared.isEmpty()) {
        return QStringDecoder(QStringConverter::Utf8);
    }
    if (isChineseLegacyEncoding(declared)) {
        return QStringDecoder("GB18030");
    }
    return QStringDecoder(declared.constData());
}

} // namespace

Result<QByteArray> xmlAsUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder = decoderFor(bytes);
    if (!decoder.isValid()) {
        return Failure {QStringLiteral("unknown encoding")};
    }
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return Failure {QStringLiteral("bytes not valid in the declared encoding")};
    }
    return text.toUtf8();
}

} // namespace tavrin
