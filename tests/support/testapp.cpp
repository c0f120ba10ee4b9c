// SPDX-License-Identifier: MIT
#include "support/testapp.h"

#include "windows/alertwindow.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>

void FakeModalRunner::exec(QDialog &dialog)
{
    shown.append(&dialog);
    open.append(&dialog);
    QPointer<QDialog> guard(&dialog);
    dialog.show();
    if (whileOpen)
        whileOpen(dialog);
    if (guard && guard->isVisible())
        guard->hide();
    open.removeLast();
}

QDialog *FakeModalRunner::active() const
{
    return open.isEmpty() ? nullptr : open.last().data();
}

AlertWindowRecorder::AlertWindowRecorder()
{
    qApp->installEventFilter(this);
}

bool AlertWindowRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *window = qobject_cast<AlertWindow *>(watched);
        if (window && !(isMain && isMain(window)) && !shown.contains(window))
            shown.append(window);
    }
    return false;
}

QStringList AlertWindowRecorder::messages() const
{
    QStringList texts;
    for (const QPointer<AlertWindow> &window : shown)
        texts.append(window ? window->message() : QStringLiteral("(gone)"));
    return texts;
}

void choose(QAction &action)
{
    action.trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

QAction &RecordingTray::item(const char *name) const
{
    if (!menu)
        qFatal("the icon has no menu: it was not added");
    return *control<QAction>(*menu, QLatin1String(name));
}

void RecordingTray::add(const QString &text, QMenu *contextMenu)
{
    isAdded = true;
    tip = text;
    menu = contextMenu;
}

TestApp::TestApp()
{
    context.commands.endProcess = [this](int code) { endedWith.append(code); };
    context.useNotifications(&notifications);
    alerts.isMain = [this](const AlertWindow *window) {
        return context.mainAlertLoaded() && window == &context.mainAlert();
    };
}

TestApp::~TestApp()
{
    // Further alert windows belong to no one until they are acknowledged.
    for (const QPointer<AlertWindow> &window : alerts.shown)
        delete window.data();
}
