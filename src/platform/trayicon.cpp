// SPDX-License-Identifier: MIT
#include "platform/trayicon.h"

#include "platform/seams.h"

#include <QIcon>
#include <QSystemTrayIcon>

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QString &tip, QMenu *menu)
{
    if (!m_icon) {
        // Drawn at three sizes, so a slot of 16 to 32 pixels on a screen
        // scaled twice is filled from a larger picture, not an enlarged one.
        QIcon icon;
        icon.addFile(QStringLiteral(":/icons/tikora-16.png"), QSize(16, 16));
        icon.addFile(QStringLiteral(":/icons/tikora-32.png"), QSize(32, 32));
        icon.addFile(QStringLiteral(":/icons/tikora.png"), QSize(64, 64));
        m_icon = std::make_unique<QSystemTrayIcon>(icon);
        // A press of the left button; a double-click acts through its first
        // press only, and the right button opens the context menu.
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger && onLeftPress)
                                 onLeftPress();
                         });
    }
    m_icon->setToolTip(tip);
    m_icon->setContextMenu(menu);
    m_icon->show();
}

void QtTrayIcon::remove()
{
    if (m_icon)
        m_icon->hide();
}

bool QtTrayIcon::added() const
{
    return m_icon && m_icon->isVisible();
}

void QtTrayIcon::showMessage(const QString &text)
{
    if (m_icon)
        m_icon->showMessage(AppTitle, text, QSystemTrayIcon::Warning);
}
