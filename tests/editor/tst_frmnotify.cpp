// SPDX-License-Identifier: MIT
#include "editor/frmnotify.h"
#include "pickers/frmcal.h"
#include "pickers/frmtime.h"
#include "scheduler/frmpass.h"
#include "store/datafile.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"

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
    c.FileBanner1 = DefaultBanner1;
    c.FileBanner2 = DefaultBanner2;
    return c;
}

void setEntry(FileContents &c, int slot, const QString &date, const QString &message,
              const QString &time, qint16 fired)
{
    c.table.AlarmDate[slot] = date;
    c.table.AlarmMessage[slot] = message;
    c.table.AlarmTime[slot] = time;
    c.table.AlarmFired[slot] = fired;
}

struct Boxes
{
    qint16 daily, weekly, monthly;
    friend bool operator==(const Boxes &, const Boxes &) = default;
};

Boxes boxesOf(const frmNotify &editor, int row)
{
    return {frmNotify::boxValue(editor.ckDaily[row]), frmNotify::boxValue(editor.ckWeekly[row]),
            frmNotify::boxValue(editor.ckMonthly[row])};
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

class TestFrmNotify : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsTheDesign()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        QCOMPARE(editor.size(), QSize(645, 257));
        QCOMPARE(editor.Frame1->geometry(), QRect(2, 2, 510, 655));
        QCOMPARE(editor.VScroll1->minimum(), 0);
        QCOMPARE(editor.VScroll1->maximum(), 6000);
        QCOMPARE(editor.VScroll1->singleStep(), 300);
        QCOMPARE(editor.VScroll1->pageStep(), 1000);
        QVERIFY(editor.cmdOKnotify->isDefault());
        // Row 0's Clear button and row 31's repeat boxes break the pattern.
        QCOMPARE(editor.cmdClear[0]->geometry(), QRect(0, 12, 25, 22));
        QCOMPARE(editor.cmdClear[1]->geometry(), QRect(0, 34, 25, 20));
        QCOMPARE(editor.txtDateNotify[31]->geometry(), QRect(26, 634, 51, 19));
        QCOMPARE(editor.txtMessage[5]->geometry(), QRect(78, 114, 263, 19));
        QCOMPARE(editor.txtTimeNote[0]->geometry(), QRect(342, 14, 59, 19));
        QCOMPARE(editor.ckDaily[0]->geometry(), QRect(12, 10, 13, 19));
        QCOMPARE(editor.ckWeekly[1]->geometry(), QRect(12, 28, 13, 19));
        QCOMPARE(editor.ckMonthly[30]->geometry(), QRect(12, 606, 13, 19));
        QCOMPARE(editor.ckMonthly[31]->geometry(), QRect(12, 626, 13, 19));
        QCOMPARE(editor.ckDaily[3]->parentWidget(), editor.Frame3);
        QCOMPARE(editor.Frame3->title(), QStringLiteral("Daily"));
        QCOMPARE(editor.Frame4->title(), QStringLiteral("Wkly"));
        QCOMPARE(editor.Frame5->title(), QStringLiteral("Mnly"));
        QCOMPARE(editor.cmdClear[7]->toolTip(), QStringLiteral("CLEAR THIS ROW"));
        QCOMPARE(editor.findChild<QLabel *>(QStringLiteral("lbMessages"))->text(),
                 QStringLiteral("Tikoraer Messages"));
        QCOMPARE(editor.OptAlarm->text(), QStringLiteral("Alert3"));
        QVERIFY(!editor.cmdTest1->icon().isNull());
        QCOMPARE(editor.Image1->pixmap().size(), QSize(78, 60));
        QVERIFY(editor.Image1->hasScaledContents());
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
        c.table.AlarmDaily[2] = 1;
        c.table.AlarmMonthly[2] = 1;
        setEntry(c, 3, QStringLiteral("03/18/09"), QStringLiteral("weekly"),
                 QStringLiteral("10:00:00"), 1);
        c.table.AlarmWeekly[3] = 1;
        setEntry(c, 4, QString(), QStringLiteral(" no date "), QStringLiteral("7:00"), 1);
        setEntry(c, 5, QStringLiteral("03/19/09"), QStringLiteral("grey"), QString(), 1);
        c.table.AlarmDaily[5] = 2;
        setEntry(c, 6, QStringLiteral("03/20/09"), QStringLiteral("odd"), QString(), 0);
        c.table.AlarmWeekly[6] = 7;
        c.table.AlarmMonthly[6] = -3;
        c.sound = SoundChoice{false, true, false, true};
        dir.write(AlarmStore::FileName, DataFile::encode(c));

        frmNotify &editor = app.context.editor();
        const AlarmTable &table = app.context.state.table();
        QCOMPARE(app.context.state.EditorRow, qint16(32));
        QCOMPARE(editor.txtDateNotify[2]->text(), QStringLiteral("03/17/09"));
        QCOMPARE(editor.txtMessage[2]->text(), QStringLiteral("Team meeting, room 4"));
        QCOMPARE(editor.txtTimeNote[2]->text(), QStringLiteral("09:30:00"));
        QCOMPARE(boxesOf(editor, 2), (Boxes{0, 0, 1}));
        QCOMPARE(boxesOf(editor, 3), (Boxes{0, 1, 0}));
        QCOMPARE(boxesOf(editor, 5), (Boxes{2, 0, 0}));
        QCOMPARE(boxesOf(editor, 6), (Boxes{0, 0, 0}));
        // Texts show exactly as stored: no default date, no reformatting.
        QCOMPARE(editor.txtDateNotify[4]->text(), QString());
        QCOMPARE(editor.txtMessage[4]->text(), QStringLiteral(" no date "));
        QCOMPARE(editor.txtTimeNote[4]->text(), QStringLiteral("7:00"));
        QCOMPARE(table.AlarmFired[2], qint16(0));
        QCOMPARE(table.AlarmFired[3], qint16(0));
        QCOMPARE(table.AlarmFired[4], qint16(1));
        QCOMPARE(table.AlarmFired[5], qint16(1));
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, false, true}));

        // What the rows show is what a save writes.
        QVERIFY(editor.SaveMsg().ok);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table.AlarmDaily[2], qint16(0));
        QCOMPARE(saved.table.AlarmMonthly[2], qint16(1));
        QCOMPARE(saved.table.AlarmDaily[5], qint16(2));
        QCOMPARE(saved.table.AlarmWeekly[6], qint16(0));
        QCOMPARE(saved.table.AlarmMonthly[6], qint16(0));
        QCOMPARE(saved.table.AlarmFired[2], qint16(0));
        QCOMPARE(saved.table.AlarmFired[4], qint16(1));
        QCOMPARE(saved.sound, (SoundChoice{false, false, false, true}));
    }

    void aFileWithoutSoundOrEntriesShowsBlankRowsAndNoOption()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        c.sound = SoundChoice{false, false, false, false};
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        frmNotify &editor = app.context.editor();
        for (int row = 0; row < SlotCount; ++row) {
            QVERIFY(editor.txtDateNotify[row]->text().isEmpty());
            QVERIFY(editor.txtMessage[row]->text().isEmpty());
            QVERIFY(editor.txtTimeNote[row]->text().isEmpty());
            QCOMPARE(boxesOf(editor, row), (Boxes{0, 0, 0}));
        }
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, false, false}));
        // The user can still choose one, and a click keeps it chosen.
        click(editor.optDive);
        click(editor.optDive);
        QCOMPARE(editor.soundButtons(), (SoundChoice{false, false, true, false}));
        click(editor.optMessage);
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
        frmNotify &editor = app.context.editor();
        QCOMPARE(editor.txtMessage[0]->text(), longText);
        QVERIFY(editor.SaveMsg().ok);
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
        frmNotify &editor = app.context.editor();
        editor.show();
        auto *edit = editor.findChild<QLineEdit *>(box);
        QVERIFY(edit);
        QGuiApplication::clipboard()->setText(QStringLiteral("one\r\ntwo\nthree\rfour"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("one two three four"));
        QVERIFY(editor.SaveMsg().ok);
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    void pagingMovesTheRowPanel()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        editor.show();
        QScrollBar *bar = editor.VScroll1;
        QCOMPARE(editor.Frame1->y(), 2);

        // The down arrow sits at the bottom end of the bar: one row.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() - 4));
        QCOMPARE(bar->value(), 300);
        QCOMPARE(editor.Frame1->y(), -20);

        // The trough below the thumb: a page of 1000.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() * 3 / 4));
        QCOMPARE(bar->value(), 1300);
        QCOMPARE(editor.Frame1->y(), -87);

        // Dragging the thumb to the bottom: the panel follows while dragging.
        QTest::keyClick(bar, Qt::Key_Home);
        QCOMPARE(editor.Frame1->y(), 0);
        const QPoint thumb(bar->width() / 2, bar->width() + 6);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
        QTest::mouseMove(bar, QPoint(thumb.x(), bar->height()));
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(editor.Frame1->y(), -400);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.x(), bar->height()));
        QCOMPARE(editor.Frame1->y(), -400);
        // Rows 20 to 31 are the ones inside the window now.
        const int visibleTop = editor.Frame1->y() + editor.txtMessage[20]->y();
        QVERIFY(visibleTop >= 0 && visibleTop < 20);
        QVERIFY(editor.Frame1->y() + editor.txtMessage[31]->geometry().bottom() < editor.height());

        // The position survives hiding and showing.
        editor.hide();
        editor.show();
        QCOMPARE(bar->value(), 6000);
        QCOMPARE(editor.Frame1->y(), -400);
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
        c.table.AlarmDaily[4] = before.daily;
        c.table.AlarmWeekly[4] = before.weekly;
        c.table.AlarmMonthly[4] = before.monthly;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        frmNotify &editor = app.context.editor();
        editor.show();
        // The file's state, as a tick would have reloaded it.
        app.context.state.table().AlarmFired[4] = 1;
        QCOMPARE(boxesOf(editor, 4), before);

        QCheckBox *columns[] = {editor.ckDaily[4], editor.ckWeekly[4], editor.ckMonthly[4]};
        click(columns[clickedColumn]);
        QCOMPARE(boxesOf(editor, 4), after);
        QCOMPARE(app.context.state.table().AlarmFired[4], firedAfter);
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
        c.table.AlarmWeekly[3] = 1;
        setEntry(c, 4, QStringLiteral("03/18/09"), QStringLiteral("stays"),
                 QStringLiteral("10:00:00"), 0);
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);
        frmNotify &editor = app.context.editor();
        editor.show();

        click(editor.cmdClear[3]);
        QVERIFY(editor.txtDateNotify[3]->text().isEmpty());
        QVERIFY(editor.txtMessage[3]->text().isEmpty());
        QVERIFY(editor.txtTimeNote[3]->text().isEmpty());
        QCOMPARE(boxesOf(editor, 3), (Boxes{0, 0, 0}));
        QCOMPARE(app.context.state.table().AlarmFired[3], qint16(1));
        QCOMPARE(editor.txtMessage[4]->text(), QStringLiteral("stays"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);

        // Typing into the emptied row does not arm it; a repeat box does.
        QTest::keyClicks(editor.txtMessage[3], QStringLiteral("new"));
        QTest::keyClicks(editor.txtTimeNote[3], QStringLiteral("11:00:00"));
        QCOMPARE(app.context.state.table().AlarmFired[3], qint16(1));
        click(editor.ckMonthly[3]);
        QCOMPARE(app.context.state.table().AlarmFired[3], qint16(0));
    }

    void testButtonsPlayTheirSounds()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        editor.show();
        click(editor.optDive);
        for (QPushButton *button :
             {editor.cmdTest1, editor.cmdTest2, editor.cmdTest3, editor.cmdTest4})
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
        frmNotify &editor = app.context.editor();
        editor.show();

        app.modal.whileOpen = [&](QDialog &picker) {
            QCOMPARE(app.context.state.EditorRow, qint16(5));
            QCOMPARE(app.context.state.table().AlarmFired[5], qint16(0));
            QCOMPARE(editor.openPicker(), &picker);
            if (dateBox) {
                QVERIFY(qobject_cast<frmCal *>(&picker));
            } else {
                auto *time = qobject_cast<frmTime *>(&picker);
                QVERIFY(time);
                QTest::keyClick(time->DTPicker1, Qt::Key_Up); // changes the picker only
                if (leaveBy == QLatin1String("cancel"))
                    click(time->cmdCancel);
                else if (leaveBy == QLatin1String("escape"))
                    QTest::keyClick(time->DTPicker1, Qt::Key_Escape);
            }
            if (leaveBy == QLatin1String("close"))
                picker.close();
            QVERIFY(!picker.isVisible());
        };
        click(dateBox ? editor.txtDateNotify[5] : editor.txtTimeNote[5]);

        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(editor.openPicker(), nullptr);
        QCOMPARE(app.context.state.EditorRow, qint16(5));
        QCOMPARE(app.context.state.table().AlarmFired[5], qint16(0));
        QCOMPARE(editor.txtDateNotify[5]->text(), QStringLiteral("03/17/09"));
        QCOMPARE(editor.txtTimeNote[5]->text(), QStringLiteral("09:00:00"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    // While a picker is open, nothing opens a second one over it.
    void aSecondPickerIsNotOpened()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        editor.show();
        app.context.state.table().AlarmFired[2] = 1;
        app.modal.whileOpen = [&](QDialog &) {
            click(editor.txtDateNotify[2]);
            click(editor.txtTimeNote[2]);
        };
        click(editor.txtTimeNote[1]);
        QCOMPARE(app.modal.shown.size(), 1);
        QCOMPARE(app.context.state.EditorRow, qint16(1));
        QCOMPARE(app.context.state.table().AlarmFired[2], qint16(1));
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
        frmNotify &editor = app.context.editor();
        editor.show();

        editor.txtMessage[1]->selectAll();
        QTest::keyClicks(editor.txtMessage[1], QStringLiteral("typed, not \"accepted\""));
        QTest::keyClicks(editor.txtDateNotify[7], QStringLiteral("next week"));
        click(editor.ckWeekly[7]);
        click(editor.OptAlarm);
        app.context.state.table().AlarmFired[1] = 1;
        app.context.state.file.FileBanner2 = QStringLiteral("banner from memory");

        QVERIFY(editor.SaveMsg().ok);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table.AlarmMessage[1], QStringLiteral("typed, not \"accepted\""));
        QCOMPARE(saved.table.AlarmDate[7], QStringLiteral("next week"));
        QCOMPARE(saved.table.AlarmWeekly[7], qint16(1));
        QCOMPARE(saved.table.AlarmFired[1], qint16(1));
        QCOMPARE(saved.table.AlarmFired[7], qint16(0));
        QCOMPARE(saved.FileBanner2, QStringLiteral("banner from memory"));
        QCOMPARE(saved.sound, (SoundChoice{false, false, false, true}));
        // Nothing was accepted: the table still holds what the file held.
        QCOMPARE(app.context.state.table().AlarmMessage[1], QStringLiteral("old"));
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
        c.table.AlarmDaily[0] = 1;
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
            QVERIFY(app.context.editor().SaveMsg().ok);
        };
        frmNotify &editor = app.context.editor();
        QCOMPARE(saves, 1);
        QCOMPARE(app.boxes.shown, QStringList{AlarmStore::ProblemText});

        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table.AlarmMessage[0], QStringLiteral("first"));
        QCOMPARE(saved.table.AlarmDaily[0], qint16(1));
        QCOMPARE(saved.table.AlarmMessage[1], QStringLiteral("second"));
        QCOMPARE(saved.table.AlarmMessage[20], QStringLiteral("lost"));
        QCOMPARE(dir.read(AlarmStore::BadCopyName), broken);
        QCOMPARE(editor.txtMessage[1]->text(), QStringLiteral("second"));
        QCOMPARE(app.context.state.EditorRow, qint16(32));
    }

    void aFailedSaveIsReportedOnce()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        app.context.store.setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
        const AlarmStore::SaveResult first = editor.SaveMsg();
        QVERIFY(!first.ok);
        QVERIFY(!editor.SaveMsg().ok);
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
        c.table.AlarmWeekly[2] = 1;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        frmNotify &editor = app.context.editor();
        // The entry fired since: the file says so.
        c.table.AlarmFired[2] = 1;
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);

        app.context.mainAlert().Timer1->stop();
        editor.show();
        QTest::keyClicks(editor.txtMessage[2], QStringLiteral(" edited"));
        QTest::keyClicks(editor.txtTimeNote[9], QStringLiteral("12:00:00"));
        click(editor.ckDaily[2]);
        click(editor.optAlert);

        editor.close();
        QVERIFY(!editor.isVisible());
        QVERIFY(app.context.mainAlert().Timer1->isActive());
        QCOMPARE(editor.txtMessage[2]->text(), QStringLiteral("weekly"));
        QVERIFY(editor.txtTimeNote[9]->text().isEmpty());
        QCOMPARE(boxesOf(editor, 2), (Boxes{0, 1, 0}));
        QCOMPARE(editor.soundButtons(), (SoundChoice{true, false, false, false}));
        QCOMPARE(app.context.state.table().AlarmFired[2], qint16(1));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    void escapeDoesNothing()
    {
        TempCurrentDir dir;
        TestApp app;
        frmNotify &editor = app.context.editor();
        app.context.mainAlert().Timer1->stop();
        editor.show();
        QTest::keyClicks(editor.txtMessage[0], QStringLiteral("kept"));
        QTest::keyClick(editor.txtMessage[0], Qt::Key_Escape);
        QTest::keyClick(editor.cmdOKnotify, Qt::Key_Escape);
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.txtMessage[0]->text(), QStringLiteral("kept"));
        QVERIFY(!app.context.mainAlert().Timer1->isActive());
        QVERIFY(!dir.exists(AlarmStore::FileName));
    }
};

QTEST_MAIN(TestFrmNotify)
#include "tst_frmnotify.moc"
