// SPDX-License-Identifier: MIT
#include "platform/dbusnotifications.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

// The action keys: "default" is the one a click on the notification runs.
const QString AcknowledgeKey = QStringLiteral("default");
const QString SnoozeKey = QStringLiteral("snooze");

// The desktop entry and the icon installed with it.
const QString DesktopEntry = QStringLiteral("org.example.Tikora");

} // namespace

DBusAlertNotifications::DBusAlertNotifications(QObject *parent)
    : DBusAlertNotifications(QDBusConnection::sessionBus(), parent)
{
}

DBusAlertNotifications::DBusAlertNotifications(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Only the service's own signals: the bus checks who sent them. (Qt's
    // D-Bus connections take the slot by its signature.)
    m_bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
}

namespace DesktopNotifications {

std::unique_ptr<AlertNotifications> make()
{
    if (turnedOff())
        return nullptr;
    return std::make_unique<DBusAlertNotifications>();
}

} // namespace DesktopNotifications

AlertNotifications::Handle DBusAlertNotifications::show(const QString &message,
                                                        std::function<void(Action)> chosen)
{
    if (!m_bus.isConnected())
        return NoHandle;
    const Handle handle = ++m_lastHandle;
    m_shown.insert(handle, Shown{0, std::move(chosen)});

    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    // The message is the summary, which the service shows as plain text; the
    // body would be read as markup.
    const QStringList actions = {
        AcknowledgeKey, QCoreApplication::translate("DesktopNotifications", "OK"), SnoozeKey,
        QCoreApplication::translate("DesktopNotifications", "Snooze 5 minutes")};
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2))); // critical
    hints.insert(QStringLiteral("desktop-entry"), DesktopEntry);
    call << QStringLiteral("Tikora") << uint(0) << DesktopEntry
         << (message.isEmpty() ? QStringLiteral("Tikora") : message) << QString() << actions
         << hints << int(0); // never expires: it goes when the alert is answered
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handle](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                const QDBusPendingReply<uint> reply = *finished;
                // No service, or it failed: the alert window is all there is.
                if (reply.isError()) {
                    m_shown.remove(handle);
                    return;
                }
                answered(handle, reply.value());
            });
    return handle;
}

void DBusAlertNotifications::answered(Handle handle, uint id)
{
    const auto shown = m_shown.find(handle);
    // Withdrawn before the service answered: it goes now.
    if (shown == m_shown.end()) {
        close(id);
        return;
    }
    shown->id = id;
}

void DBusAlertNotifications::withdraw(Handle handle)
{
    const auto shown = m_shown.find(handle);
    if (shown == m_shown.end())
        return;
    const uint id = shown->id;
    m_shown.erase(shown);
    // Not answered yet: it is closed when the answer comes.
    if (id != 0)
        close(id);
}

void DBusAlertNotifications::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    // Its answer does not matter (the notification may have gone already).
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

AlertNotifications::Handle DBusAlertNotifications::handleOf(uint id) const
{
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it)
        if (it->id == id && id != 0)
            return it.key();
    return NoHandle;
}

void DBusAlertNotifications::actionInvoked(uint id, const QString &key)
{
    const Handle handle = handleOf(id);
    if (handle == NoHandle)
        return;
    Action action;
    if (key == AcknowledgeKey)
        action = Action::Acknowledge;
    else if (key == SnoozeKey)
        action = Action::Snooze;
    else
        return;
    // Chosen once: the notification is done with, whatever the answer does.
    const std::function<void(Action)> chosen = m_shown.take(handle).chosen;
    if (chosen)
        chosen(action);
}

void DBusAlertNotifications::notificationClosed(uint id, uint)
{
    // Dismissed on the desktop: the alert window stays open, as it is.
    if (const Handle handle = handleOf(id); handle != NoHandle)
        m_shown.remove(handle);
}
