// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "support/engineinternals.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimeEdit>
#include <QtTest>

namespace {

const QString BadTime = QStringLiteral("The TIME you entered was not valid.");

struct Boxes
{
    qint16 daily, weekly, monthly;
    friend bool operator==(const Boxes &, const Boxes &) = default;
};

// A row's repeat boxes as the file stores them: Qt's unchecked, grey and
// checked are 0, 2 and 1.
Boxes boxesOf(const AlarmEditor &editor, int row)
{
    constexpr qint16 stored[] = {0, 2, 1};
    return {stored[Row::daily(editor, row)->checkState()],
            stored[Row::weekly(editor, row)->checkState()],
            stored[Row::monthly(editor, row)->checkState()]};
}

// The sound options as their buttons show them.
SoundChoice optionsOf(const AlarmEditor &editor)
{
    const auto on = [&](const char *name) {
        return control<QRadioButton>(editor, name)->isChecked();
    };
    return {on("optMessage"), on("optAlert"), on("optDive"), on("OptAlarm")};
}

char *toString(const Boxes &b)
{
    return QTest::toString(QStringLiteral("(%1,%2,%3)").arg(b.daily).arg(b.weekly).arg(b.monthly));
}

} // namespace

class TestAlarmEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsTheDesign()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        QCOMPARE(editor.size(), QSize(645, 257));
        QCOMPARE(control<QFrame>(editor, "Frame1")->geometry(), QRect(2, 2, 510, 655));
        const QScrollBar *bar = control<QScrollBar>(editor, "VScroll1");
        QCOMPARE((QList<int>{bar->minimum(), bar->maximum(), bar->singleStep(), bar->pageStep()}),
                 (QList<int>{0, 6000, 300, 1000}));
        QVERIFY(control<QPushButton>(editor, "cmdOKnotify")->isDefault());
        // The caption is the maker's web address.
        QCOMPARE(editor.windowTitle(), QStringLiteral("tikora.example.org"));
        // Row 0's Clear button and row 31's repeat boxes break the pattern.
        QCOMPARE(Row::clear(editor, 0)->geometry(), QRect(0, 12, 25, 22));
        QCOMPARE(Row::clear(editor, 1)->geometry(), QRect(0, 34, 25, 20));
        QCOMPARE(Row::date(editor, 31)->geometry(), QRect(26, 634, 51, 19));
        QCOMPARE(Row::message(editor, 5)->geometry(), QRect(78, 114, 263, 19));
        QCOMPARE(Row::time(editor, 0)->geometry(), QRect(342, 14, 59, 19));
        // A repeat box lies where its row has it in the row panel, its frame
        // at 90 twips (96 for monthly) plus its own top. It may be wider than
        // 13 pixels: as wide as the style draws its box (tst_textfit), within
        // its column.
        const auto boxAt = [&editor](const QCheckBox *box, int left, int top) {
            return box->mapTo(control<QFrame>(editor, "Frame1"), QPoint(0, 0)) ==
                       QPoint(left, top) &&
                   box->height() == 19 && box->width() >= 13 &&
                   box->geometry().right() < box->parentWidget()->width() - 1;
        };
        QVERIFY(boxAt(Row::daily(editor, 0), 402 + 12, 6 + 10));
        QVERIFY(boxAt(Row::weekly(editor, 1), 438 + 12, 6 + 28));
        QVERIFY(boxAt(Row::monthly(editor, 30), 474 + 12, 6 + 606));
        QVERIFY(boxAt(Row::monthly(editor, 31), 474 + 12, 6 + 626));
        QCOMPARE(Row::daily(editor, 3)->parentWidget(), control<QGroupBox>(editor, "Frame3"));
        QCOMPARE(control<QGroupBox>(editor, "Frame3")->title(), QStringLiteral("Daily"));
        QCOMPARE(control<QGroupBox>(editor, "Frame4")->title(), QStringLiteral("Wkly"));
        QCOMPARE(control<QGroupBox>(editor, "Frame5")->title(), QStringLiteral("Mnly"));
        QCOMPARE(Row::clear(editor, 7)->toolTip(), QStringLiteral("CLEAR THIS ROW"));
        QCOMPARE(editor.findChild<QLabel *>(QStringLiteral("lbMessages"))->text(),
                 QStringLiteral("Tikoraer Messages"));
        QCOMPARE(control<QRadioButton>(editor, "OptAlarm")->text(), QStringLiteral("Alert3"));
        QVERIFY(!control<QPushButton>(editor, "cmdTest1")->icon().isNull());
        QCOMPARE(control<QLabel>(editor, "Image1")->pixmap().size(), QSize(78, 60));
        QVERIFY(control<QLabel>(editor, "Image1")->hasScaledContents());
    }

    // The rows and options show the working copy: texts exactly as stored,
    // grey boxes grey, and no option when the file chose none; the user can
    // still choose one, and a second click keeps it chosen.
    void theControlsShowTheWorkingCopy()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = contentsWith({{2, "03/17/09", "09:30:00", 1, 0, 1, 1, "Team, room 4"},
                                       {4, "", "7:00", 0, 0, 0, 1, " no date "},
                                       {5, "03/19/09", "", 2, 0, 0, 1}});
        c.sound = SoundChoice{false, false, false, false};
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        const QMap<int, QStringList> texts = {{2, {"03/17/09", "Team, room 4", "09:30:00"}},
                                              {4, {"", " no date ", "7:00"}},
                                              {5, {"03/19/09", "slot 5", ""}}};
        for (int row = 0; row < SlotCount; ++row) {
            QCOMPARE((QStringList{Row::date(editor, row)->text(), Row::message(editor, row)->text(),
                                  Row::time(editor, row)->text()}),
                     texts.value(row, {"", "", ""}));
            QCOMPARE(boxesOf(editor, row), (row == 2   ? Boxes{0, 0, 1}
                                            : row == 5 ? Boxes{2, 0, 0}
                                                       : Boxes{0, 0, 0}));
        }
        QCOMPARE(optionsOf(editor), (SoundChoice{false, false, false, false}));
        click(control<QRadioButton>(editor, "optDive"));
        click(control<QRadioButton>(editor, "optDive"));
        QCOMPARE(optionsOf(editor), (SoundChoice{false, false, true, false}));
        QCOMPARE(app.context.engine.sound(), (SoundChoice{false, false, true, false}));
        click(control<QRadioButton>(editor, "optMessage"));
        QCOMPARE(optionsOf(editor), (SoundChoice{true, false, false, false}));
    }

    // What the user types and clicks reaches the working copy at once, and
    // the row shows what the engine's rules make of it.
    void editsReachTheWorkingCopy()
    {
        TempCurrentDir dir;
        TestApp app;
        writeEntries(dir, {{4, "03/17/09", "09:00:00", 2, 0, 0, 1}});
        AlarmEditor &editor = app.context.editor();
        const AlarmEngine &engine = app.context.engine;
        editor.show();
        QTest::keyClicks(Row::date(editor, 1), QStringLiteral("next week"));
        QTest::keyClicks(Row::message(editor, 1), QStringLiteral("typed"));
        QTest::keyClicks(Row::time(editor, 1), QStringLiteral("9:30"));
        QCOMPARE((QStringList{engine.row(1).date, engine.row(1).message, engine.row(1).time}),
                 (QStringList{"next week", "typed", "9:30"}));

        click(Row::daily(editor, 4)); // grey checks
        QCOMPARE(boxesOf(editor, 4), (Boxes{1, 0, 0}));
        QCOMPARE(engine.row(4).repeat.daily, qint16(1));
        QCOMPARE(app.context.engine.table()[4].fired, qint16(0));
        click(Row::monthly(editor, 4));
        QCOMPARE(boxesOf(editor, 4), (Boxes{0, 0, 1}));
        // A click on a checked box unchecks it; never grey.
        click(Row::monthly(editor, 4));
        QCOMPARE(engine.row(4).repeat.monthly, qint16(0));
        click(Row::monthly(editor, 4));
        QCOMPARE(boxesOf(editor, 4), (Boxes{0, 0, 1}));

        click(Row::clear(editor, 4));
        QCOMPARE((QStringList{Row::date(editor, 4)->text(), Row::message(editor, 4)->text(),
                              Row::time(editor, 4)->text()}),
                 (QStringList{"", "", ""}));
        QCOMPARE(boxesOf(editor, 4), (Boxes{0, 0, 0}));
        QCOMPARE(app.context.engine.table()[4].fired, qint16(1));

        // The options, found by the names the end-to-end test uses.
        const std::pair<const char *, SoundChoice> options[] = {
            {"optAlert", {false, true, false, false}},
            {"optDive", {false, false, true, false}},
            {"OptAlarm", {false, false, false, true}},
            {"optMessage", {true, false, false, false}}};
        for (const auto &[name, sound] : options) {
            click(editor.findChild<QRadioButton *>(QLatin1String(name)));
            QCOMPARE(engine.sound(), sound);
        }
    }

    void textsOfAnyLengthSurviveLoadAndSave()
    {
        TempCurrentDir dir;
        TestApp app;
        const QString longText = QString(40000, u'x') + QStringLiteral(", end");
        writeEntries(dir, {{0, "  03/17/09", "soon, maybe ", 0, 0, 0, 0, longText}});
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        QCOMPARE(Row::message(editor, 0)->text(), longText);
        QVERIFY(app.context.engine.save().ok);
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    // Pasted line breaks would split the row's line in the file.
    void pastedLineBreaksBecomeSpaces_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("message") << "txtMessage_4";
        QTest::newRow("date") << "txtDateNotify_4";
        QTest::newRow("time") << "txtTimeNote_4";
    }

    void pastedLineBreaksBecomeSpaces()
    {
        QFETCH(QString, box);
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        auto *edit = editor.findChild<QLineEdit *>(box);
        QVERIFY(edit);
        QGuiApplication::clipboard()->setText(QStringLiteral("one\r\ntwo\nthree\rfour"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("one two three four"));
        QVERIFY(app.context.engine.save().ok);
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    // The editor opens on the first row's date; Tab walks the rows and they
    // follow it into view; Enter on a focused button presses that button.
    void theKeyboardReachesEveryRow()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        QVERIFY(showActive(editor));
        QCOMPARE(QApplication::focusWidget(), Row::date(editor, 0));

        const auto inView = [&editor](QWidget *control) {
            return editor.rect().contains(
                QRect(control->mapTo(&editor, QPoint(0, 0)), control->size()));
        };
        QVERIFY(!inView(Row::time(editor, 20)));
        int presses = 0;
        while (QApplication::focusWidget() != Row::time(editor, 20) && presses++ < 400) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(inView(QApplication::focusWidget()),
                     qPrintable(QApplication::focusWidget()->objectName()));
            // The rows rest on their grid: a whole number of rows scrolled.
            QCOMPARE(control<QScrollBar>(editor, "VScroll1")->value() % 300, 0);
        }
        QCOMPARE(QApplication::focusWidget(), Row::time(editor, 20));
        QVERIFY(control<QScrollBar>(editor, "VScroll1")->value() > 0);

        QPushButton *playAlert1 = control<QPushButton>(editor, "cmdTest2");
        playAlert1->setFocus();
        QTest::keyClick(playAlert1, Qt::Key_Return);
        QCOMPARE(app.sound.calls, QStringList{"play Alert.wav"});
        QVERIFY(editor.isVisible());
    }

    void pagingMovesTheRowPanel()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        QScrollBar *bar = control<QScrollBar>(editor, "VScroll1");
        const QFrame *panel = control<QFrame>(editor, "Frame1");
        QCOMPARE(panel->y(), 2);

        // The down arrow sits at the bottom end of the bar: one row.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() - 4));
        QCOMPARE(bar->value(), 300);
        QCOMPARE(panel->y(), -20);

        // The trough below the thumb: a page of 1000.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() * 3 / 4));
        QCOMPARE(bar->value(), 1300);
        QCOMPARE(panel->y(), -87);

        // Dragging the thumb to the bottom: the panel follows while dragging.
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(panel->y(), 0);
        const QPoint thumb(bar->width() / 2, bar->width() + 6);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
        QTest::mouseMove(bar, QPoint(thumb.x(), bar->height()));
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(panel->y(), -400);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.x(), bar->height()));
        // Rows 20 to 31 are the ones inside the window now.
        const int visibleTop = panel->y() + Row::message(editor, 20)->y();
        QVERIFY(visibleTop >= 0 && visibleTop < 20);
        QVERIFY(panel->y() + Row::message(editor, 31)->geometry().bottom() < editor.height());

        // The position survives hiding and showing.
        editor.hide();
        editor.show();
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(panel->y(), -400);
    }

    // Paged down to rows 20 to 31, accepted and opened again from the tray:
    // the editor comes back where it was, with the focus in a row it shows,
    // and every move the keyboard makes rests on the row grid.
    void theEditorKeepsItsPlaceWhenOpenedAgain()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        QScrollBar *bar = control<QScrollBar>(editor, "VScroll1");
        const auto inView = [&editor](QWidget *control) {
            return editor.rect().contains(
                QRect(control->mapTo(&editor, QPoint(0, 0)), control->size()));
        };
        int opening = 0;
        QList<int> valuesOnShow;
        QList<QWidget *> focusOnShow;
        QList<int> valuesWalkingUp;
        app.modal.whileOpen = [&](QDialog &dialog) {
            dialog.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &dialog);
            valuesOnShow.append(bar->value());
            focusOnShow.append(QApplication::focusWidget());
            if (opening++ == 0) {
                for (int page = 0; page < 6; ++page)
                    QTest::keyClick(bar, Qt::Key_PageDown);
            } else {
                // From the top row shown, Shift+Tab walks back up.
                int presses = 0;
                while (QApplication::focusWidget() != Row::date(editor, 17) && presses++ < 40) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                    QVERIFY(inView(QApplication::focusWidget()));
                    valuesWalkingUp.append(bar->value());
                }
            }
            click(control<QPushButton>(editor, "cmdOKnotify"));
        };
        app.context.commands.openEditor(MenuCommands::FromTray);
        QVERIFY(!editor.isVisible());
        QCOMPARE(bar->value(), 6000);
        // The user works in another window meanwhile.
        QWidget elsewhere;
        QVERIFY(showActive(elsewhere));
        app.context.commands.openEditor(MenuCommands::FromTray);

        QCOMPARE(valuesOnShow, (QList<int>{0, 6000}));
        QCOMPARE(focusOnShow, (QList<QWidget *>{Row::date(editor, 0), Row::date(editor, 20)}));
        // Rows 19, 18 and 17 come into view one whole row at a time.
        QVERIFY(!valuesWalkingUp.isEmpty());
        for (int value : std::as_const(valuesWalkingUp))
            QVERIFY2(value % 300 == 0 && value >= 17 * 300, qPrintable(QString::number(value)));
        QCOMPARE(valuesWalkingUp.last(), 17 * 300);
    }

    void testButtonsPlayTheirSounds()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        click(control<QRadioButton>(editor, "optDive"));
        for (const char *test : {"cmdTest1", "cmdTest2", "cmdTest3", "cmdTest4"})
            click(control<QPushButton>(editor, test));
        QCOMPARE(app.sound.calls, (QStringList{"play checkmsgs.wav", "play Alert.wav",
                                               "play Keytry.wav", "play Keyhaw.wav"}));
        QCOMPARE(optionsOf(editor), (SoundChoice{false, false, true, false}));
    }

    void pickerClicksRearmTheRowAndSurviveLeaving_data()
    {
        QTest::addColumn<bool>("dateBox");
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("date, close box") << true << QStringLiteral("close");
        QTest::newRow("time, Cancel") << false << QStringLiteral("cancel");
        QTest::newRow("time, Escape") << false << QStringLiteral("escape");
        QTest::newRow("time, close box") << false << QStringLiteral("close");
    }

    void pickerClicksRearmTheRowAndSurviveLeaving()
    {
        QFETCH(bool, dateBox);
        QFETCH(QString, leaveBy);

        TempCurrentDir dir;
        TestApp app;
        writeEntries(dir, {{5, "03/17/09", "09:00:00", 0, 0, 0, 1}});
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        editor.show();

        app.modal.whileOpen = [&](QDialog &picker) {
            QCOMPARE(app.context.engine.table()[5].fired, qint16(0));
            QCOMPARE(editor.openPicker(), &picker);
            if (dateBox) {
                QVERIFY(qobject_cast<DatePicker *>(&picker));
            } else {
                auto *time = qobject_cast<TimePicker *>(&picker);
                QVERIFY(time);
                QTest::keyClick(control<QTimeEdit>(*time, "DTPicker1"),
                                Qt::Key_Up); // changes the picker only
                if (leaveBy == QLatin1String("cancel"))
                    click(control<QPushButton>(*time, "cmdCancel"));
                else if (leaveBy == QLatin1String("escape"))
                    QTest::keyClick(control<QTimeEdit>(*time, "DTPicker1"), Qt::Key_Escape);
            }
            if (leaveBy == QLatin1String("close"))
                picker.close();
            QVERIFY(!picker.isVisible());
        };
        click(dateBox ? Row::date(editor, 5) : Row::time(editor, 5));

        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(editor.openPicker(), nullptr);
        QCOMPARE(app.context.engine.table()[5].fired, qint16(0));
        QCOMPARE(Row::date(editor, 5)->text(), QStringLiteral("03/17/09"));
        QCOMPARE(Row::time(editor, 5)->text(), QStringLiteral("09:00:00"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    // While a picker is open, nothing opens a second one over it.
    void aSecondPickerIsNotOpened()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        EngineInternals::state(app.context.engine).table()[2].fired = 1;
        app.modal.whileOpen = [&](QDialog &) {
            click(Row::date(editor, 2));
            click(Row::time(editor, 2));
        };
        click(Row::time(editor, 1));
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(app.context.engine.table()[2].fired, qint16(1));
    }

    // OK and Enter accept. A failure leaves the editor as it is, the box that
    // failed shown emptied; success hides it, starts the main clock, and the
    // rows show the texts rewritten. The unattended press at start-up leaves
    // the hidden editor hidden.
    void okAcceptsAndTheRowsShowTheOutcome()
    {
        TempCurrentDir dir;
        TestApp app;
        writeEntries(dir, {{9, "06/15/09", "9 o'clock"}});
        AlarmEditor &editor = app.context.editor();
        AlarmClock &clock = app.context.alarmClock;
        AlertWindow &main = app.context.mainAlert();
        control<QPushButton>(editor, "cmdOKnotify")->click();
        QCOMPARE(app.boxes.shown, QStringList{BadTime});
        QVERIFY(!editor.isVisible());
        QVERIFY(clock.running(main));
        QVERIFY(Row::time(editor, 9)->text().isEmpty());

        clock.stop(main);
        editor.show();
        QTest::keyClicks(Row::time(editor, 0), QStringLiteral("25:00"));
        QTest::keyClick(Row::message(editor, 0), Qt::Key_Return);
        QCOMPARE(app.boxes.shown, (QStringList{BadTime, BadTime}));
        QVERIFY(editor.isVisible());
        QVERIFY(!clock.running(main));
        QVERIFY(Row::time(editor, 0)->text().isEmpty());

        QTest::keyClicks(Row::time(editor, 0), QStringLiteral("9:30"));
        QTest::keyClick(Row::time(editor, 0), Qt::Key_Enter);
        QVERIFY(!editor.isVisible());
        QVERIFY(clock.running(main));
        QCOMPARE(Row::time(editor, 0)->text(), QStringLiteral("09:30:00"));
        QCOMPARE(readContents(dir).table[0].time, QStringLiteral("09:30:00"));

        // Showing the editor takes the rows as they are then: an entry moved
        // on while it was hidden, and fired at its new date, stays fired.
        app.context.engine.setText(2, AlarmEngine::Field::Date, QStringLiteral("06/22/09"));
        EngineInternals::state(app.context.engine).table()[2].fired = 1;
        editor.show();
        QTest::keyClick(Row::message(editor, 0), Qt::Key_Return);
        QVERIFY(!editor.isVisible());
        QCOMPARE(readContents(dir).table[2].fired, qint16(1));
    }

    // Escape does nothing. The close box cancels: the rows and options show
    // the file again, nothing is saved, the main clock runs, the editor hides.
    void theCloseBoxCancelsAndEscapeDoesNothing()
    {
        TempCurrentDir dir;
        TestApp app;
        writeEntries(dir, {{2, "03/17/09", "09:30:00", 0, 1, 0, 0, "weekly"}});
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        AlarmClock &clock = app.context.alarmClock;
        AlertWindow &main = app.context.mainAlert();
        clock.stop(main);
        editor.show();
        QTest::keyClicks(Row::message(editor, 2), QStringLiteral(" edited"));
        click(Row::daily(editor, 2));
        click(control<QRadioButton>(editor, "optAlert"));
        QTest::keyClick(Row::message(editor, 2), Qt::Key_Escape);
        QTest::keyClick(control<QPushButton>(editor, "cmdOKnotify"), Qt::Key_Escape);
        QVERIFY(editor.isVisible());
        QCOMPARE(Row::message(editor, 2)->text(), QStringLiteral("weekly edited"));
        QVERIFY(!clock.running(main));
        QCOMPARE(dir.read(AlarmStore::FileName), before);

        editor.close();
        QVERIFY(!editor.isVisible());
        QVERIFY(clock.running(main));
        QCOMPARE(Row::message(editor, 2)->text(), QStringLiteral("weekly"));
        QCOMPARE(boxesOf(editor, 2), (Boxes{0, 1, 0}));
        QCOMPARE(optionsOf(editor), (SoundChoice{true, false, false, false}));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }
};

QTEST_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
