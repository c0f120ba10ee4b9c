// SPDX-License-Identifier: MIT
#include "platform/qtmodalrunner.h"

#include "platform/accessibledialogs.h"
#include "platform/windowfront.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QWindow>

namespace {

// The modal windows open now, innermost last: one stack for the program,
// however many runners there are, as there is one stack of nested loops.
// While it holds a window it filters the application's input.
class ModalStack : public QObject
{
public:
    explicit ModalStack(QObject *parent) : QObject(parent) {}

    QDialog *innermost() const
    {
        for (auto it = open.crbegin(); it != open.crend(); ++it)
            if (*it && (*it)->isVisible())
                return *it;
        return nullptr;
    }

    void push(QDialog *dialog)
    {
        if (open.isEmpty())
            qApp->installEventFilter(this);
        open.append(dialog);
    }

    bool contains(const QDialog *dialog) const
    {
        for (const QPointer<QDialog> &window : open)
            if (window == dialog)
                return true;
        return false;
    }

    void pop()
    {
        open.removeLast();
        if (open.isEmpty())
            qApp->removeEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool blocked(QObject *receiver, const QDialog *top) const;

    QList<QPointer<QDialog>> open;
};

ModalStack &modalStack()
{
    static QPointer<ModalStack> stack;
    if (!stack)
        stack = new ModalStack(qApp);
    return *stack;
}

bool isInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // The close box; a close by the program itself is not spontaneous.
        return event->spontaneous();
    default:
        return false;
    }
}

// Ends a nested loop when its window is hidden (or gone), whoever hides it.
class HideWatch : public QObject
{
public:
    HideWatch(QDialog &dialog, QEventLoop &loop) : m_loop(loop) { dialog.installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        // Hidden by the program; not merely unmapped by the desktop.
        if (event->type() == QEvent::Hide && !event->spontaneous())
            m_loop.exit();
        return false;
    }

private:
    QEventLoop &m_loop;
};

} // namespace

bool ModalStack::blocked(QObject *receiver, const QDialog *top) const
{
    // Input reaches a window before its widgets: stopping it there stops
    // the focus moving as well.
    auto *window = qobject_cast<QWindow *>(receiver);
    if (!window || window == top->windowHandle())
        return false;
    if (window->type() == Qt::Popup || window->type() == Qt::ToolTip)
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *widget : windows)
        if (widget->windowHandle() == window)
            return qobject_cast<const QDialog *>(widget) != nullptr;
    return false;
}

bool ModalStack::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(event))
        return false;
    QDialog *top = innermost();
    if (!top || !blocked(watched, top))
        return false;
    if (event->type() == QEvent::MouseButtonPress)
        WindowFront::bringToFront(*top);
    // An accepted override keeps a blocked window's shortcuts from firing;
    // a refused close keeps it open.
    event->setAccepted(event->type() == QEvent::ShortcutOverride);
    return true;
}

QtModalRunner::QtModalRunner()
{
    AccessibleDialogs::install();
}

QWidget *QtModalRunner::opener(const QDialog &dialog)
{
    if (QDialog *top = modalStack().innermost(); top && top != &dialog)
        return top;
    QWidget *active = QApplication::activeWindow();
    if (active && active != &dialog && active->isVisible() &&
        qobject_cast<QDialog *>(active) != nullptr)
        return active;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows)
        if (widget != &dialog && widget->isVisible() &&
            widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return widget;
    return nullptr;
}

void QtModalRunner::exec(QDialog &dialog)
{
    QWidget *from = opener(dialog);
    // In front of a window that is kept on top, it is kept on top as well
    // (a desktop need not lift a transient window into its parent's layer),
    // for as long as it is open.
    const bool keepOnTop = from && from->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                           !dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (keepOnTop)
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.setWindowModality(Qt::NonModal);
    dialog.winId();
    if (QWindow *window = dialog.windowHandle())
        window->setTransientParent(from ? from->windowHandle() : nullptr);

    QPointer<QDialog> guard(&dialog);
    QEventLoop loop;
    HideWatch watch(dialog, loop);
    QObject::connect(&dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    ModalStack &stack = modalStack();
    stack.push(&dialog);
    AccessibleDialogs::modalChanged(dialog);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (guard && guard->isVisible())
        loop.exec(QEventLoop::DialogExec);
    stack.pop();
    if (guard)
        AccessibleDialogs::modalChanged(*guard);
    if (guard && keepOnTop)
        guard->setWindowFlag(Qt::WindowStaysOnTopHint, false);
}

QDialog *QtModalRunner::active() const
{
    return modalStack().innermost();
}

bool QtModalRunner::isOpen(const QDialog &dialog)
{
    return modalStack().contains(&dialog);
}
