// SPDX-License-Identifier: MIT
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestAboutWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheTitleAndVersion()
    {
        AboutWindow about;
        QCOMPARE(control<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version"));
        about.fillTitleAndVersion();
        QCOMPARE(control<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 8.8.0"));
        QCOMPARE(control<QLabel>(about, "lblTitle")->text(), QStringLiteral("Tikora"));
        QVERIFY(about.windowTitle().isEmpty());
        QVERIFY(control<QPushButton>(about, "cmdOK")->isDefault());
        QVERIFY(!control<QLabel>(about, "Label1")->text().isEmpty());
        QVERIFY(!control<QLabel>(about, "Label2")->text().isEmpty());
        QCOMPARE(about.size(), QSize(284, 190));
    }

    void enterEscapeAndOkCloseIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("OK") << 0;
    }

    void enterEscapeAndOkCloseIt()
    {
        QFETCH(int, key);
        TempCurrentDir dir;
        TestApp app;
        bool wasVisible = false;
        app.modal.whileOpen = [&](QDialog &dialog) {
            auto &about = static_cast<AboutWindow &>(dialog);
            wasVisible = app.context.commands.aboutVisible();
            QCOMPARE(control<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 8.8.0"));
            if (key)
                QTest::keyClick(&about, Qt::Key(key));
            else
                click(control<QPushButton>(about, "cmdOK"));
            QVERIFY(!about.isVisible());
        };
        app.context.commands.showAbout(MenuCommands::FromAlertWindow);
        QVERIFY(wasVisible);
        QCOMPARE(app.modal.shown.size(), 1);
        // Closing unloads it: nothing of it is left.
        QVERIFY(app.modal.shown.first().isNull());
        QVERIFY(!app.context.commands.aboutVisible());
    }

    // From the tray, About opens only while neither the main alert window
    // nor the editor is visible; further alert windows do not count.
    void fromTheTrayItDependsOnWhatIsVisible_data()
    {
        QTest::addColumn<QString>("visible");
        QTest::addColumn<int>("fromTray");
        QTest::addColumn<int>("fromAlertWindow");
        QTest::newRow("nothing") << "" << 1 << 1;
        QTest::newRow("main alert window") << "main" << 0 << 1;
        QTest::newRow("editor") << "editor" << 0 << 1;
        QTest::newRow("a further alert window") << "further" << 1 << 1;
    }

    void fromTheTrayItDependsOnWhatIsVisible()
    {
        QFETCH(QString, visible);
        QFETCH(int, fromTray);
        QFETCH(int, fromAlertWindow);
        TempCurrentDir dir;
        TestApp app;
        AlertWindow further(app.context, AlertWindow::Further);
        if (visible == u"main")
            app.context.mainAlert().show();
        else if (visible == u"editor")
            app.context.editor().show();
        else if (visible == u"further")
            further.show();

        app.context.commands.showAbout(MenuCommands::FromTray);
        QCOMPARE(app.modal.shown.size(), fromTray);
        app.context.commands.showAbout(MenuCommands::FromAlertWindow);
        QCOMPARE(app.modal.shown.size(), fromTray + fromAlertWindow);
    }

    void alreadyOpenItIsNotShownASecondTime()
    {
        TempCurrentDir dir;
        TestApp app;
        int nested = 0;
        app.modal.whileOpen = [&](QDialog &) {
            if (nested++ == 0) {
                app.context.commands.showAbout(MenuCommands::FromAlertWindow);
                app.context.commands.showAbout(MenuCommands::FromTray);
            }
        };
        app.context.commands.showAbout(MenuCommands::FromAlertWindow);
        QCOMPARE(app.modal.shown.size(), 1);
    }

    void theAlertWindowsMenuOpensIt()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        QVERIFY(showActive(main));
        QTest::keyClick(&main, Qt::Key_A, Qt::ControlModifier);
        // The command returns first; About opens when the loop next runs.
        QCOMPARE(app.modal.shown.size(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(control<QAction>(main, "mnuAbout")->text(), QStringLiteral("&About"));
        QCOMPARE(control<QAction>(main, "mnuHelpItem")->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+H")));
        QCOMPARE(control<QAction>(main, "mnuNotify")->text(), QStringLiteral("&Set"));
    }
};

QTEST_MAIN(TestAboutWindow)
#include "tst_aboutwindow.moc"
