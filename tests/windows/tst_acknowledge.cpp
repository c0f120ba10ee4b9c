// SPDX-License-Identifier: MIT
#include "support/engineinternals.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void deleteDeferred()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main alert window of a program at `now`, over a file of `entries`.
AlertWindow &mainAlertOver(TestApp &app, const TempCurrentDir &dir, const QDateTime &now,
                           std::initializer_list<TestEntry> entries)
{
    app.clock.setLocal(now.date(), now.time());
    writeEntries(dir, entries);
    return app.context.mainAlert();
}

} // namespace

class TestAcknowledge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // OK in the main window acknowledges and hides it; the editor's row
    // shows the entry's new date.
    void okInTheMainWindowMovesTheEntryAndTheEditorShowsIt()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = mainAlertOver(app, dir, QDateTime(QDate(2009, 3, 12), QTime(9, 0)),
                                          {{4, "03/10/09", "08:00:00", 1, 0, 0, 1}});
        AlarmEditor &editor = app.context.editor();
        EngineInternals::state(app.context.engine).table()[4].fired = 1;
        main.show();
        click(control<QPushButton>(main, "cmdOK"));

        QVERIFY(!main.isVisible());
        QCOMPARE(Row::date(editor, 4)->text(), QStringLiteral("03/13/09"));
        QCOMPARE(readContents(dir).table[4].date, QStringLiteral("03/13/09"));
    }

    // An alarm fires in its own window; OK there moves every due repeating
    // entry, hides that window and lets it go. The main window is untouched.
    void okInAFurtherWindowMovesEveryDueEntryAndLetsTheWindowGo()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = mainAlertOver(app, dir, QDateTime(QDate(2009, 3, 10), QTime(9, 30)),
                                          {{0, "03/10/09", "09:30:00", 0, 1, 0, 0},
                                           {1, "03/10/09", "09:30:00", 1, 0, 0, 0},
                                           {2, "03/10/09", "09:30:00", 0, 0, 0, 0}});
        main.show();
        main.setMessage(QStringLiteral("main stays"), OpenAlerts::NoId);
        app.context.alarmClock.tick(main);
        QCOMPARE(app.alerts.shown.size(), 3);

        QPointer<AlertWindow> first = app.alerts.shown.first();
        app.clock.advanceSeconds(60);
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(first && !first->isVisible());
        QVERIFY(first->message().isEmpty());
        deleteDeferred();
        QVERIFY(first.isNull());

        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].date, QStringLiteral("03/17/09"));
        QCOMPARE(saved.table[0].fired, qint16(0));
        QCOMPARE(saved.table[1].date, QStringLiteral("03/11/09"));
        QCOMPARE(saved.table[1].fired, qint16(0));
        QCOMPARE(saved.table[2].date, QStringLiteral("03/10/09"));
        QCOMPARE(saved.table[2].fired, qint16(1));
        QVERIFY(main.isVisible());
        QCOMPARE(main.message(), QStringLiteral("main stays"));
        QVERIFY(app.alerts.shown[1]->isVisible());
    }

    void theCloseBoxAcknowledgesToo()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = mainAlertOver(app, dir, QDateTime(QDate(2009, 3, 10), QTime(9, 30)),
                                          {{0, "03/10/09", "09:30:00", 1, 0, 0, 0}});
        app.context.alarmClock.tick(main);
        QPointer<AlertWindow> alert = app.alerts.shown.first();
        QVERIFY(alert->close());
        deleteDeferred();
        QVERIFY(alert.isNull());
        QCOMPARE(readContents(dir).table[0].date, QStringLiteral("03/11/09"));

        // Closing the main window hides it; its clock goes on.
        main.show();
        QVERIFY(main.close());
        QVERIFY(!main.isVisible());
        QVERIFY(app.context.alarmClock.running(main));
        QCOMPARE(&app.context.mainAlert(), &main);
    }

    void escapeDoesNotCloseAnAlertWindow()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        main.show();
        QTest::keyClick(&main, Qt::Key_Escape);
        QVERIFY(main.isVisible());
    }
};

QTEST_MAIN(TestAcknowledge)
#include "tst_acknowledge.moc"
