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
    QObject *openAlert() override
    {
        m_windows.push_back(std::make_unique<QObject>());
        if (onOpen)
            onOpen();
        return m_windows.back().get();
    }
    void showMessage(QObject *, const QString &message, OpenAlerts::Id id) override
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

private:
    std::vector<std::unique_ptr<QObject>> m_windows;
};
