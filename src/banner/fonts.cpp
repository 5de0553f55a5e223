#include "fonts.h"

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

} // namespace

QFont songFont(double pointSize, QFont::Weight weight)
{
    return fontFrom({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                        QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                        QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")},
        pointSize, weight);
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

} // namespace tavrin
