// SPDX-License-Identifier: MIT
#pragma once

#include "engine/alarmengine.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Alert windows that are only recorded: the engine fires and acknowledges
// as in the program, with no widget in sight.
class RecordingAlerts : public AlertWindows
{
public:
    bool holdAlerts() const override { return hold; }
    Window openAlert() override
    {
        if (onOpen)
            onOpen();
        return ++opened;
    }
    void showMessage(Window, const QString &message, OpenAlerts::Id id) override
    {
        messages.append(message);
        ids.append(id);
        if (onAlert)
            onAlert(message);
    }

    bool hold = false;
    QStringList messages;
    QList<OpenAlerts::Id> ids; // the alert each window was given
    std::function<void(const QString &message)> onAlert;
    std::function<void()> onOpen; // as a new window's load, which reads the file
    Window opened = NoWindow;     // the windows opened so far
};
