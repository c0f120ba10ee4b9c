// SPDX-License-Identifier: MIT
// Where Qt has no D-Bus: no desktop notifications; the alert windows are
// all there is.
#include "platform/alertnotifications.h"

namespace DesktopNotifications {

std::unique_ptr<AlertNotifications> make()
{
    return nullptr;
}

} // namespace DesktopNotifications
