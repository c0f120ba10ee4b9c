// SPDX-License-Identifier: MIT
// QPixmapCache::totalUsed(), to see what acknowledged alerts leave behind.
#define Q_TEST_QPIXMAPCACHE
#include "store/datafile.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QDate Today(2009, 3, 10);

// Entries due on 03/10/09 at 09:30:00, with the given messages.
FileContents withEntries(std::initializer_list<std::pair<int, QString>> messagesBySlot)
{
    FileContents c = contentsWith({});
    for (const auto &[slot, message] : messagesBySlot)
        setEntry(c, {slot, "03/10/09", "09:30:00", 0, 0, 0, 0, message});
    return c;
}

// What the pixmap cache holds, in KB. QPixmapCache::totalUsed() tells it in
// whole MB only; the smallest filler pixmap that takes it to the next MB
// tells the rest.
int pixmapCacheKB()
{
    const int mb = QPixmapCache::totalUsed();
    int low = 1, high = 1024;
    while (low < high) {
        const int kb = (low + high) / 2;
        QPixmap filler(kb * 256, 1);
        if (filler.depth() != 32)
            qFatal("the filler pixmap is not 32 bits deep");
        const QPixmapCache::Key key = QPixmapCache::insert(filler);
        const bool crossed = QPixmapCache::totalUsed() > mb;
        QPixmapCache::remove(key);
        if (crossed)
            high = kb;
        else
            low = kb + 1;
    }
    return 1024 * mb - low + 1;
}

} // namespace

