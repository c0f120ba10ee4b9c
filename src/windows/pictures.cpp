// SPDX-License-Identifier: MIT
#include "windows/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace EditorPictures {

namespace {

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap clearRow()
{
    QPixmap pixmap = blank(16, 16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return pixmap;
}

QPixmap speaker()
{
    QPixmap pixmap = blank(16, 16);
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
    painter.fillPath(body, QColor(40, 40, 40));
    painter.setPen(QPen(QColor(40, 40, 40), 1.2));
    painter.drawArc(QRectF(7, 5, 5, 6), -60 * 16, 120 * 16);
    painter.drawArc(QRectF(7, 3, 8, 10), -60 * 16, 120 * 16);
    return pixmap;
}

QPixmap alarmClock()
{
    QPixmap pixmap = blank(78, 60);
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

} // namespace EditorPictures
