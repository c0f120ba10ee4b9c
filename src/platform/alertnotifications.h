// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

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

    // TIKORA_NO_NOTIFICATIONS set (to anything but empty or 0) turns them off.
    static bool turnedOff();

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
