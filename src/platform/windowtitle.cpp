// SPDX-License-Identifier: MIT
#include "platform/windowtitle.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

UntitledWindows::UntitledWindows(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

UntitledWindows::~UntitledWindows()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool UntitledWindows::eventFilter(QObject *watched, QEvent *event)
{
    // Qt has written the names by then: a shown window's before it is
    // mapped, a changed title's at the change.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isWindow() && dialog->windowTitle().isEmpty())
            clearNames(*dialog);
    }
    return false;
}
