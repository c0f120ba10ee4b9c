// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// A window's control, found by the object name the window gives it (an
// empty name: the only one of its type). No such control, or more than one,
// ends the test there and then: the caller never gets a null control.
template <typename Control = QWidget> Control *control(const QObject &window, const QString &name)
{
    const QList<Control *> found = window.findChildren<Control *>(name);
    if (found.size() != 1)
        qFatal("%s holds %d controls named \"%s\" of the type asked for, not one",
               qPrintable(window.objectName()), int(found.size()), qPrintable(name));
    return found.first();
}

// The controls of the editor's rows, named "<name>_<row>": Row::date(editor, 3).
namespace Row {
template <typename Control> struct Part
{
    const char *name;
    Control *operator()(const QObject &editor, int row) const
    {
        return control<Control>(editor, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(row));
    }
};
inline constexpr Part<QLineEdit> date{"txtDateNotify"}, message{"txtMessage"}, time{"txtTimeNote"};
inline constexpr Part<QCheckBox> daily{"ckDaily"}, weekly{"ckWeekly"}, monthly{"ckMonthly"};
inline constexpr Part<QPushButton> clear{"cmdClear"};
} // namespace Row

// A click in the middle of a control, as the user makes one.
inline void click(QWidget *control)
{
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
}

// Shows a window and makes it the active one; false if it never becomes so.
inline bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