class TestFiring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoDueSlotsOpenTwoWindowsInSlotOrder()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName,
                  DataFile::encode(withEntries({{6, "second"}, {1, "first"}})));
        app.context.mainAlert().tick();

        QCOMPARE(app.alerts.messages(), (QStringList{"first", "second"}));
        for (const QPointer<AlertWindow> &window : app.alerts.shown) {
            QVERIFY(window->isVisible());
            QVERIFY(window->windowTitle().isEmpty());
            QVERIFY(window->clockTimer->isActive());
        }
        QCOMPARE(app.sound.calls,
                 (QStringList{"beep", "play checkmsgs.wav", "beep", "play checkmsgs.wav"}));
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[6].fired, qint16(1));

        // Fired entries do not fire again.
        app.clock.advanceSeconds(1);
        app.context.mainAlert().tick();
        QCOMPARE(app.alerts.shown.size(), 2);
    }

    void theChosenSoundPlays_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Alert1") << "optAlert" << QStringList{"beep", "play Alert.wav"};
        QTest::newRow("Alert2") << "optDive" << QStringList{"beep", "play Keytry.wav"};
        QTest::newRow("Alert3") << "OptAlarm" << QStringList{"beep", "play Keyhaw.wav"};
        QTest::newRow("none") << "" << QStringList{};
    }

    void theChosenSoundPlays()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, calls);
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        FileContents c = withEntries({{0, "wake"}});
        c.sound = {false, false, false, false};
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        if (!option.isEmpty())
            editor.findChild<QRadioButton *>(option)->click();

        app.context.mainAlert().tick();
        QCOMPARE(app.alerts.messages(), QStringList{"wake"});
        QCOMPARE(app.sound.calls, calls);
    }

    void heldBackWhileTheEditorIsVisible()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({{3, "later"}})));
        AlertWindow &main = app.context.mainAlert();
        AlarmEditor &editor = app.context.editor();
        const QByteArray before = dir.read(AlarmStore::FileName);

        editor.show();
        main.tick();
        QVERIFY(app.alerts.shown.isEmpty());
        QVERIFY(app.sound.calls.isEmpty());
        QCOMPARE(app.context.state.table()[3].fired, qint16(0));
        QCOMPARE(dir.read(AlarmStore::FileName), before);

        editor.hide();
        main.tick();
        QCOMPARE(app.alerts.messages(), QStringList{"later"});
    }

    void heldBackWhileAboutIsVisible()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({{3, "later"}})));
        AlertWindow &main = app.context.mainAlert();
        int ticksInside = 0;
        app.modal.whileOpen = [&](QDialog &) {
            main.tick();
            ++ticksInside;
        };
        app.context.showAbout(AppContext::FromAlertWindow);
        QCOMPARE(ticksInside, 1);
        QVERIFY(app.alerts.shown.isEmpty());
        QVERIFY(app.sound.calls.isEmpty());

        main.tick();
        QCOMPARE(app.alerts.messages(), QStringList{"later"});
    }

    // With every save failing, memory holds the fired flag: the entry fires
    // once, and the user hears of the failure once.
    void whileSavesFailAnEntryFiresOnce()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({{0, "once"}})));
        const QByteArray before = dir.read(AlarmStore::FileName);
        app.context.store.setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
        AlertWindow &main = app.context.mainAlert();
        for (int tick = 0; tick < 6; ++tick) {
            main.tick();
            app.clock.advanceMSecs(500);
        }
        QCOMPARE(app.alerts.messages(), QStringList{"once"});
        QCOMPARE(app.problems.reported,
                 QStringList{"Tikor.dat could not be saved: No space left on device"});
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    // The new window's load finds the file damaged and shows the problem box;
    // another window ticks inside it. The alarm that was being raised still
    // completes its own slot, and the tick inside does not raise it again.
    void aProblemBoxInsideFiringStillCompletesTheRightSlot()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        const QByteArray whole = DataFile::encode(withEntries({{2, "two"}, {5, "five"}}));
        dir.write(AlarmStore::FileName, whole);
        AlertWindow &main = app.context.mainAlert();
        app.context.editor();
        AlertWindow other(app.context, AlertWindow::Main);

        // The tick reads the clock after its load: damage the file then.
        bool damaged = false;
        app.clock.onRead = [&] {
            if (!std::exchange(damaged, true))
                dir.write(AlarmStore::FileName, whole.left(whole.size() - 40));
        };
        app.boxes.whileOpen = [&](const QString &) { other.tick(); };
        main.tick();

        QCOMPARE(app.boxes.shown.size(), 1);
        QCOMPARE(app.alerts.messages(), (QStringList{"five", "two"}));
        QCOMPARE(app.sound.calls.size(), 4);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[2].fired, qint16(1));
        QCOMPARE(saved.table[5].fired, qint16(1));
        QCOMPARE(saved.table[5].message, QStringLiteral("five"));
    }

    void anyMessageIsShownAsPlainText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QString();
        QTest::newRow("markup") << "<b>bold</b> <img src=x> &amp;";
        QTest::newRow("very long") << QString(10000, u'x');
    }

    void anyMessageIsShownAsPlainText()
    {
        QFETCH(QString, message);
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({{0, message}})));
        app.context.mainAlert().tick();
        QCOMPARE(app.alerts.shown.size(), 1);
        const AlertWindow &window = *app.alerts.shown.first();
        QCOMPARE(window.messageLabel->textFormat(), Qt::PlainText);
        QCOMPARE(window.messageLabel->text(), message);
        app.context.showMainAlert();
        QCOMPARE(window.size(), app.context.mainAlert().size());
    }

    // Inch marks: a quote followed by a comma inside a message. The start-up
    // press and the tick read the file whole: no problem box, the whole text
    // in the alert, and the entry after it kept.
    void aMessageWithInchMarksFiresWhole()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        const QString inches = QStringLiteral("shelf 30\", wall 40\"");
        FileContents c = withEntries({{1, inches}});
        setEntry(c, {2, "03/11/09", "07:00:00", 0, 1, 0, 0, "later"});
        dir.write(AlarmStore::FileName, DataFile::encode(c));

        app.context.editor().acceptButton->click();
        app.context.mainAlert().tick();

        QVERIFY(app.boxes.shown.isEmpty());
        QCOMPARE(app.alerts.messages(), QStringList{inches});
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].message, inches);
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[2].message, QStringLiteral("later"));
        QCOMPARE(saved.table[2].weekly, qint16(1));
        QCOMPARE(saved.table[2].fired, qint16(0));
    }

    // Alerts fired, drawn and acknowledged, by OK and by the close box,
    // alone and several at once, a few hundred times: afterwards the program
    // has the windows it had before, and no more widgets, objects or cached
    // pictures than after the first few rounds (each window drawing its
    // button anew into the style's cache would grow it by one per alert).
    void acknowledgedAlertsLeaveNothingBehind()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 0));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({})));
        AlertWindow &main = app.context.mainAlert();
        app.context.editor();
        main.tick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const qsizetype before = QApplication::topLevelWidgets().size();

        const int warmUpRounds = 8;
        int cacheKB = 0;
        qsizetype widgets = 0, appChildren = 0;
        int fired = 0;
        for (int round = 0; round < 160; ++round) {
            if (round == warmUpRounds) {
                cacheKB = pixmapCacheKB();
                widgets = QApplication::allWidgets().size();
                appChildren = qApp->children().size();
            }
            FileContents c = contentsWith({});
            const QString time = app.clock.localNow().time().addSecs(1).toString(u"HH:mm:ss");
            for (int slot = 0; slot <= round % 4; ++slot)
                setEntry(c, {slot, "03/10/09", time, 1});
            dir.write(AlarmStore::FileName, DataFile::encode(c));
            app.clock.advanceSeconds(1);
            main.tick();
            fired += int(app.alerts.shown.size());
            for (const QPointer<AlertWindow> &window : std::as_const(app.alerts.shown)) {
                if (window && window->isVisible()) {
                    QVERIFY(!window->grab().isNull()); // drawn as on the screen
                    if (round % 2)
                        window->close();
                    else
                        QTest::mouseClick(window->okButton, Qt::LeftButton);
                }
            }
            app.alerts.shown.clear();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(fired, 400); // 1 to 4 at once, forty times each
        QCOMPARE(QApplication::topLevelWidgets().size(), before);
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(qApp->children().size(), appChildren);
        QCOMPARE(pixmapCacheKB(), cacheKB);
    }
};

QTEST_MAIN(TestFiring)
#include "tst_firing.moc"
