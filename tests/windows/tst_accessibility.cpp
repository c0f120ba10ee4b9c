// SPDX-License-Identifier: MIT
// Every control of every window has a name a screen reader can say, unique
// in its window.

#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QtTest>

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Controls the user can reach; those inside Qt's own compound widgets (the
// text of a date box, the month buttons of its calendar, the menu bar's
// overflow button) speak through the
// widget they belong to.
bool isOwnControl(QWidget *widget)
{
    for (QWidget *p = widget->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox *>(p) || qobject_cast<QCalendarWidget *>(p) ||
            qobject_cast<QMenuBar *>(p))
            return false;
    }
    return qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) ||
           qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QScrollBar *>(widget);
}

// The names of a window's controls; a failure names the nameless ones.
QStringList namesOf(QWidget &window)
{
    QStringList names;
    QStringList nameless;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (!isOwnControl(widget))
            continue;
        const QString name = accessibleName(widget);
        (name.isEmpty() ? nameless : names).append(name.isEmpty() ? widget->objectName() : name);
    }
    if (!nameless.isEmpty())
        qWarning("without a name: %s", qPrintable(nameless.join(u' ')));
    return nameless.isEmpty() ? names : QStringList();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyControlHasAName()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        DatePicker datePicker(app.context, 2);
        TimePicker timePicker(app.context, 2);
        AboutWindow about;
        QWidget *windows[] = {&editor, &app.context.mainAlert(), &datePicker, &timePicker, &about};
        for (QWidget *window : windows) {
            const QStringList names = namesOf(*window);
            QVERIFY2(!names.isEmpty(), qPrintable(window->objectName()));
            QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        }

        const QStringList editorNames = namesOf(editor);
        QCOMPARE(editorNames.size(), 32 * 7 + 4 + 4 + 2); // rows, options, speakers, OK, scroll bar
        for (const char *name : {"Row 3 date", "Row 3 message", "Row 3 time", "Row 3 weekly",
                                 "Clear row 3", "Row 32 monthly", "Play Alert1", "Alert2", "OK"})
            QVERIFY2(editorNames.contains(QString::fromLatin1(name)), name);
    }

    void theAlertMessageIsItsLabelsDescription()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow window(app.context, AlertWindow::Further);
        window.setMessage(QStringLiteral("Dentist at three"), OpenAlerts::NoId);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window.messageLabel);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("Dentist at three"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
