// SPDX-License-Identifier: MIT
// How an open alert is told beyond its window: to a screen reader, as an
// alert named with its message, and in a desktop notification.

#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace {

// A further alert window is an alert, named with its message; the main one
// is the dialog it always was.
class AccessibleAlertWindow : public QAccessibleWidget
{
public:
    explicit AccessibleAlertWindow(AlertWindow *window)
        : QAccessibleWidget(window, QAccessible::AlertMessage)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString message = static_cast<AlertWindow *>(widget())->message();
        if ((t == QAccessible::Name || t == QAccessible::Description) && !message.isEmpty())
            return message;
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *alertWindowFactory(const QString &className, QObject *object)
{
    auto *window = qobject_cast<AlertWindow *>(object);
    if (className != QLatin1String("AlertWindow") || !window ||
        window->kind() != AlertWindow::Further)
        return nullptr;
    return new AccessibleAlertWindow(window);
}

} // namespace

void AlertWindow::installAccessibleInterface()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(alertWindowFactory);
}

void AlertWindow::announce()
{
    if (m_kind != Further)
        return;
    // A screen reader reads it out whether or not it has the focus.
    if (isVisible()) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    AlertNotifications *notifications = m_context.notifications();
    if (!notifications || m_notification != AlertNotifications::NoHandle)
        return;
    QPointer<AlertWindow> self(this);
    m_notification = notifications->show(message(), [self](AlertNotifications::Action action) {
        if (self)
            self->notificationChosen(action);
    });
}

void AlertWindow::notificationChosen(AlertNotifications::Action action)
{
    // The notification is gone with the choice.
    m_notification = AlertNotifications::NoHandle;
    switch (action) {
    case AlertNotifications::Action::Acknowledge:
        acknowledge();
        break;
    case AlertNotifications::Action::Snooze:
        snooze(5);
        break;
    }
}

void AlertWindow::withdrawNotification()
{
    const AlertNotifications::Handle handle = m_notification;
    m_notification = AlertNotifications::NoHandle;
    if (handle != AlertNotifications::NoHandle && m_context.notifications())
        m_context.notifications()->withdraw(handle);
}
