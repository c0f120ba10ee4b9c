// SPDX-License-Identifier: MIT
// Every control of every window has a name a screen reader can say, unique
// in its window.

#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"
#include "windows/trayshell.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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

// The interface of `object` among the descendants of `face`, found by
// walking the tree a screen reader walks.
QAccessibleInterface *findInTree(QAccessibleInterface *face, QObject *object, int depth = 0)
{
    if (!face || depth > 20)
        return nullptr;
    if (face->object() == object)
        return face;
    for (int i = 0; i < face->childCount(); ++i)
        if (QAccessibleInterface *found = findInTree(face->child(i), object, depth + 1))
            return found;
    return nullptr;
}

// Presses the menu item captioned `text` of a menu or menu bar, as a screen
// reader does over the accessibility bus.
bool pressItem(QWidget &menu, const QString &text)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&menu);
    for (int i = 0; face && i < face->childCount(); ++i) {
        QAccessibleInterface *item = face->child(i);
        if (item && item->text(QAccessible::Name) == QString(text).remove(u'&')) {
            QAccessibleActionInterface *actions = item->actionInterface();
            if (!actions)
                return false;
            actions->doAction(QAccessibleActionInterface::pressAction());
            return true;
        }
    }
    return false;
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
        QAccessibleInterface *face =
            QAccessible::queryAccessibleInterface(control<QLabel>(window, "LbMessage"));
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("Dentist at three"));
    }

    // An alert window is an alert named with its message, in the program's
    // tree; the main window is not an alert. (The Alert event it sends when
    // it opens reaches no one on the offscreen platform, which has no
    // accessibility bridge to pass it on.)
    void anAlertIsAnnouncedWithItsMessage()
    {
        TempCurrentDir dir;
        writeEntries(dir, {{4, "03/10/09", "09:30:00", 0, 0, 0, 0, QStringLiteral("Call Ann")}});
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        AlertWindow &main = app.context.mainAlert();
        app.context.alarmClock.tick(main);
        QCOMPARE(app.alerts.shown.size(), 1);
        AlertWindow *window = app.alerts.shown.first();

        QAccessibleInterface *face =
            findInTree(QAccessible::queryAccessibleInterface(qApp), window);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::AlertMessage);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Call Ann"));
        QVERIFY(QAccessible::queryAccessibleInterface(&main)->role() != QAccessible::AlertMessage);
    }

    // "&Set Alarm" chosen over the accessibility bus returns before the
    // editor opens (its loop would run inside the call), and the editor
    // opens after it; so does "&Set" on an alert window.
    void aMenuCommandReturnsBeforeItsWindowOpens()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        QVERIFY(pressItem(*app.tray.menu, QStringLiteral("&Set Alarm")));
        QVERIFY(app.modal.shown.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(app.modal.shown.first().data(), &app.context.editor());

        AlertWindow further(app.context, AlertWindow::Further);
        further.startShowing();
        further.show();
        QVERIFY(pressItem(*control<QMenuBar>(further, QString()), QStringLiteral("&Set")));
        QCOMPARE(app.modal.shown.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(app.modal.shown.size(), 2);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
