// SPDX-License-Identifier: MIT
// The real modal runner, with its nested loop: what a modal window opens in
// front of, and which windows take input while it is open.
#include "platform/qtmodalrunner.h"
#include "platform/qtservices.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/aboutwindow.h"
#include "windows/alertwindow.h"

#include <QAccessible>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

namespace {

bool keptOnTop(const QWidget &window)
{
    return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Runs the dialog modally; once its loop runs, acts and closes it.
void runWhileOpen(QtModalRunner &runner, QDialog &dialog, const std::function<void()> &act)
{
    QTimer::singleShot(0, &dialog, [&] {
        act();
        dialog.reject();
    });
    runner.exec(dialog);
}

// A click, as the desktop delivers it: to the window, at the widget.
void clickThroughWindow(QWidget &widget)
{
    QWidget *window = widget.window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget.mapTo(window, widget.rect().center()));
}

} // namespace

class TestModalRunner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A screen reader hears that the window is modal while it is open (Qt's
    // own modality is not used, so Qt alone would not say so): a dialog, a
    // message box, and a box over a dialog.
    void aModalWindowSaysItIsModal()
    {
        TempCurrentDir dir;
        QtModalRunner runner;
        AboutWindow about;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tikora"),
                        QStringLiteral("PROBLEM WITH SAVED FILE."), QMessageBox::Ok);
        const auto modal = [](QWidget &window) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&window);
            return face && face->state().modal;
        };
        bool aboutModal = false, boxModal = false, aboutUnderBox = false;
        QString boxText;
        QAccessible::Role boxRole = QAccessible::NoRole;
        QVERIFY(!modal(about));
        runWhileOpen(runner, about, [&] {
            aboutModal = modal(about);
            runWhileOpen(runner, box, [&] {
                boxModal = modal(box);
                aboutUnderBox = modal(about);
                QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&box);
                boxRole = face->role();
                boxText = face->text(QAccessible::Description);
            });
        });
        QVERIFY(aboutModal);
        QVERIFY(boxModal);
        QVERIFY(aboutUnderBox);
        QCOMPARE(boxRole, QAccessible::AlertMessage);
        QCOMPARE(boxText, QStringLiteral("PROBLEM WITH SAVED FILE."));
        QVERIFY(!modal(about));
        QVERIFY(!modal(box));
    }

    // In front of the active window: transient for it, and kept on top
    // while open when it is. A box over it is in front of it in turn.
    void opensInFrontOfTheWindowItComesFrom_data()
    {
        QTest::addColumn<bool>("mainShown");
        QTest::newRow("from the main alert window") << true;
        QTest::newRow("with no window shown") << false;
    }

    void opensInFrontOfTheWindowItComesFrom()
    {
        QFETCH(bool, mainShown);
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        if (mainShown) {
            QVERIFY(showActive(main));
        }
        QtModalRunner runner;
        AboutWindow about;
        QWindow *aboutParent = nullptr, *boxParent = nullptr;
        bool aboutOnTop = false, boxOnTop = false;
        QDialog *activeInAbout = nullptr;
        runWhileOpen(runner, about, [&] {
            aboutParent = about.windowHandle()->transientParent();
            aboutOnTop = keptOnTop(about);
            activeInAbout = runner.active();
            QTimer::singleShot(0, &about, [&] {
                auto *box = qobject_cast<QMessageBox *>(runner.active());
                if (!box)
                    return;
                boxParent = box->windowHandle()->transientParent();
                boxOnTop = keptOnTop(*box);
                box->button(QMessageBox::Ok)->click();
            });
            QtMessageBoxes().show(QStringLiteral("Over About"));
        });
        QCOMPARE(activeInAbout, &about);
        QCOMPARE(aboutParent, mainShown ? main.windowHandle() : nullptr);
        QCOMPARE(aboutOnTop, mainShown);
        QCOMPARE(boxParent, about.windowHandle());
        QVERIFY(boxOnTop);
        // Kept on top only while it was open.
        QVERIFY(!keptOnTop(about));
        QCOMPARE(runner.active(), nullptr);
    }

    // While a modal window is open, another dialog (an alert window) takes
    // no click and no shortcut, and a click on it brings the modal window
    // forward; a window that is no dialog (as the tray icon's) takes
    // clicks. Once it is closed, the alert window takes them again.
    void otherDialogsTakeNoInputWhileOpen()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QWidget icon;
        auto *iconButton = new QPushButton(QStringLiteral("icon"), &icon);
        int iconClicks = 0;
        connect(iconButton, &QPushButton::clicked, this, [&] { ++iconClicks; });
        icon.show();
        QVERIFY(QTest::qWaitForWindowExposed(&icon));

        QtModalRunner runner;
        QDialog modal;
        bool mainShownAfterClick = false, modalActiveAfterClick = false;
        runWhileOpen(runner, modal, [&] {
            main.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&main));
            QTest::keyClick(main.windowHandle(), Qt::Key_A, Qt::ControlModifier);
            clickThroughWindow(*control<QPushButton>(main, "cmdOK"));
            mainShownAfterClick = main.isVisible();
            modalActiveAfterClick = QTest::qWaitForWindowActive(&modal);
            clickThroughWindow(*iconButton);
        });
        QCOMPARE(app.modal.shown.size(), 0);
        QVERIFY(mainShownAfterClick);
        QVERIFY(modalActiveAfterClick);
        QCOMPARE(iconClicks, 1);

        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(main.windowHandle(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(app.modal.shown.size(), 1);
        clickThroughWindow(*control<QPushButton>(main, "cmdOK"));
        QVERIFY(!main.isVisible());
    }
};

QTEST_MAIN(TestModalRunner)
#include "tst_modalrunner.moc"
