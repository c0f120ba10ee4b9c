// SPDX-License-Identifier: MIT
#pragma once

#include "platform/alertnotifications.h"

#include <QMap>
#include <QStringList>

// Records the notifications shown and withdrawn; choose() answers one as
// the user would on the desktop.
class RecordingNotifications : public AlertNotifications
{
public:
    Handle show(const QString &message, std::function<void(Action)> chosen) override
    {
        const Handle handle = ++lastHandle;
        shown.append(message);
        open.insert(handle, std::move(chosen));
        return handle;
    }
    void withdraw(Handle handle) override
    {
        if (open.remove(handle))
            withdrawn.append(handle);
    }
    // The user chooses an action of the notification `handle`.
    void choose(Handle handle, Action action)
    {
        const std::function<void(Action)> chosen = open.take(handle);
        if (chosen)
            chosen(action);
    }

    Handle lastHandle = NoHandle;
    QStringList shown;                              // the messages, in the order shown
    QList<Handle> withdrawn;                        // in the order withdrawn
    QMap<Handle, std::function<void(Action)>> open; // shown, not withdrawn nor chosen
};
