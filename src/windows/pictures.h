// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// The editor's pictures, drawn by the program itself. Each is drawn for a
// device-pixel ratio: at 2 (a screen scaled twice) it has twice the pixels
// each way and carries that ratio, so it shows as sharp as the text beside it.
namespace EditorPictures {

// The Clear buttons' 16 x 16 icon: a red cross, a lighter red on a dark
// button.
QPixmap clearRow(qreal ratio, const QColor &button);

// The sound test buttons' 16 x 16 icon: a small loudspeaker in the ink
// given (the button's text colour, so it shows on light and dark buttons).
QPixmap speaker(qreal ratio, const QColor &ink);

// The 78 x 60 picture beside the sound options: an alarm clock.
QPixmap alarmClock(qreal ratio);

// The icons of the Clear and sound test buttons, each drawn at ratio 1, at 2
// and at the ratio given, so they stay sharp on any screen the window is on.
QIcon clearRowIcon(qreal ratio, const QColor &button);
QIcon speakerIcon(qreal ratio, const QColor &ink);

} // namespace EditorPictures
