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

} // namespace

class TestTrayShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpLoadsTheWindowsHiddenAndAddsTheIcon()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();

        QVERIFY(app.context.mainAlertLoaded());
        // The editor's window is built when first shown; its rows are read.
        QVERIFY(!app.context.editorLoaded());
        QCOMPARE(app.context.engine.row(0).date, QString());
        QVERIFY(!app.context.mainAlert().isVisible());
        QVERIFY(app.context.alarmClock.running(app.context.mainAlert()));
        QCOMPARE(app.context.mainAlert().windowTitle(), QStringLiteral("Tikora"));
        const auto *startUpClock =
            app.context.alarmClock.findChild<QTimer *>(QStringLiteral("startUpClock"));
        QVERIFY(startUpClock && startUpClock->isActive());
        QCOMPARE(startUpClock->interval(), 850);
        QVERIFY(app.tray.isAdded);
        QCOMPARE(app.tray.tip, QStringLiteral("Tikora"));
        QCOMPARE(app.tray.menu, tray.trayMenu().menu.get());
        QCOMPARE(app.context.engine.fileContents().banner1, DefaultBanner1);
        QCOMPARE(app.context.engine.fileContents().banner2, DefaultBanner2);
        QVERIFY(!dir.exists(AlarmStore::FileName));
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
                {{2, QStringLiteral("03/17/09"), QStringLiteral("9:5"), 0, 1, 0, 0},
                 {7, QStringLiteral("12/24/09"), QStringLiteral("18:00:00"), 0, 0, 3, 1}});
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
        FileContents c;
        c.banner1 = DefaultBanner1;
        c.banner2 = DefaultBanner2;
        c.table[1].date = QStringLiteral("03/20/09");
        c.table[1].message = QStringLiteral("kept");
        c.table[1].time = QStringLiteral("18:00:00");
        c.table[1].fired = 0;
        c.table[3].message = QStringLiteral("no date, fired");
        c.table[3].time = QStringLiteral("07:00:00");
        c.table[3].fired = 1;
        c.table[20].message = QStringLiteral("past the damage");
        const QByteArray whole = DataFile::encode(c);
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
                QVERIFY2(app.context.editor().dateBoxes[slot]->text().isEmpty(),
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
        QTest::mouseClick(app.context.mainAlert().okButton, Qt::LeftButton);
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
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        bool mainShown = false;
        auto press = [&] {
            app.tray.onLeftPress();
            mainShown = app.context.mainAlert().isVisible();
        };
        if (visible == u"editor") {
            app.context.editor().show();
            press();
        } else if (visible == u"about") {
            app.modal.whileOpen = [&](QDialog &) { press(); };
            app.context.commands.showAbout(MenuCommands::FromTray);
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
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        TrayMenu &menu = tray.trayMenu();
        const auto pick = [&] {
            if (command == u"left")
                app.tray.onLeftPress();
            else if (command == u"tikora")
                choose(*menu.tikoraAction);
            else if (command == u"about")
                choose(*menu.aboutAction);
            else
                choose(*menu.setAlarmAction);
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
            app.tray.onLeftPress();
            minimiseAndChoose(app.context.mainAlert());
        } else {
            app.modal.whileOpen = [&](QDialog &dialog) {
                if (!window)
                    minimiseAndChoose(dialog);
            };
            if (open == u"about")
                choose(*menu.aboutAction);
            else
                choose(*menu.setAlarmAction);
        }
        QVERIFY(window);
        QVERIFY(minimisedBefore);
        QVERIFY(!minimisedAfter);
        QVERIFY(visibleAfter);
        // Nothing was shown a second time.
        QCOMPARE(app.modal.shown.size(), open == u"main" ? 0 : 1);
    }

    void theTrayMenuHoldsFiveItemsInOrder()
    {
        TestApp app;
        TrayShell tray(app.context);
        QStringList captions;
        for (QAction *action : tray.trayMenu().menu->actions())
            captions << action->objectName() + u'=' + action->text();
        QCOMPARE(captions, (QStringList{"mnuTikora=&Tikora", "mnuSet=&Set Alarm", "mnuHelp=&Help",
                                        "mnuAbout=&About", "mnuClose=&Exit"}));
    }

    // "&Set Alarm" switches the main clock off and shows the editor modally,
    // placed centred, near the top; its OK switches the clock back on.
    void setAlarmFromTheTrayOpensTheEditor()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        AlertWindow &main = app.context.mainAlert();
        bool clockWhileOpen = true;
        QPoint position;
        app.modal.whileOpen = [&](QDialog &dialog) {
            clockWhileOpen = app.context.alarmClock.running(main);
            position = dialog.pos();
            QTest::mouseClick(app.context.editor().acceptButton, Qt::LeftButton);
        };
        choose(*tray.trayMenu().setAlarmAction);
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(app.modal.shown.first().data(), &app.context.editor());
        QVERIFY(!clockWhileOpen);
        QVERIFY(app.context.alarmClock.running(main));
        QCOMPARE(position.y(), 1);

        // Once shown, its outer width is known and it opens exactly centred.
        choose(*tray.trayMenu().setAlarmAction);
        const int screen = app.context.editor().screen()->geometry().width() * 15;
        const int width = app.context.editor().frameGeometry().width() * 15;
        QCOMPARE(position.x(), Placement::editorLeftTwips(screen, width) / 15);
    }

    void setAlarmWithAboutOpenLeavesTheClockRunning()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        app.modal.whileOpen = [&](QDialog &) {
            choose(*tray.trayMenu().setAlarmAction);
            choose(*tray.trayMenu().tikoraAction);
        };
        choose(*tray.trayMenu().aboutAction);
        QCOMPARE(app.modal.shown.size(), 1);
        QVERIFY(app.context.alarmClock.running(app.context.mainAlert()));
        QVERIFY(!app.context.mainAlert().isVisible());
    }

    // Chosen again while the editor is open, nothing is shown a second time
    // and no clock is switched.
    void setAlarmWhileTheEditorIsOpenShowsNothingTwice()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        AlertWindow further(app.context, AlertWindow::Further);
        further.load();
        further.show();
        int opened = 0;
        app.modal.whileOpen = [&](QDialog &) {
            if (opened++ == 0) {
                choose(*tray.trayMenu().setAlarmAction);
                choose(*further.setAction);
                QVERIFY(app.context.alarmClock.running(further));
            }
        };
        choose(*tray.trayMenu().setAlarmAction);
        QCOMPARE(app.modal.shown.size(), 1);
    }

    // "&Set" on a further alert window stops that window's clock only.
    void setOnAnAlertWindowStopsThatClockOnly()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        tray.startUp();
        AlertWindow further(app.context, AlertWindow::Further);
        further.load();
        further.show();
        bool mainWhileOpen = false, furtherWhileOpen = true;
        app.modal.whileOpen = [&](QDialog &) {
            mainWhileOpen = app.context.alarmClock.running(app.context.mainAlert());
            furtherWhileOpen = app.context.alarmClock.running(further);
            QTest::mouseClick(app.context.editor().acceptButton, Qt::LeftButton);
        };
        choose(*further.setAction);
        QVERIFY(mainWhileOpen);
        QVERIFY(!furtherWhileOpen);
        QVERIFY(!app.context.alarmClock.running(further));
    }

    // Tikora.chm in the current folder if it is there, else the page the
    // program ships; from the root folder too.
    void helpOpensTheLocalFileOrTheShippedPage()
    {
        TempCurrentDir dir;
        TestApp app;
        TrayShell tray(app.context);
        choose(*tray.trayMenu().helpAction);
        QCOMPARE(app.help.opened.size(), 1);
        QFile page(app.help.opened.first());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("<title>Tikora help</title>"));

        dir.write(QStringLiteral("Tikora.chm"), "help");
        choose(*app.context.mainAlert().helpAction);
        QCOMPARE(app.help.opened.last(),
                 QDir::toNativeSeparators(dir.path() + QStringLiteral("/Tikora.chm")));
        QVERIFY(app.boxes.shown.isEmpty());
        QDir::setCurrent(QStringLiteral("/"));
        QCOMPARE(MenuCommands::helpPath(), QDir::toNativeSeparators(QStringLiteral("/Tikora.chm")));
    }

    // No viewer can open the page: a box says so, with the page's path.
    void helpThatCannotOpenSaysWhereThePageIs()
    {
        TempCurrentDir dir;
        TestApp app;
        app.help.fails = true;
        TrayShell tray(app.context);
        choose(*tray.trayMenu().helpAction);
        QCOMPARE(app.help.opened.size(), 1);
        QCOMPARE(app.boxes.shown.size(), 1);
        const QString text = app.boxes.shown.first();
        QVERIFY2(text.startsWith(QStringLiteral("Tikora could not open its help page")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(u'\n' + app.help.opened.first()), qPrintable(text));
        QVERIFY(app.help.opened.first().endsWith(QStringLiteral(".html")));
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
            app.context.editor().messageBoxes[5]->setText(QStringLiteral("not accepted"));
            choose(*tray.trayMenu().exitAction);
        };
        choose(*tray.trayMenu().setAlarmAction);

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
            app.context.editor().messageBoxes[5]->setText(QStringLiteral("not accepted"));

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
            QTest::mouseClick(window->okButton, Qt::LeftButton);
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
