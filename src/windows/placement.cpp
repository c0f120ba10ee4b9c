// SPDX-License-Identifier: MIT
#include "windows/placement.h"

#include <cfenv>
#include <cmath>

namespace Placement {

int editorLeftTwips(double screenWidthTwips, double editorWidthTwips)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const auto difference =
        static_cast<long long>(std::nearbyint(screenWidthTwips - editorWidthTwips));
    std::fesetround(previous);
    return static_cast<int>(difference / 2);
}

} // namespace Placement
