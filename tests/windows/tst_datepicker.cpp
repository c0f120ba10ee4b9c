// SPDX-License-Identifier: MIT
#include "pickertest.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"

#include <QDateEdit>
#include <QPushButton>

class TestDatePicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAtTheRowsDateOrToday_data()
    {
        QTest::addColumn<QString>("rowText");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("rowAfterLoad");

        const QDate today(2009, 6, 15);
        QTest::newRow("empty") << QString() << today << QString();
        QTest::newRow("a date") << QStringLiteral("12/25/09") << QDate(2009, 12, 25)
                                << QStringLiteral("12/25/09");
        QTest::newRow("not a date") << QStringLiteral("abc") << today << QString();
        QTest::newRow("a time alone")
            << QStringLiteral("3:00 PM") << today << QStringLiteral("3:00 PM");
        QTest::newRow("before the range")
            << QStringLiteral("12/31/1960") << today << QStringLiteral("12/31/1960");
        QTest::newRow("first of the range")
            << QStringLiteral("1/1/61") << QDate(1961, 1, 1) << QStringLiteral("1/1/61");
        QTest::newRow("last of the range")
            << QStringLiteral("12/31/57") << QDate(2057, 12, 31) << QStringLiteral("12/31/57");
        QTest::newRow("after the range")
            << QStringLiteral("1/1/2058") << today << QStringLiteral("1/1/2058");
    }

    void startsAtTheRowsDateOrToday()
    {
        QFETCH(QDate, start);
        PickerTest::openOnRowText<DatePicker>(&Entry::date, 3, [&](DatePicker &cal, PickerTest &t) {
            const QDateEdit *edit = control<QDateEdit>(cal, "DTPicker2");
            QCOMPARE(edit->date(), start);
            QCOMPARE(edit->minimumDate(), QDate(1961, 1, 1));
            QCOMPARE(edit->maximumDate(), QDate(2057, 12, 31));
            QCOMPARE(t.app.context.engine.nowDate(), QStringLiteral("06/15/09"));
            cal.close(); // the close box: nothing more written, nothing saved
        });
    }

    void okWritesTheDateArmsTheEntryAndSaves_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("OK") << false;
        QTest::newRow("Enter") << true;
    }

    void okWritesTheDateArmsTheEntryAndSaves()
    {
        QFETCH(bool, byEnter);
        PickerTest t(contentsWith({{0, "", "", 0, 0, 0, 1, QStringLiteral("fired")}}));
        t.open<DatePicker>(Row::date(*t.editor, 0), [&](DatePicker &cal) {
            if (byEnter)
                QTest::keyClick(control<QDateEdit>(cal, "DTPicker2"), Qt::Key_Return);
            else
                click(control<QPushButton>(cal, "Command1"));
            QVERIFY(!cal.isVisible());
        });
        QCOMPARE(Row::date(*t.editor, 0)->text(), QStringLiteral("06/15/09"));
        QCOMPARE(t.app.context.engine.table()[0].fired, qint16(0));
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[0].date, QStringLiteral("06/15/09"));
        QCOMPARE(saved.table[0].fired, qint16(0));
    }

    // The user's changes and clicks reach the row at once; Escape does
    // nothing.
    void theRowFollowsThePicker()
    {
        PickerTest t(contentsWith({{2, "06/03/09", "", 0, 0, 0, 1, QString()},
                                   {4, "1/1/1900", "", 0, 0, 0, 1, QString()}}));
        QLineEdit *row = Row::date(*t.editor, 2);
        t.open<DatePicker>(row, [&](DatePicker &cal) {
            QCOMPARE(row->text(), QStringLiteral("06/03/09"));
            QTest::keyClick(control<QDateEdit>(cal, "DTPicker2"), Qt::Key_Up); // the month
            QCOMPARE(row->text(), QStringLiteral("07/03/09"));
            QTest::keyClick(control<QDateEdit>(cal, "DTPicker2"), Qt::Key_Escape);
            QVERIFY(cal.isVisible());
            cal.close();
        });
        QCOMPARE(row->text(), QStringLiteral("07/03/09"));
        QCOMPARE(t.saved().table[2].date, QStringLiteral("06/03/09"));

        // A row outside the range keeps its text until a click on the picker.
        t.app.modal.shown.clear();
        QLineEdit *outside = Row::date(*t.editor, 4);
        t.open<DatePicker>(outside, [&](DatePicker &cal) {
            QCOMPARE(outside->text(), QStringLiteral("1/1/1900"));
            QWidget *field = control<QDateEdit>(cal, "DTPicker2")
                                 ->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
            QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, field->rect().center());
            QCOMPARE(outside->text(), QStringLiteral("06/15/09"));
            cal.close();
        });
    }

    void opensBesideTheEditor_data()
    {
        QTest::addColumn<QPoint>("editorAt");
        QTest::newRow("inside the screen") << QPoint(200, 100);
        QTest::newRow("at the left edge") << QPoint(0, 40);
    }

    void opensBesideTheEditor()
    {
        QFETCH(QPoint, editorAt);
        PickerTest t;
        t.editor->move(editorAt);
        t.open<DatePicker>(Row::date(*t.editor, 0), [&](DatePicker &cal) {
            QCOMPARE(cal.size(), QSize(163, 53));
            // A third of its own width to the left of the editor, level with
            // its top, even off the screen.
            const int third = static_cast<int>(std::lround(cal.frameGeometry().width() / 3.0));
            QCOMPARE(cal.pos(), QPoint(editorAt.x() - third, editorAt.y()));
            cal.close();
        });
    }

    // An entry falls due while the picker is open over the editor: it is
    // held back, nothing is saved, and it stays armed. Once the editor's OK
    // has saved the picked date, the next tick raises it, and its save
    // writes the rows as the user left them.
    void anEntryDueWhileThePickerIsOpenWaitsForTheEditor()
    {
        PickerTest t(
            contentsWith({{4, "06/15/09", "14:00:00", 0, 0, 0, 0, QStringLiteral("due now")},
                          {6, "06/03/09", "", 0, 0, 0, 1, QStringLiteral("being edited")}}));
        AlertWindow &alert = t.app.context.mainAlert();
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.open<DatePicker>(Row::date(*t.editor, 6), [&](DatePicker &cal) {
            QTest::keyClick(control<QDateEdit>(cal, "DTPicker2"), Qt::Key_Up);
            t.app.context.alarmClock.tick(alert);
            QVERIFY(t.app.alerts.shown.isEmpty());
            QCOMPARE(t.dir.read(AlarmStore::FileName), before);
            cal.close();
        });
        QCOMPARE(Row::date(*t.editor, 6)->text(), QStringLiteral("07/03/09"));
        click(control<QPushButton>(*t.editor, "cmdOKnotify"));
        QVERIFY(!t.editor->isVisible());

        t.app.context.alarmClock.tick(alert);
        QCOMPARE(t.app.alerts.messages(), QStringList{"due now"});
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[6].date, QStringLiteral("07/03/09"));
        QCOMPARE(saved.table[6].message, QStringLiteral("being edited"));
        QCOMPARE(saved.table[4].fired, qint16(1));
        QCOMPARE(saved.table[4].message, QStringLiteral("due now"));
    }
};

QTEST_MAIN(TestDatePicker)
#include "tst_datepicker.moc"
