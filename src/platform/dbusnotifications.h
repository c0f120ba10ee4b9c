// SPDX-License-Identifier: MIT
#pragma once

#include "platform/alertnotifications.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

// Through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). Every call is sent without waiting for its answer,
// so a missing or stuck service never holds the program up; with no service
// nothing shows and nothing else changes.
class DBusAlertNotifications : public QObject, public AlertNotifications
{
    Q_OBJECT

public:
    static constexpr int CallTimeoutMs = 5000;

    // On the session bus.
    explicit DBusAlertNotifications(QObject *parent = nullptr);
    // On the given bus (a test's private one).
    explicit DBusAlertNotifications(const QDBusConnection &bus, QObject *parent = nullptr);

    Handle show(const QString &message, std::function<void(Action)> chosen) override;
    void withdraw(Handle handle) override;

private Q_SLOTS:
    void actionInvoked(uint id, const QString &key);
    void notificationClosed(uint id, uint reason);

private:
    struct Shown
    {
        uint id = 0; // the service's, once it answered
        std::function<void(Action)> chosen;
    };
    void answered(Handle handle, uint id);
    void close(uint id);
    Handle handleOf(uint id) const;

    QDBusConnection m_bus;
    Handle m_lastHandle = NoHandle;
    QHash<Handle, Shown> m_shown;
};
