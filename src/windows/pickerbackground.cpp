// SPDX-License-Identifier: MIT
#include "windows/pickerbackground.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <QtMath>

namespace PickerBackground {

QPixmap picture(qreal ratio)
{
    // Bands of a few flat colours, as a 16-colour picture would have.
    static const QColor bands[] = {QColor(0, 0, 128), QColor(0, 128, 128), QColor(0, 128, 0),
                                   QColor(128, 128, 0)};
    ratio = qMax<qreal>(ratio, 1);
    QPixmap pixmap(qCeil(169 * ratio), qCeil(133 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor(192, 192, 192));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    int band = 0;
    for (int x = -133; x < 169; x += 24, ++band) {
        painter.setBrush(bands[band % 4]);
        const QPoint stripe[] = {QPoint(x, 133), QPoint(x + 133, 0), QPoint(x + 145, 0),
                                 QPoint(x + 12, 133)};
        painter.drawPolygon(stripe, 4);
    }
    return pixmap;
}

void apply(QWidget *window)
{
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(picture(window->devicePixelRatioF())));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace PickerBackground
