// SPDX-License-Identifier: MIT
// QPixmapCache::totalUsed(), to see what acknowledged alerts leave behind.
#define Q_TEST_QPIXMAPCACHE
#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
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
    void heldBackWhileTheEditorOrAboutIsVisible_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("editor") << false;
        QTest::newRow("About") << true;
    }

    void heldBackWhileTheEditorOrAboutIsVisible()
    {
        QFETCH(bool, about);
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 30));
        dir.write(AlarmStore::FileName, DataFile::encode(withEntries({{3, "later"}})));
        AlertWindow &main = app.context.mainAlert();
        int ticksInside = 0;
        app.modal.whileOpen = [&](QDialog &) {
            app.context.alarmClock.tick(main);
            ++ticksInside;
        };
        if (about)
            app.context.commands.showAbout(MenuCommands::FromAlertWindow);
        else
            app.modal.exec(app.context.editor());
        QCOMPARE(ticksInside, 1);
        QVERIFY(app.alerts.shown.isEmpty());
        QVERIFY(app.sound.calls.isEmpty());

        app.context.alarmClock.tick(main);
        QCOMPARE(app.alerts.messages(), QStringList{"later"});
    }

    // A further window for each alert, shown with its own clock and no
    // title, its message as plain text, whatever the text.
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
        app.context.alarmClock.tick(app.context.mainAlert());
        QCOMPARE(app.alerts.shown.size(), 1);
        const AlertWindow &window = *app.alerts.shown.first();
        QVERIFY(window.isVisible());
        QVERIFY(window.windowTitle().isEmpty());
        QVERIFY(app.context.alarmClock.running(window));
        QCOMPARE(control<QLabel>(window, "LbMessage")->textFormat(), Qt::PlainText);
        QCOMPARE(window.message(), message);
        app.context.commands.showMainAlert();
        QCOMPARE(window.size(), app.context.mainAlert().size());
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
        app.context.alarmClock.tick(main);
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
            app.context.alarmClock.tick(main);
            fired += int(app.alerts.shown.size());
            for (const QPointer<AlertWindow> &window : std::as_const(app.alerts.shown)) {
                if (window && window->isVisible()) {
                    QVERIFY(!window->grab().isNull()); // drawn as on the screen
                    if (round % 2)
                        window->close();
                    else
                        click(control<QPushButton>(*window, "cmdOK"));
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
