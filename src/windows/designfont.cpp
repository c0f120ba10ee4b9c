// SPDX-License-Identifier: MIT
#include "windows/designfont.h"

#include <QStringList>

#include <cmath>

namespace DesignFont {

namespace {

const QStringList sansFamilies = {
    QStringLiteral("Arial"),     QStringLiteral("Liberation Sans"),
    QStringLiteral("Arimo"),     QStringLiteral("Nimbus Sans"),
    QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans Condensed")};
const QStringList serifFamilies = {
    QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
    QStringLiteral("Tinos"),           QStringLiteral("Nimbus Roman"),
    QStringLiteral("Times"),           QStringLiteral("DejaVu Serif Condensed")};

bool isSerif(const QString &family)
{
    return family == QLatin1String("MS Serif") || serifFamilies.contains(family);
}

} // namespace

int pixels(double points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont of(const QString &family, double points, bool bold, bool italic)
{
    const bool serif = isSerif(family);
    QStringList families{family};
    for (const QString &fallback : serif ? serifFamilies : sansFamilies) {
        if (!families.contains(fallback))
            families.append(fallback);
    }
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(serif ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(pixels(points));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont window()
{
    return of(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace DesignFont
