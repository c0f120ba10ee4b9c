// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace WindowFront {

// Shows a window in front and gives it the keyboard: restored first if the
// user minimised it (a window manager may offer to minimise any window,
// whatever it asks for), then raised and activated. Raising or activating
// a minimised window alone leaves it minimised.
void bringToFront(QWidget &window);

} // namespace WindowFront
