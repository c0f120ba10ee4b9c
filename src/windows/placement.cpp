// SPDX-License-Identifier: MIT
#include "windows/placement.h"

namespace Placement {

int editorLeftTwips(int screenWidthTwips, int editorWidthTwips)
{
    return (screenWidthTwips - editorWidthTwips) / 2;
}

} // namespace Placement
