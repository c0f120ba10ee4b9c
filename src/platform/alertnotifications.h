// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// A desktop notification for each open alert, beside its window: on a
// full-screen window, another workspace or where the window manager keeps
// the alert window behind, the notification still shows. It offers "OK"
// (its default action) and "Snooze 5 minutes"; the alert window answers the
// one chosen as its own menu and button would.
class AlertNotifications
{
public:
    enum class Action { Acknowledge, Snooze };
    // One notification of this run, the same until it is withdrawn.
    using Handle = int;
    static constexpr Handle NoHandle = 0;

    virtual ~AlertNotifications() = default;

    // Shows a notification with the alert's message. `chosen` runs when the
    // user chooses one of its actions (at most once). Returns at once,
    // without waiting for the desktop.
    virtual Handle show(const QString &message, std::function<void(Action)> chosen) = 0;
    // The alert was answered in its window: the notification goes.
    virtual void withdraw(Handle handle) = 0;
};

namespace DesktopNotifications {

// The desktop's notifications, or none: where Qt has no D-Bus, or when
// TIKORA_NO_NOTIFICATIONS is set (to anything but empty or 0).
std::unique_ptr<AlertNotifications> make();

inline bool turnedOff()
{
    const QByteArray value = qgetenv("TIKORA_NO_NOTIFICATIONS");
    return !value.isEmpty() && value != "0";
}

} // namespace DesktopNotifications
