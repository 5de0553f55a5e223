#include "desktop/fonts.h"

#include <QStringList>

namespace tavrin {

namespace {

QFont fontFrom(const QStringList &families, double pointSize, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    return font;
}

QStringList songFamilies()
{
    return {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
        QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("WenQuanYi Zen Hei")};
}

} // namespace

QFont songFont(double pointSize, QFont::Weight weight)
{
    return fontFrom(songFamilies(), pointSize, weight);
}

QFont arialFont(double pointSize, QFont::Weight weight)
{
    return fontFrom(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
        pointSize, weight);
}

QFont systemFont(double pointSize, QFont::Weight weight)
{
    return fontFrom(
        {QStringLiteral("System"), QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing CN")},
        pointSize, weight);
}

QFont withSongFallback(const QFont &font)
{
    QStringList families = font.families();
    if (families.isEmpty()) {
        families << font.family();
    }
    for (const QString &song : songFamilies()) {
        if (!families.contains(song)) {
            families << song;
        }
    }
    QFont withFallback = font;
    withFallback.setFamilies(families);
    return withFallback;
}

} // namespace tavrin
