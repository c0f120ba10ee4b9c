// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

// The windows are laid out at 96 dots per inch (15 twips a pixel), and their
// fonts are sized with them: a size in points becomes pixels at that
// resolution, so a caption keeps the room the layout gives it whatever the
// desktop's resolution or font. A family missing from the desktop falls back
// to one with the same widths (Arial to Liberation Sans or Nimbus Sans, Times
// New Roman to Liberation Serif or Nimbus Roman), else to a condensed one,
// not to the desktop's wider default.
namespace DesignFont {

QFont of(const QString &family, double points, bool bold = false, bool italic = false);

// The font of a window's controls that name none of their own.
QFont window();

// Points at 96 dots per inch, in whole pixels.
int pixels(double points);

} // namespace DesignFont
