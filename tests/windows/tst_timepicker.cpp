// SPDX-License-Identifier: MIT
#include "pickertest.h"
#include "windows/timepicker.h"

#include <QPushButton>
#include <QTimeEdit>

class TestTimePicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAtTheRowsTimeOrNow_data()
    {
        QTest::addColumn<QString>("rowText");
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QString>("rowAfterLoad");

        const QTime now(14, 5, 9);
        QTest::newRow("empty") << QString() << now << QString();
        QTest::newRow("a time") << QStringLiteral("07:30:00") << QTime(7, 30)
                                << QStringLiteral("07:30:00");
        QTest::newRow("typed") << QStringLiteral("3:00 PM") << QTime(15, 0)
                               << QStringLiteral("3:00 PM");
        QTest::newRow("a date alone")
            << QStringLiteral("12/25/09") << QTime(0, 0) << QStringLiteral("12/25/09");
        QTest::newRow("not a time") << QStringLiteral("abc") << now << QString();
        QTest::newRow("25:00") << QStringLiteral("25:00") << now << QString();
    }

    void startsAtTheRowsTimeOrNow()
    {
        QFETCH(QTime, start);
        PickerTest::openOnRowText<TimePicker>(
            &Entry::time, 5, [&](TimePicker &picker, PickerTest &) {
                QCOMPARE(control<QTimeEdit>(picker, "DTPicker1")->time(), start);
                click(control<QPushButton>(picker, "cmdCancel"));
            });
    }

    // Accept writes the time the picker holds, to the second, arms the
    // entry and saves.
    void acceptWritesArmsAndSaves_data()
    {
        QTest::addColumn<QString>("rowText");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty, Enter") << QString() << true << QStringLiteral("14:05:09");
        QTest::newRow("a time, Accept")
            << QStringLiteral("07:30:00") << false << QStringLiteral("07:30:00");
        QTest::newRow("a date alone, Accept")
            << QStringLiteral("12/25/09") << false << QStringLiteral("00:00:00");
    }

    void acceptWritesArmsAndSaves()
    {
        QFETCH(QString, rowText);
        QFETCH(bool, byEnter);
        QFETCH(QString, written);

        PickerTest t(contentsWith({{1, "", rowText, 0, 0, 0, 1, QString()}}));
        t.open<TimePicker>(Row::time(*t.editor, 1), [&](TimePicker &picker) {
            t.app.clock.advanceSeconds(30); // the time was taken at the opening
            if (byEnter)
                QTest::keyClick(control<QTimeEdit>(picker, "DTPicker1"), Qt::Key_Enter);
            else
                click(control<QPushButton>(picker, "cmdOK"));
            QVERIFY(!picker.isVisible());
        });
        QCOMPARE(Row::time(*t.editor, 1)->text(), written);
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[1].time, written);
        QCOMPARE(saved.table[1].fired, qint16(0));
    }

    void nowSetsThePickerOnly()
    {
        PickerTest t(contentsWith({{0, "", "07:30:00", 0, 0, 0, 1, QString()}}));
        QLineEdit *row = Row::time(*t.editor, 0);
        t.open<TimePicker>(row, [&](TimePicker &picker) {
            t.app.clock.setLocal(QDate(2009, 6, 15), QTime(21, 5, 3, 900));
            click(control<QPushButton>(picker, "cmdNow"));
            QCOMPARE(control<QTimeEdit>(picker, "DTPicker1")->time(), QTime(21, 5, 3));
            QCOMPARE(row->text(), QStringLiteral("07:30:00"));
            QVERIFY(picker.isVisible());
            QTest::keyClick(control<QTimeEdit>(picker, "DTPicker1"), Qt::Key_Return);
        });
        QCOMPARE(row->text(), QStringLiteral("21:05:03"));
    }
};

QTEST_MAIN(TestTimePicker)
#include "tst_timepicker.moc"
