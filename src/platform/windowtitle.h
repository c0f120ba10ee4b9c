// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QWidget;

// A window whose title is empty is untitled on the desktop too. Qt hands
// the window manager the program's name in place of an empty title
// (_NET_WM_NAME on X11), so most title bars would read "Tikora"; once
// installed on the application, this empties both of a dialog's names on
// X11 each time it is shown or its title becomes empty. Elsewhere it does
// nothing.
class UntitledWindows : public QObject
{
public:
    explicit UntitledWindows(QObject *parent = nullptr);
    ~UntitledWindows() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Empties the window's names on the desktop now; false where the
    // desktop is not X11 or the window has no native window yet.
    static bool clearNames(QWidget &window);
};
