// SPDX-License-Identifier: MIT
#include "platform/windowfront.h"

#include <QWidget>

namespace WindowFront {

void bringToFront(QWidget &window)
{
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace WindowFront
