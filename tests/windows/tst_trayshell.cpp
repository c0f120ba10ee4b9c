// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/placement.h"
#include "windows/trayshell.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {

void writeWeekly(const TempCurrentDir &dir, int slot, const QString &date, qint16 fired)
{
    FileContents c = contentsWith({{slot, date, QStringLiteral("09:00:00"), 0, 1, 0, fired}});
    c.banner1 = QStringLiteral("old banner 1");
    c.banner2 = QStringLiteral("old banner 2");
    dir.write(AlarmStore::FileName, DataFile::encode(c));
}

// Starts the program on 03/17/09 at `time` as it starts for real: the loads,
// the main clock's first tick (500 ms), the alarm clock's start-up completion
// (850 ms: the unattended accept) and the clock's next tick.
void startOn17March(TestApp &app, TrayShell &tray, const QTime &time)
{
    app.clock.setLocal(QDate(2009, 3, 17), time);
    tray.startUp();
    app.context.alarmClock.tick(app.context.mainAlert());
    app.context.alarmClock.completeStartUp();
    app.context.alarmClock.tick(app.context.mainAlert());
}

// A program started as it starts for real: the icon added, the one-shot
// timer running.
struct Started
{
    TempCurrentDir dir;
    TestApp app;
    TrayShell tray{app.context};
    Started() { tray.startUp(); }
};
// ... with a further alert window open.
struct FurtherWindowOpen : Started
{
    AlertWindow further{app.context, AlertWindow::Further};
    FurtherWindowOpen()
    {
        further.startShowing();
        further.show();
    }
};

} // namespace

class TestTrayShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpLoadsTheWindowsHiddenAndAddsTheIcon()
    {
        Started t;

        QVERIFY(t.app.context.mainAlertLoaded());
        // The editor's window is built when first shown; its rows are read.
        QVERIFY(!t.app.context.editorLoaded());
        QCOMPARE(t.app.context.engine.row(0).date, QString());
        QVERIFY(!t.app.context.mainAlert().isVisible());
        QVERIFY(t.app.context.alarmClock.running(t.app.context.mainAlert()));
        QCOMPARE(t.app.context.mainAlert().windowTitle(), QStringLiteral("Tikora"));
        const auto *startUpClock =
            t.app.context.alarmClock.findChild<QTimer *>(QStringLiteral("startUpClock"));
        QVERIFY(startUpClock && startUpClock->isActive());
        QCOMPARE(startUpClock->interval(), 850);
        QVERIFY(t.app.tray.isAdded);
        QCOMPARE(t.app.tray.tip, QStringLiteral("Tikora"));
        QCOMPARE(t.app.tray.menu->objectName(), QStringLiteral("mnuFile"));
        QCOMPARE(t.app.context.engine.fileContents().banner1, DefaultBanner1);
        QCOMPARE(t.app.context.engine.fileContents().banner2, DefaultBanner2);
        QVERIFY(!t.dir.exists(AlarmStore::FileName));
    }

    // The banners are set after both loads read the file, so a file's own
    // banner lines are replaced by the program's at the first save.
    void theOneShotTickAcceptsOnceUnattended()
    {
        TempCurrentDir dir;
        TestApp app;
        writeWeekly(dir, 2, QStringLiteral("03/17/09"), 1);
        TrayShell tray(app.context);
        tray.startUp();

        app.context.alarmClock.completeStartUp();
        QVERIFY(!app.context.alarmClock.findChild<QTimer *>(QStringLiteral("startUpClock"))
                     ->isActive());
        QVERIFY(app.context.mainAlert().windowTitle().isEmpty());
        QVERIFY(app.context.alarmClock.running(app.context.mainAlert()));
        QVERIFY(!app.context.editorLoaded());
        const QByteArray saved = dir.read(AlarmStore::FileName);
        QVERIFY(saved.startsWith("\"THIS IS A SELF UPDATING FILE"));
        QCOMPARE(saved.count("\r\n"), 227);
        QCOMPARE(readContents(dir).table[2].fired, qint16(0));
        QVERIFY(app.boxes.shown.isEmpty());
    }

    // The unattended accept writes the same file whether the editor's
    // window was built before it (the user opened it in the first moments)
    // or not: a hand-typed time rewritten, a weekly entry, the sound choice.
    void theStartUpFileIsTheSameWhetherTheEditorIsBuiltOrNot()
    {
        QByteArray written[2];
        for (const bool built : {false, true}) {
            TempCurrentDir dir;
            TestApp app;
            app.clock.setLocal(QDate(2009, 3, 17), QTime(8, 0));
            FileContents c = contentsWith(
                {{2, "03/17/09", "9:5", 0, 1, 0, 0}, {7, "12/24/09", "18:00:00", 0, 0, 3, 1}});
            c.sound = {false, false, true, false};
            dir.write(AlarmStore::FileName, DataFile::encode(c));
            TrayShell tray(app.context);
            tray.startUp();
            if (built)
                app.context.editor();
            app.context.alarmClock.completeStartUp();
            QCOMPARE(app.context.editorLoaded(), built);
            QVERIFY(app.boxes.shown.isEmpty());
            written[built] = dir.read(AlarmStore::FileName);
            QCOMPARE(readContents(dir).table[2].time, QStringLiteral("09:05:00"));
        }
        QCOMPARE(written[0], written[1]);
    }

    // The box about a broken file is open while the main clock ticks. The
    // slots past the damage are never read back, so whatever a tick left in
    // the table stays there: the due test's default date for an empty one
    // must not, or the editor loads it and the first save writes it.
    void ticksInTheBoxOfABrokenFileLeaveEmptyDatesEmpty()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 17), QTime(9, 30));
        const QByteArray whole = DataFile::encode(
            contentsWith({{1, "03/20/09", "18:00:00", 0, 0, 0, 0, QStringLiteral("kept")},
                          {3, "", "07:00:00", 0, 0, 0, 1, QStringLiteral("no date, fired")},
                          {20, "", "", 0, 0, 0, 1, QStringLiteral("past the damage")}}));
        dir.write(AlarmStore::FileName, whole.left(whole.indexOf("\"past the damage\"")));

        int ticks = 0;
        app.boxes.whileOpen = [&](const QString &) {
            app.context.alarmClock.tick(app.context.mainAlert());
            app.context.alarmClock.tick(app.context.mainAlert());
            ticks += 2;
        };
        TrayShell tray(app.context);
        tray.startUp();
        QCOMPARE(ticks, 2);
        QCOMPARE(app.boxes.shown, QStringList{AlarmStore::ProblemText});
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (slot != 1)
                QVERIFY2(Row::date(app.context.editor(), slot)->text().isEmpty(),
                         qPrintable(QString::number(slot)));
        }

        app.context.alarmClock.completeStartUp();
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].date, QStringLiteral("03/20/09"));
        QCOMPARE(saved.table[1].message, QStringLiteral("kept"));
        QCOMPARE(saved.table[3].message, QStringLiteral("no date, fired"));
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (slot != 1)
                QVERIFY2(saved.table[slot].date.isEmpty(), qPrintable(QString::number(slot)));
        }
        QVERIFY(app.alerts.shown.isEmpty());
    }

    void aStartWithABadEntryShowsTheMessageAndSavesNothing()
    {
        TempCurrentDir dir;
        TestApp app;
        writeWeekly(dir, 2, QStringLiteral("not a date"), 1);
        const QByteArray before = dir.read(AlarmStore::FileName);
        TrayShell tray(app.context);
        tray.startUp();
        app.context.alarmClock.completeStartUp();
        QCOMPARE(app.boxes.shown, QStringList{"The DATE you entered was not valid."});
        QCOMPARE(dir.read(AlarmStore::FileName), before);
        QVERIFY(app.context.alarmClock.running(app.context.mainAlert()));
        QVERIFY(!app.context.editor().isVisible());
    }

    void withoutANotificationAreaTheMainWindowIsShown()
    {
        TempCurrentDir dir;
        writeWeekly(dir, 2, QStringLiteral("03/17/09"), 0);
        TestApp app;
        app.tray.isAvailable = false;
        TrayShell tray(app.context);
        startOn17March(app, tray, QTime(9, 0, 5));
        QVERIFY(app.context.mainAlert().isVisible());
        QCOMPARE(readContents(dir).table[2].fired, qint16(1));

        // OK acknowledges but leaves it open: nothing else could show it.
        click(control<QPushButton>(app.context.mainAlert(), "cmdOK"));
        QCOMPARE(readContents(dir).table[2].date, QStringLiteral("03/24/09"));
        QVERIFY(app.context.mainAlert().isVisible());
        QVERIFY(app.endedWith.isEmpty());

        // Closing it ends the program as Exit does, acknowledging once.
        QVERIFY(app.context.mainAlert().close());
        QCOMPARE(app.endedWith, QList<int>{0});
        QVERIFY(!app.tray.isAdded);
        QVERIFY(dir.exists(AlarmStore::FileName));
    }

    void aLeftPressShowsTheMainWindowUnlessTheEditorOrAboutIsVisible_data()
    {
        QTest::addColumn<QString>("visible");
        QTest::addColumn<bool>("shown");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("editor") << "editor" << false;
        QTest::newRow("About") << "about" << false;
    }

    void aLeftPressShowsTheMainWindowUnlessTheEditorOrAboutIsVisible()
    {
        QFETCH(QString, visible);
        QFETCH(bool, shown);
        Started t;
        bool mainShown = false;
        auto press = [&] {
            t.app.tray.onLeftPress();
            mainShown = t.app.context.mainAlert().isVisible();
        };
        if (visible == u"editor") {
            t.app.context.editor().show();
            press();
        } else if (visible == u"about") {
            t.app.modal.whileOpen = [&](QDialog &) { press(); };
            t.app.context.commands.showAbout(MenuCommands::FromTray);
        } else {
            press();
        }
        QCOMPARE(mainShown, shown);
    }

    // A window the user minimised comes back, restored and in front, when
    // the tray asks for it again: the main window from a left press or
    // "&Tikora", About from "&About" or "&Set Alarm", the editor from
    // "&Set Alarm".
    void aMinimisedWindowComesBackFromTheTray_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("command");
        QTest::newRow("main, left press") << "main"
                                          << "left";
        QTest::newRow("main, Tikora") << "main"
                                      << "tikora";
        QTest::newRow("About, About") << "about"
                                      << "about";
        QTest::newRow("About, Set Alarm") << "about"
                                          << "set";
        QTest::newRow("editor, Set Alarm") << "editor"
                                           << "set";
    }

    void aMinimisedWindowComesBackFromTheTray()
    {
        QFETCH(QString, open);
        QFETCH(QString, command);
        Started t;
        const auto pick = [&] {
            if (command == u"left")
                t.app.tray.onLeftPress();
            else if (command == u"tikora")
                choose(t.app.tray.item("mnuTikora"));
            else if (command == u"about")
                choose(t.app.tray.item("mnuAbout"));
            else
                choose(t.app.tray.item("mnuSet"));
        };
        QWidget *window = nullptr;
        bool minimisedBefore = false, minimisedAfter = true, visibleAfter = false;
        const auto minimiseAndChoose = [&](QWidget &w) {
            window = &w;
            w.setWindowState(w.windowState() | Qt::WindowMinimized);
            minimisedBefore = w.isMinimized();
            pick();
            minimisedAfter = w.isMinimized();
            visibleAfter = w.isVisible();
        };
        if (open == u"main") {
            t.app.tray.onLeftPress();
            minimiseAndChoose(t.app.context.mainAlert());
        } else {
            t.app.modal.whileOpen = [&](QDialog &dialog) {
                if (!window)
                    minimiseAndChoose(dialog);
            };
            if (open == u"about")
                choose(t.app.tray.item("mnuAbout"));
            else
                choose(t.app.tray.item("mnuSet"));
        }
        QVERIFY(window);
        QVERIFY(minimisedBefore);
        QVERIFY(!minimisedAfter);
        QVERIFY(visibleAfter);
        // Nothing was shown a second time.
        QCOMPARE(t.app.modal.shown.size(), open == u"main" ? 0 : 1);
    }

    void theTrayMenuHoldsFiveItemsInOrder()
    {
        Started t;
        QStringList captions;
        for (QAction *action : t.app.tray.menu->actions())
            captions << action->objectName() + u'=' + action->text();
        QCOMPARE(captions, (QStringList{"mnuTikora=&Tikora", "mnuSet=&Set Alarm", "mnuHelp=&Help",
                                        "mnuAbout=&About", "mnuClose=&Exit"}));
    }

    // "&Set Alarm" switches the main clock off and shows the editor modally,
    // placed centred, near the top; its OK switches the clock back on.
    void setAlarmFromTheTrayOpensTheEditor()
    {
        Started t;
        AlertWindow &main = t.app.context.mainAlert();
        bool clockWhileOpen = true;
        QPoint position;
        t.app.modal.whileOpen = [&](QDialog &dialog) {
            clockWhileOpen = t.app.context.alarmClock.running(main);
            position = dialog.pos();
            click(control<QPushButton>(t.app.context.editor(), "cmdOKnotify"));
        };
        choose(t.app.tray.item("mnuSet"));
        QCOMPARE(t.app.modal.shown.size(), 1);
        QCOMPARE(t.app.modal.shown.first().data(), &t.app.context.editor());
        QVERIFY(!clockWhileOpen);
        QVERIFY(t.app.context.alarmClock.running(main));
        QCOMPARE(position.y(), 1);

        // Once shown, its outer width is known and it opens exactly centred.
        choose(t.app.tray.item("mnuSet"));
        const int screen = t.app.context.editor().screen()->geometry().width() * 15;
        const int width = t.app.context.editor().frameGeometry().width() * 15;
        QCOMPARE(position.x(), Placement::editorLeftTwips(screen, width) / 15);
    }

    void setAlarmWithAboutOpenLeavesTheClockRunning()
    {
        Started t;
        t.app.modal.whileOpen = [&](QDialog &) {
            choose(t.app.tray.item("mnuSet"));
            choose(t.app.tray.item("mnuTikora"));
        };
        choose(t.app.tray.item("mnuAbout"));
        QCOMPARE(t.app.modal.shown.size(), 1);
        QVERIFY(t.app.context.alarmClock.running(t.app.context.mainAlert()));
        QVERIFY(!t.app.context.mainAlert().isVisible());
    }

    // Chosen again while the editor is open, nothing is shown a second time
    // and no clock is switched.
    void setAlarmWhileTheEditorIsOpenShowsNothingTwice()
    {
        FurtherWindowOpen t;
        int opened = 0;
        t.app.modal.whileOpen = [&](QDialog &) {
            if (opened++ == 0) {
                choose(t.app.tray.item("mnuSet"));
                choose(*control<QAction>(t.further, "mnuNotify"));
                QVERIFY(t.app.context.alarmClock.running(t.further));
            }
        };
        choose(t.app.tray.item("mnuSet"));
        QCOMPARE(t.app.modal.shown.size(), 1);
    }

    // "&Set" on a further alert window stops that window's clock only.
    void setOnAnAlertWindowStopsThatClockOnly()
    {
        FurtherWindowOpen t;
        bool mainWhileOpen = false, furtherWhileOpen = true;
        t.app.modal.whileOpen = [&](QDialog &) {
            mainWhileOpen = t.app.context.alarmClock.running(t.app.context.mainAlert());
            furtherWhileOpen = t.app.context.alarmClock.running(t.further);
            click(control<QPushButton>(t.app.context.editor(), "cmdOKnotify"));
        };
        choose(*control<QAction>(t.further, "mnuNotify"));
        QVERIFY(mainWhileOpen);
        QVERIFY(!furtherWhileOpen);
        QVERIFY(!t.app.context.alarmClock.running(t.further));
    }

    // Tikora.chm in the current folder if it is there, else the page the
    // program ships; from the root folder too.
    void helpOpensTheLocalFileOrTheShippedPage()
    {
        Started t;
        choose(t.app.tray.item("mnuHelp"));
        QCOMPARE(t.app.help.opened.size(), 1);
        QFile page(t.app.help.opened.first());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("<title>Tikora help</title>"));

        t.dir.write(QStringLiteral("Tikora.chm"), "help");
        choose(*control<QAction>(t.app.context.mainAlert(), "mnuHelpItem"));
        QCOMPARE(t.app.help.opened.last(),
                 QDir::toNativeSeparators(t.dir.path() + QStringLiteral("/Tikora.chm")));
        QVERIFY(t.app.boxes.shown.isEmpty());
        QDir::setCurrent(QStringLiteral("/"));
        QCOMPARE(MenuCommands::helpPath(), QDir::toNativeSeparators(QStringLiteral("/Tikora.chm")));
    }

    // No viewer can open the page: a box says so, with the page's path.
    void helpThatCannotOpenSaysWhereThePageIs()
    {
        Started t;
        t.app.help.fails = true;
        choose(t.app.tray.item("mnuHelp"));
        QCOMPARE(t.app.help.opened.size(), 1);
        QCOMPARE(t.app.boxes.shown.size(), 1);
        const QString text = t.app.boxes.shown.first();
        QVERIFY2(text.startsWith(QStringLiteral("Tikora could not open its help page")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(u'\n' + t.app.help.opened.first()), qPrintable(text));
        QVERIFY(t.app.help.opened.first().endsWith(QStringLiteral(".html")));
    }

    // Exit acknowledges once through the main window, drops the editor's
    // unaccepted edits, removes the icon and ends the process.
    void exitAcknowledgesAndDropsUnacceptedEdits()
    {
        TempCurrentDir dir;
        TestApp app;
        writeWeekly(dir, 0, QStringLiteral("03/17/09"), 0);
        TrayShell tray(app.context);
        startOn17March(app, tray, QTime(10, 0));
        QCOMPARE(app.alerts.shown.size(), 1);
        QCOMPARE(readContents(dir).table[0].fired, qint16(1));

        app.modal.whileOpen = [&](QDialog &) {
            Row::message(app.context.editor(), 5)->setText(QStringLiteral("not accepted"));
            choose(app.tray.item("mnuClose"));
        };
        choose(app.tray.item("mnuSet"));

        QCOMPARE(app.endedWith, QList<int>{0});
        QVERIFY(!app.tray.isAdded);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].date, QStringLiteral("03/24/09"));
        QCOMPARE(saved.table[0].fired, qint16(0));
        QVERIFY(saved.table[5].message.isEmpty());
        QVERIFY(!app.context.editor().isVisible());
        QVERIFY(!app.context.mainAlert().isVisible());
    }

    // The session ends while a weekly and a one-time alert are open and an
    // edit is not accepted: the program ends at once and writes nothing to
    // Tikor.dat. The next start raises both alerts again, once each, with
    // their sound; OK moves the weekly entry on and leaves the other fired.
    void aSignalEndsTheSessionAndTheNextStartRaisesTheAlertsAgain_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void aSignalEndsTheSessionAndTheNextStartRaisesTheAlertsAgain()
    {
        QFETCH(int, signalNumber);
        TempCurrentDir dir;
        FileContents c = contentsWith({{0, "03/17/09", "09:00:00", 0, 1, 0, 0, "Weekly"},
                                       {1, "03/17/09", "09:30:00", 0, 0, 0, 0, "Once"}});
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        QByteArray before;
        {
            TestApp app;
            TrayShell tray(app.context);
            startOn17March(app, tray, QTime(10, 0));
            QCOMPARE(app.alerts.messages(), (QStringList{"Weekly", "Once"}));
            before = dir.read(AlarmStore::FileName);
            Row::message(app.context.editor(), 5)->setText(QStringLiteral("not accepted"));

            std::raise(signalNumber);
            for (int turn = 0; turn < 100 && app.endedWith.isEmpty(); ++turn)
                QCoreApplication::processEvents();
            QCOMPARE(app.endedWith, QList<int>{0});
            QVERIFY(!app.tray.isAdded);
            QCOMPARE(dir.read(AlarmStore::FileName), before);
        }

        TestApp app;
        TrayShell tray(app.context);
        startOn17March(app, tray, QTime(10, 30));
        app.context.alarmClock.tick(app.context.mainAlert());
        QCOMPARE(app.alerts.messages(), (QStringList{"Weekly", "Once"}));
        QCOMPARE(app.sound.calls,
                 (QStringList{"beep", "play checkmsgs.wav", "beep", "play checkmsgs.wav"}));
        for (const QPointer<AlertWindow> &window : app.alerts.shown)
            click(control<QPushButton>(*window, "cmdOK"));
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].date, QStringLiteral("03/24/09"));
        QCOMPARE(saved.table[0].fired, qint16(0));
        QCOMPARE(saved.table[1].date, QStringLiteral("03/17/09"));
        QCOMPARE(saved.table[1].fired, qint16(1));
        QVERIFY(saved.table[5].message.isEmpty());

        // Acknowledged: the start after that raises nothing.
        TestApp third;
        TrayShell thirdTray(third.context);
        startOn17March(third, thirdTray, QTime(10, 45));
        QVERIFY(third.alerts.shown.isEmpty());
    }
};

QTEST_MAIN(TestTrayShell)
#include "tst_trayshell.moc"
