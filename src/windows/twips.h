// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QWidget>

#include <cmath>

// Window geometry is designed in twips; 15 twips make one pixel.
inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

inline QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

inline void placeTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}
