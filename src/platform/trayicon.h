// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the notification area. A left press on it is
// reported through onLeftPress; a right press pops up the menu it was given.
class TrayIcon
{
public:
    virtual ~TrayIcon() = default;
    // Whether the desktop has a notification area now.
    virtual bool available() const = 0;
    virtual void add(const QString &tip, QMenu *menu) = 0;
    virtual void remove() = 0;
    virtual bool added() const = 0;
    // A short message from the icon (a balloon), for problems nobody asked about.
    virtual void showMessage(const QString &text) = 0;

    std::function<void()> onLeftPress;
};

class QtTrayIcon : public TrayIcon
{
public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    bool available() const override;
    void add(const QString &tip, QMenu *menu) override;
    void remove() override;
    bool added() const override;
    void showMessage(const QString &text) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};
