// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"

#include <QApplication>
#include <QBuffer>
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
#include <QTimer>
#include <QtTest>

namespace {

FileContents withBanners()
{
    FileContents c;
    c.banner1 = DefaultBanner1;
    c.banner2 = DefaultBanner2;
    return c;
}

void setEntry(FileContents &c, int slot, const QString &date, const QString &message,
              const QString &time, qint16 fired)
{
    c.table[slot].date = date;
    c.table[slot].message = message;
    c.table[slot].time = time;
    c.table[slot].fired = fired;
}

struct Boxes
{
    qint16 daily, weekly, monthly;
    friend bool operator==(const Boxes &, const Boxes &) = default;
};

Boxes boxesOf(const AlarmEditor &editor, int row)
{
    return {AlarmEditor::boxValue(editor.dailyBoxes[row]),
            AlarmEditor::boxValue(editor.weeklyBoxes[row]),
            AlarmEditor::boxValue(editor.monthlyBoxes[row])};
}

char *toString(const Boxes &b)
{
    return QTest::toString(QStringLiteral("(%1,%2,%3)").arg(b.daily).arg(b.weekly).arg(b.monthly));
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

} // namespace

Q_DECLARE_METATYPE(Boxes)

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
        QCOMPARE(editor.rowPanel->geometry(), QRect(2, 2, 510, 655));
        QCOMPARE(editor.scrollBar->minimum(), 0);
        QCOMPARE(editor.scrollBar->maximum(), 6000);
        QCOMPARE(editor.scrollBar->singleStep(), 300);
        QCOMPARE(editor.scrollBar->pageStep(), 1000);
        QVERIFY(editor.acceptButton->isDefault());
        // Row 0's Clear button and row 31's repeat boxes break the pattern.
        QCOMPARE(editor.clearButtons[0]->geometry(), QRect(0, 12, 25, 22));
        QCOMPARE(editor.clearButtons[1]->geometry(), QRect(0, 34, 25, 20));
        QCOMPARE(editor.dateBoxes[31]->geometry(), QRect(26, 634, 51, 19));
        QCOMPARE(editor.messageBoxes[5]->geometry(), QRect(78, 114, 263, 19));
        QCOMPARE(editor.timeBoxes[0]->geometry(), QRect(342, 14, 59, 19));
        // A repeat box lies where its row has it in the row panel, its frame
        // at 90 twips (96 for monthly) plus its own top. It may be wider than
        // 13 pixels: as wide as the style draws its box (tst_textfit), within
        // its column.
        const auto boxAt = [&editor](const QCheckBox *box, int left, int top) {
            return box->mapTo(editor.rowPanel, QPoint(0, 0)) == QPoint(left, top) &&
                   box->height() == 19 && box->width() >= 13 &&
                   box->geometry().right() < box->parentWidget()->width() - 1;
        };
        QVERIFY(boxAt(editor.dailyBoxes[0], 402 + 12, 6 + 10));
        QVERIFY(boxAt(editor.weeklyBoxes[1], 438 + 12, 6 + 28));
        QVERIFY(boxAt(editor.monthlyBoxes[30], 474 + 12, 6 + 606));
        QVERIFY(boxAt(editor.monthlyBoxes[31], 474 + 12, 6 + 626));
        QCOMPARE(editor.dailyBoxes[3]->parentWidget(), editor.dailyColumn);
        QCOMPARE(editor.dailyColumn->title(), QStringLiteral("Daily"));
        QCOMPARE(editor.weeklyColumn->title(), QStringLiteral("Wkly"));
        QCOMPARE(editor.monthlyColumn->title(), QStringLiteral("Mnly"));
        QCOMPARE(editor.clearButtons[7]->toolTip(), QStringLiteral("CLEAR THIS ROW"));
        QCOMPARE(editor.findChild<QLabel *>(QStringLiteral("lbMessages"))->text(),
                 QStringLiteral("Tikoraer Messages"));
        QCOMPARE(editor.alert3Button->text(), QStringLiteral("Alert3"));
        QVERIFY(!editor.playMessageButton->icon().isNull());
        QCOMPARE(editor.picture->pixmap().size(), QSize(78, 60));
        QVERIFY(editor.picture->hasScaledContents());
    }

    // Two repeat flags in one row keep the last; every repeating entry is
    // armed again; grey and odd values from a hand-edited file survive or
    // read as unchecked; the last true sound flag is the one selected.
    void loadFillsTheRowsAndRearmsRepeatingEntries()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 2, QStringLiteral("03/17/09"), QStringLiteral("Team meeting, room 4"),
                 QStringLiteral("09:30:00"), 1);
        c.table[2].daily = 1;
        c.table[2].monthly = 1;
        setEntry(c, 3, QStringLiteral("03/18/09"), QStringLiteral("weekly"),
                 QStringLiteral("10:00:00"), 1);
        c.table[3].weekly = 1;
        setEntry(c, 4, QString(), QStringLiteral(" no date "), QStringLiteral("7:00"), 1);
        setEntry(c, 5, QStringLiteral("03/19/09"), QStringLiteral("grey"), QString(), 1);
        c.table[5].daily = 2;
        setEntry(c, 6, QStringLiteral("03/20/09"), QStringLiteral("odd"), QString(), 0);
        c.table[6].weekly = 7;
        c.table[6].monthly = -3;
        c.sound = SoundChoice{false, true, false, true};
        dir.write(AlarmStore::FileName, DataFile::encode(c));

        AlarmEditor &editor = app.context.editor();
        const AlarmTable &table = app.context.state.table();
        QCOMPARE(editor.dateBoxes[2]->text(), QStringLiteral("03/17/09"));
        QCOMPARE(editor.messageBoxes[2]->text(), QStringLiteral("Team meeting, room 4"));
        QCOMPARE(editor.timeBoxes[2]->text(), QStringLiteral("09:30:00"));
        QCOMPARE(boxesOf(editor, 2), (Boxes{0, 0, 1}));
        QCOMPARE(boxesOf(editor, 3), (Boxes{0, 1, 0}));
        QCOMPARE(boxesOf(editor, 5), (Boxes{2, 0, 0}));
        QCOMPARE(boxesOf(editor, 6), (Boxes{0, 0, 0}));
        // Texts show exactly as stored: no default date, no reformatting.
        QCOMPARE(editor.dateBoxes[4]->text(), QString());
        QCOMPARE(editor.messageBoxes[4]->text(), QStringLiteral(" no date "));
        QCOMPARE(editor.timeBoxes[4]->text(), QStringLiteral("7:00"));
        QCOMPARE(table[2].fired, qint16(0));
        QCOMPARE(table[3].fired, qint16(0));
        QCOMPARE(table[4].fired, qint16(1));
        QCOMPARE(table[5].fired, qint16(1));
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, false, true}));

        // What the rows show is what a save writes.
        QVERIFY(editor.save().ok);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[2].daily, qint16(0));
        QCOMPARE(saved.table[2].monthly, qint16(1));
        QCOMPARE(saved.table[5].daily, qint16(2));
        QCOMPARE(saved.table[6].weekly, qint16(0));
        QCOMPARE(saved.table[6].monthly, qint16(0));
        QCOMPARE(saved.table[2].fired, qint16(0));
        QCOMPARE(saved.table[4].fired, qint16(1));
        QCOMPARE(saved.sound, (SoundChoice{false, false, false, true}));
    }

    void aFileWithoutSoundOrEntriesShowsBlankRowsAndNoOption()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        c.sound = SoundChoice{false, false, false, false};
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        for (int row = 0; row < SlotCount; ++row) {
            QVERIFY(editor.dateBoxes[row]->text().isEmpty());
            QVERIFY(editor.messageBoxes[row]->text().isEmpty());
            QVERIFY(editor.timeBoxes[row]->text().isEmpty());
            QCOMPARE(boxesOf(editor, row), (Boxes{0, 0, 0}));
        }
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, false, false}));
        // The user can still choose one, and a click keeps it chosen.
        click(editor.alert2Button);
        click(editor.alert2Button);
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, true, false}));
        click(editor.messageButton);
        QCOMPARE(editor.soundButtons(), (SoundChoice{true, false, false, false}));
    }

    void textsOfAnyLengthSurviveLoadAndSave()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        const QString longText = QString(40000, u'x') + QStringLiteral(", end");
        setEntry(c, 0, QStringLiteral("  03/17/09"), longText, QStringLiteral("soon, maybe "), 0);
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        QCOMPARE(editor.messageBoxes[0]->text(), longText);
        QVERIFY(editor.save().ok);
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
        QVERIFY(editor.save().ok);
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    // The editor opens on the first row's date; Tab walks the rows and they
    // follow it into view; Enter on a focused button presses that button.
    void theKeyboardReachesEveryRow()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(QApplication::focusWidget(), editor.dateBoxes[0]);

        const auto inView = [&editor](QWidget *control) {
            return editor.rect().contains(
                QRect(control->mapTo(&editor, QPoint(0, 0)), control->size()));
        };
        QVERIFY(!inView(editor.timeBoxes[20]));
        int presses = 0;
        while (QApplication::focusWidget() != editor.timeBoxes[20] && presses++ < 400) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(inView(QApplication::focusWidget()),
                     qPrintable(QApplication::focusWidget()->objectName()));
        }
        QCOMPARE(QApplication::focusWidget(), editor.timeBoxes[20]);
        QVERIFY(editor.scrollBar->value() > 0);

        editor.playAlert1Button->setFocus();
        QTest::keyClick(editor.playAlert1Button, Qt::Key_Return);
        QCOMPARE(app.sound.calls, QStringList{"play Alert.wav"});
        QVERIFY(editor.isVisible());
    }

    void pagingMovesTheRowPanel()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        QScrollBar *bar = editor.scrollBar;
        QCOMPARE(editor.rowPanel->y(), 2);

        // The down arrow sits at the bottom end of the bar: one row.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() - 4));
        QCOMPARE(bar->value(), 300);
        QCOMPARE(editor.rowPanel->y(), -20);

        // The trough below the thumb: a page of 1000.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() * 3 / 4));
        QCOMPARE(bar->value(), 1300);
        QCOMPARE(editor.rowPanel->y(), -87);

        // Dragging the thumb to the bottom: the panel follows while dragging.
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(editor.rowPanel->y(), 0);
        const QPoint thumb(bar->width() / 2, bar->width() + 6);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
        QTest::mouseMove(bar, QPoint(thumb.x(), bar->height()));
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(editor.rowPanel->y(), -400);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.x(), bar->height()));
        QCOMPARE(editor.rowPanel->y(), -400);
        // Rows 20 to 31 are the ones inside the window now.
        const int visibleTop = editor.rowPanel->y() + editor.messageBoxes[20]->y();
        QVERIFY(visibleTop >= 0 && visibleTop < 20);
        QVERIFY(editor.rowPanel->y() + editor.messageBoxes[31]->geometry().bottom() <
                editor.height());

        // The position survives hiding and showing.
        editor.hide();
        editor.show();
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(editor.rowPanel->y(), -400);
    }

    void repeatBoxRule_data()
    {
        QTest::addColumn<Boxes>("before");
        QTest::addColumn<int>("clickedColumn");
        QTest::addColumn<Boxes>("after");
        QTest::addColumn<qint16>("firedAfter");

        QTest::newRow("weekly over daily") << Boxes{1, 0, 0} << 1 << Boxes{0, 1, 0} << qint16(0);
        QTest::newRow("daily over monthly") << Boxes{0, 0, 1} << 0 << Boxes{1, 0, 0} << qint16(0);
        QTest::newRow("unchecking the only one")
            << Boxes{0, 1, 0} << 1 << Boxes{0, 0, 0} << qint16(1);
        QTest::newRow("grey checks") << Boxes{2, 0, 0} << 0 << Boxes{1, 0, 0} << qint16(0);
        QTest::newRow("grey beside a click") << Boxes{2, 0, 0} << 2 << Boxes{0, 0, 1} << qint16(0);
        QTest::newRow("unchecked checks") << Boxes{0, 0, 0} << 2 << Boxes{0, 0, 1} << qint16(0);
    }

    void repeatBoxRule()
    {
        QFETCH(Boxes, before);
        QFETCH(int, clickedColumn);
        QFETCH(Boxes, after);
        QFETCH(qint16, firedAfter);

        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 4, QStringLiteral("03/17/09"), QStringLiteral("m"), QStringLiteral("09:00:00"),
                 1);
        c.table[4].daily = before.daily;
        c.table[4].weekly = before.weekly;
        c.table[4].monthly = before.monthly;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        editor.show();
        // The file's state, as a tick would have reloaded it.
        app.context.state.table()[4].fired = 1;
        QCOMPARE(boxesOf(editor, 4), before);

        QCheckBox *columns[] = {editor.dailyBoxes[4], editor.weeklyBoxes[4],
                                editor.monthlyBoxes[4]};
        click(columns[clickedColumn]);
        QCOMPARE(boxesOf(editor, 4), after);
        QCOMPARE(app.context.state.table()[4].fired, firedAfter);
        QCOMPARE(boxesOf(editor, 3), (Boxes{0, 0, 0}));

        // A second click on the same box toggles between 0 and 1 only.
        click(columns[clickedColumn]);
        click(columns[clickedColumn]);
        QCOMPARE(boxesOf(editor, 4), after);
    }

    void clearEmptiesTheRowAndKeepsItFromFiring()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 3, QStringLiteral("03/17/09"), QStringLiteral("gone"),
                 QStringLiteral("09:00:00"), 0);
        c.table[3].weekly = 1;
        setEntry(c, 4, QStringLiteral("03/18/09"), QStringLiteral("stays"),
                 QStringLiteral("10:00:00"), 0);
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        editor.show();

        click(editor.clearButtons[3]);
        QVERIFY(editor.dateBoxes[3]->text().isEmpty());
        QVERIFY(editor.messageBoxes[3]->text().isEmpty());
        QVERIFY(editor.timeBoxes[3]->text().isEmpty());
        QCOMPARE(boxesOf(editor, 3), (Boxes{0, 0, 0}));
        QCOMPARE(app.context.state.table()[3].fired, qint16(1));
        QCOMPARE(editor.messageBoxes[4]->text(), QStringLiteral("stays"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);

        // Typing into the emptied row does not arm it; a repeat box does.
        QTest::keyClicks(editor.messageBoxes[3], QStringLiteral("new"));
        QTest::keyClicks(editor.timeBoxes[3], QStringLiteral("11:00:00"));
        QCOMPARE(app.context.state.table()[3].fired, qint16(1));
        click(editor.monthlyBoxes[3]);
        QCOMPARE(app.context.state.table()[3].fired, qint16(0));
    }

    void testButtonsPlayTheirSounds()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        click(editor.alert2Button);
        for (QPushButton *button : {editor.playMessageButton, editor.playAlert1Button,
                                    editor.playAlert2Button, editor.playAlert3Button})
            click(button);
        QCOMPARE(
            app.sound.calls,
            (QStringList{QStringLiteral("play checkmsgs.wav"), QStringLiteral("play Alert.wav"),
                         QStringLiteral("play Keytry.wav"), QStringLiteral("play Keyhaw.wav")}));
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, true, false}));
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
        FileContents c = withBanners();
        setEntry(c, 5, QStringLiteral("03/17/09"), QStringLiteral("fired"),
                 QStringLiteral("09:00:00"), 1);
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        editor.show();

        app.modal.whileOpen = [&](QDialog &picker) {
            QCOMPARE(app.context.state.table()[5].fired, qint16(0));
            QCOMPARE(editor.openPicker(), &picker);
            if (dateBox) {
                QVERIFY(qobject_cast<DatePicker *>(&picker));
            } else {
                auto *time = qobject_cast<TimePicker *>(&picker);
                QVERIFY(time);
                QTest::keyClick(time->timeEdit, Qt::Key_Up); // changes the picker only
                if (leaveBy == QLatin1String("cancel"))
                    click(time->cancelButton);
                else if (leaveBy == QLatin1String("escape"))
                    QTest::keyClick(time->timeEdit, Qt::Key_Escape);
            }
            if (leaveBy == QLatin1String("close"))
                picker.close();
            QVERIFY(!picker.isVisible());
        };
        click(dateBox ? editor.dateBoxes[5] : editor.timeBoxes[5]);

        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(editor.openPicker(), nullptr);
        QCOMPARE(app.context.state.table()[5].fired, qint16(0));
        QCOMPARE(editor.dateBoxes[5]->text(), QStringLiteral("03/17/09"));
        QCOMPARE(editor.timeBoxes[5]->text(), QStringLiteral("09:00:00"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    // While a picker is open, nothing opens a second one over it.
    void aSecondPickerIsNotOpened()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        editor.show();
        app.context.state.table()[2].fired = 1;
        app.modal.whileOpen = [&](QDialog &) {
            click(editor.dateBoxes[2]);
            click(editor.timeBoxes[2]);
        };
        click(editor.timeBoxes[1]);
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(app.context.state.table()[2].fired, qint16(1));
    }

    // Anything in the rows, accepted or not, is what a save writes; the
    // fired flags come from memory.
    void aSaveWritesUnacceptedEdits()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 1, QStringLiteral("03/17/09"), QStringLiteral("old"),
                 QStringLiteral("09:00:00"), 0);
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        editor.show();

        editor.messageBoxes[1]->selectAll();
        QTest::keyClicks(editor.messageBoxes[1], QStringLiteral("typed, not \"accepted\""));
        QTest::keyClicks(editor.dateBoxes[7], QStringLiteral("next week"));
        click(editor.weeklyBoxes[7]);
        click(editor.alert3Button);
        app.context.state.table()[1].fired = 1;
        app.context.state.file.banner2 = QStringLiteral("banner from memory");

        QVERIFY(editor.save().ok);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].message, QStringLiteral("typed, not \"accepted\""));
        QCOMPARE(saved.table[7].date, QStringLiteral("next week"));
        QCOMPARE(saved.table[7].weekly, qint16(1));
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[7].fired, qint16(0));
        QCOMPARE(saved.banner2, QStringLiteral("banner from memory"));
        QCOMPARE(saved.sound, (SoundChoice{false, false, false, true}));
        // Nothing was accepted: the table still holds what the file held.
        QCOMPARE(app.context.state.table()[1].message, QStringLiteral("old"));
    }

    // A tick inside the box about a broken file saves while the editor is
    // still loading: the rows hold what the file gave, never empty rows.
    void aSaveDuringTheLoadWritesWhatTheFileGave()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 0, QStringLiteral("03/17/09"), QStringLiteral("first"),
                 QStringLiteral("09:00:00"), 0);
        c.table[0].daily = 1;
        setEntry(c, 1, QStringLiteral("03/18/09"), QStringLiteral("second"),
                 QStringLiteral("10:00:00"), 0);
        setEntry(c, 20, QStringLiteral("03/19/09"), QStringLiteral("lost"),
                 QStringLiteral("11:00:00"), 0);
        const QByteArray whole = DataFile::encode(c);
        const QByteArray broken = whole.left(whole.indexOf("\"lost\"")) + "\"lost\"\r\nnine\r\n";
        dir.write(AlarmStore::FileName, broken);

        int saves = 0;
        app.boxes.whileOpen = [&](const QString &) {
            ++saves;
            QVERIFY(app.context.editor().save().ok);
        };
        AlarmEditor &editor = app.context.editor();
        QCOMPARE(saves, 1);
        QCOMPARE(app.boxes.shown, QStringList{AlarmStore::ProblemText});

        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].message, QStringLiteral("first"));
        QCOMPARE(saved.table[0].daily, qint16(1));
        QCOMPARE(saved.table[1].message, QStringLiteral("second"));
        QCOMPARE(saved.table[20].message, QStringLiteral("lost"));
        QCOMPARE(dir.read(AlarmStore::BadCopyName), broken);
        QCOMPARE(editor.messageBoxes[1]->text(), QStringLiteral("second"));
    }

    void aFailedSaveIsReportedOnce()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        app.context.store.setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
        const AlarmStore::SaveResult first = editor.save();
        QVERIFY(!first.ok);
        QVERIFY(!editor.save().ok);
        QCOMPARE(app.problems.reported, QStringList{AlarmStore::saveFailureText(first.reason)});
        QVERIFY(app.boxes.shown.isEmpty());
    }

    // The close box puts rows and sound back as the file has them, without
    // arming any entry, switches the main clock on and hides the editor.
    void theCloseBoxCancels()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        setEntry(c, 2, QStringLiteral("03/17/09"), QStringLiteral("weekly"),
                 QStringLiteral("09:30:00"), 0);
        c.table[2].weekly = 1;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        // The entry fired since: the file says so.
        c.table[2].fired = 1;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);

        app.context.mainAlert().clockTimer->stop();
        editor.show();
        QTest::keyClicks(editor.messageBoxes[2], QStringLiteral(" edited"));
        QTest::keyClicks(editor.timeBoxes[9], QStringLiteral("12:00:00"));
        click(editor.dailyBoxes[2]);
        click(editor.alert1Button);

        editor.close();
        QVERIFY(!editor.isVisible());
        QVERIFY(app.context.mainAlert().clockTimer->isActive());
        QCOMPARE(editor.messageBoxes[2]->text(), QStringLiteral("weekly"));
        QVERIFY(editor.timeBoxes[9]->text().isEmpty());
        QCOMPARE(boxesOf(editor, 2), (Boxes{0, 1, 0}));
        QCOMPARE(editor.soundButtons(), (SoundChoice{true, false, false, false}));
        QCOMPARE(app.context.state.table()[2].fired, qint16(1));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    void escapeDoesNothing()
    {
        TempCurrentDir dir;
        TestApp app;
        AlarmEditor &editor = app.context.editor();
        app.context.mainAlert().clockTimer->stop();
        editor.show();
        QTest::keyClicks(editor.messageBoxes[0], QStringLiteral("kept"));
        QTest::keyClick(editor.messageBoxes[0], Qt::Key_Escape);
        QTest::keyClick(editor.acceptButton, Qt::Key_Escape);
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.messageBoxes[0]->text(), QStringLiteral("kept"));
        QVERIFY(!app.context.mainAlert().clockTimer->isActive());
        QVERIFY(!dir.exists(AlarmStore::FileName));
    }
};

QTEST_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
