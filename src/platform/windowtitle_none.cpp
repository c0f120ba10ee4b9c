// SPDX-License-Identifier: MIT
// Off X11 (or without the xcb headers) windows keep the names Qt gives them.
#include "platform/windowtitle.h"

bool UntitledWindows::clearNames(QWidget &)
{
    return false;
}
