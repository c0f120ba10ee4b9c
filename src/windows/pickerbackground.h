// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>

class QWidget;

// The date and time pickers share one decorative 169 x 133 background,
// drawn from the window's top-left corner.
namespace PickerBackground {

// Drawn for a device-pixel ratio: at 2 it has twice the pixels each way and
// carries that ratio.
QPixmap picture(qreal ratio);

// Gives the window the picture as its background.
void apply(QWidget *window);

} // namespace PickerBackground
