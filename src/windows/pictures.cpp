// SPDX-License-Identifier: MIT
#include "windows/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace EditorPictures {

namespace {

// A transparent pixmap of the size given in device-independent pixels; a
// painter on it draws in those units.
QPixmap blank(int width, int height, qreal ratio)
{
    ratio = qMax<qreal>(ratio, 1);
    QPixmap pixmap(qCeil(width * ratio), qCeil(height * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

template <typename Draw> QIcon iconAtRatios(qreal ratio, Draw draw)
{
    QIcon icon;
    for (qreal each : {qreal(1), qreal(2)})
        icon.addPixmap(draw(each));
    if (!qFuzzyCompare(ratio, 1) && !qFuzzyCompare(ratio, 2))
        icon.addPixmap(draw(ratio));
    return icon;
}

} // namespace

QPixmap clearRow(qreal ratio, const QColor &button)
{
    QPixmap pixmap = blank(16, 16, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor red = button.lightness() < 128 ? QColor(255, 110, 100) : QColor(200, 30, 30);
    painter.setPen(QPen(red, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return pixmap;
}

QPixmap speaker(qreal ratio, const QColor &ink)
{
    QPixmap pixmap = blank(16, 16, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(2, 6);
    body.lineTo(5, 6);
    body.lineTo(9, 2);
    body.lineTo(9, 14);
    body.lineTo(5, 10);
    body.lineTo(2, 10);
    body.closeSubpath();
    painter.fillPath(body, ink);
    painter.setPen(QPen(ink, 1.2));
    painter.drawArc(QRectF(7, 5, 5, 6), -60 * 16, 120 * 16);
    painter.drawArc(QRectF(7, 3, 8, 10), -60 * 16, 120 * 16);
    return pixmap;
}

QPixmap alarmClock(qreal ratio)
{
    QPixmap pixmap = blank(78, 60, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor metal(180, 40, 40);
    // Bells, legs, then the face over them.
    painter.setBrush(metal);
    painter.setPen(Qt::NoPen);
    painter.drawChord(QRectF(14, 2, 20, 20), 30 * 16, 150 * 16);
    painter.drawChord(QRectF(44, 2, 20, 20), 0, 150 * 16);
    painter.setPen(QPen(metal, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(26, 48), QPointF(20, 57));
    painter.drawLine(QPointF(52, 48), QPointF(58, 57));
    painter.setPen(QPen(metal, 4));
    painter.setBrush(QColor(250, 248, 235));
    painter.drawEllipse(QPointF(39, 32), 21, 21);
    // Hour marks and hands at ten past seven.
    painter.setPen(QPen(Qt::black, 1.5));
    for (int hour = 0; hour < 12; ++hour) {
        painter.save();
        painter.translate(39, 32);
        painter.rotate(hour * 30.0);
        painter.drawLine(QPointF(0, -16), QPointF(0, -13));
        painter.restore();
    }
    painter.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(39, 32), QPointF(33, 41));
    painter.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(39, 32), QPointF(50, 27));
    return pixmap;
}

QIcon clearRowIcon(qreal ratio, const QColor &button)
{
    return iconAtRatios(ratio, [&button](qreal each) { return clearRow(each, button); });
}

QIcon speakerIcon(qreal ratio, const QColor &ink)
{
    return iconAtRatios(ratio, [&ink](qreal each) { return speaker(each, ink); });
}

} // namespace EditorPictures
