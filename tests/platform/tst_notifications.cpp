// SPDX-License-Identifier: MIT
// The desktop notification of an alert, on a private session bus with a
// notification service of the test's own that records what it is asked and
// answers as a user on the desktop would.

#include "platform/dbusnotifications.h"
#include "store/alarmstore.h"
#include "store/openalerts.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alertwindow.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString ServicePath = QStringLiteral("/org/freedesktop/Notifications");

// What a notification service is asked, recorded; its ids start at 41, so
// they are never the program's own numbers.
class RecordingNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification
    {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = -1;
    };

    explicit RecordingNotificationService(const QDBusConnection &bus) : m_bus(bus) {}

    QList<Notification> notified;
    QList<uint> closed;

    // The user chooses an action of notification `id`.
    void invoke(uint id, const QString &key)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(ServicePath, ServiceName, QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int timeout)
    {
        notified.append({appName, replacesId, icon, summary, body, actions, hints, timeout});
        return 40 + uint(notified.size());
    }
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection m_bus;
};

// The recording service on its own connection, registered for its scope.
struct RegisteredService
{
    QDBusConnection bus;
    RecordingNotificationService service{bus};
    bool registered = false;

    explicit RegisteredService(const QDBusConnection &connection) : bus(connection)
    {
        registered = bus.registerObject(ServicePath, &service, QDBusConnection::ExportAllSlots) &&
                     bus.registerService(ServiceName);
    }
    ~RegisteredService()
    {
        bus.unregisterService(ServiceName);
        bus.unregisterObject(ServicePath);
    }
};

// The alert due now: a daily entry in slot 3, due at 09:30:00 on 03/10/09.
const QString Message = QStringLiteral("Take the <b>pills</b> & water");

// A program over that entry, its notifications sent over `bus`, and the one
// alert window its main clock's tick opened.
struct DueAlert
{
    TempCurrentDir dir;
    TestApp app;
    DBusAlertNotifications notifications;
    QPointer<AlertWindow> window;

    explicit DueAlert(const QDBusConnection &bus) : notifications(bus)
    {
        writeEntries(dir, {{3, "03/10/09", "09:30:00", 1, 0, 0, 0, Message}});
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        app.context.useNotifications(&notifications);
        app.context.alarmClock.tick(app.context.mainAlert());
        if (app.alerts.shown.size() == 1)
            window = app.alerts.shown.first();
    }
};

} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT

    QProcess m_busDaemon;
    QString m_address;
    int m_connections = 0;

    QDBusConnection connect(const QString &address)
    {
        const QDBusConnection bus =
            QDBusConnection::connectToBus(address, QStringLiteral("bus%1").arg(++m_connections));
        return bus;
    }

Q_SIGNALS:
    void seen();

public Q_SLOTS:
    void see() { Q_EMIT seen(); }

private Q_SLOTS:
    void initTestCase()
    {
        m_busDaemon.start(QStringLiteral("dbus-daemon"),
                          {QStringLiteral("--session"), QStringLiteral("--print-address"),
                           QStringLiteral("--nofork")});
        QVERIFY2(m_busDaemon.waitForStarted(), "dbus-daemon (scripts/setup.sh installs it)");
        while (!m_busDaemon.canReadLine() && m_busDaemon.waitForReadyRead(10000)) {
        }
        m_address = QString::fromUtf8(m_busDaemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
    }

    void cleanupTestCase()
    {
        m_busDaemon.terminate();
        m_busDaemon.waitForFinished();
    }

    // The alert's notification carries its message and both actions, and
    // goes when the window's OK acknowledges the alert.
    void notifiedAtAlertClosedAtAcknowledge()
    {
        RegisteredService registered(connect(m_address));
        QVERIFY(registered.registered);
        RecordingNotificationService &service = registered.service;
        DueAlert t(connect(m_address));
        QVERIFY(t.window);
        QTRY_COMPARE(service.notified.size(), 1);
        const RecordingNotificationService::Notification &shown = service.notified.first();
        QCOMPARE(shown.appName, QStringLiteral("Tikora"));
        QCOMPARE(shown.icon, QStringLiteral("org.example.Tikora"));
        QCOMPARE(shown.summary, Message);
        QCOMPARE(shown.actions, (QStringList{"default", "OK", "snooze", "Snooze 5 minutes"}));
        QCOMPARE(shown.hints.value(QStringLiteral("urgency")).metaType(),
                 QMetaType::fromType<uchar>());
        QCOMPARE(shown.hints.value(QStringLiteral("urgency")).value<uchar>(), uchar(2));
        QCOMPARE(shown.timeout, 0);
        QVERIFY(service.closed.isEmpty());

        click(control<QPushButton>(*t.window, "cmdOK"));
        QTRY_COMPARE(service.closed, QList<uint>{41});
        QCOMPARE(readContents(t.dir).table[3].date, QStringLiteral("03/11/09"));
    }

    // Acknowledged before the service answered: the notification is closed
    // once its id is known.
    void acknowledgedBeforeTheServiceAnswered()
    {
        RegisteredService registered(connect(m_address));
        QVERIFY(registered.registered);
        RecordingNotificationService &service = registered.service;
        DueAlert t(connect(m_address));
        QVERIFY(t.window);
        click(control<QPushButton>(*t.window, "cmdOK"));
        QTRY_COMPARE(service.closed, QList<uint>{41});
        QCOMPARE(service.notified.size(), 1);
    }

    // The notification's OK acknowledges as the window's OK does: the entry
    // moves on in the file, the alert leaves the record, the window goes.
    void theDefaultActionAcknowledges()
    {
        RegisteredService registered(connect(m_address));
        QVERIFY(registered.registered);
        RecordingNotificationService &service = registered.service;
        QDBusConnection &serviceBus = registered.bus;
        QDBusConnection programBus = connect(m_address);
        DueAlert t(programBus);
        QVERIFY(t.window);
        QTRY_COMPARE(service.notified.size(), 1);
        QCOMPARE(readContents(t.dir).table[3].fired, qint16(1));

        // Another program's signal of the same name is not the service's:
        // sent and routed (the bus answers that program's call after it)
        // before the service's own signal, which the test sees on the
        // program's connection once the program has handled the forged one.
        QDBusConnection otherBus = connect(m_address);
        QDBusMessage forged =
            QDBusMessage::createSignal(ServicePath, ServiceName, QStringLiteral("ActionInvoked"));
        forged << uint(41) << QStringLiteral("default");
        QVERIFY(otherBus.send(forged));
        QVERIFY(otherBus.interface()->isServiceRegistered(ServiceName).value());
        service.invoke(41, QStringLiteral("no such action"));
        QSignalSpy closedElsewhere(this, &TestNotifications::seen);
        QVERIFY(programBus.connect(QString(), ServicePath, ServiceName,
                                   QStringLiteral("NotificationClosed"), this, SLOT(see())));
        QDBusMessage closed = QDBusMessage::createSignal(ServicePath, ServiceName,
                                                         QStringLiteral("NotificationClosed"));
        closed << uint(999) << uint(2);
        QVERIFY(serviceBus.send(closed));
        QVERIFY(closedElsewhere.wait(10000));
        QVERIFY(t.window && t.window->isVisible());
        QCOMPARE(readContents(t.dir).table[3].fired, qint16(1));

        service.invoke(41, QStringLiteral("default"));
        QTRY_VERIFY(!t.window);
        const FileContents after = readContents(t.dir);
        QCOMPARE(after.table[3].date, QStringLiteral("03/11/09"));
        QCOMPARE(after.table[3].fired, qint16(0));
        QString problem;
        const auto record = OpenAlerts::decode(t.dir.read(OpenAlerts::FileName), problem);
        QVERIFY2(record, qPrintable(problem));
        QVERIFY(record->isEmpty());
    }

    // The notification's "Snooze 5 minutes" snoozes the alert: the window
    // goes, the file stays as it is, the record names the instant.
    void theSnoozeActionSnoozes()
    {
        RegisteredService registered(connect(m_address));
        QVERIFY(registered.registered);
        RecordingNotificationService &service = registered.service;
        DueAlert t(connect(m_address));
        QVERIFY(t.window);
        QTRY_COMPARE(service.notified.size(), 1);
        const QByteArray fileAtAlert = t.dir.read(AlarmStore::FileName);

        service.invoke(41, QStringLiteral("snooze"));
        QTRY_VERIFY(!t.window);
        QCOMPARE(t.dir.read(AlarmStore::FileName), fileAtAlert);
        QString problem;
        const auto record = OpenAlerts::decode(t.dir.read(OpenAlerts::FileName), problem);
        QVERIFY2(record, qPrintable(problem));
        QCOMPARE(record->size(), 1);
        QCOMPARE(record->first().snoozedUntil.toLocalTime(),
                 QDateTime(QDate(2009, 3, 10), QTime(9, 35)));
        // Chosen, it is gone on the desktop: nothing is closed.
        QVERIFY(service.closed.isEmpty());
    }

    // No notification service on the bus, or no bus: the alert is as it
    // always was, and nothing waits.
    void withoutAServiceNothingChanges_data()
    {
        QTest::addColumn<bool>("bus");
        QTest::newRow("bus without the service") << true;
        QTest::newRow("no bus") << false;
    }
    void withoutAServiceNothingChanges()
    {
        QFETCH(bool, bus);
        DueAlert t(connect(bus ? m_address : QStringLiteral("unix:path=/nonexistent/bus")));
        QVERIFY(t.window);
        QVERIFY(t.window->isVisible());
        QCOMPARE(t.window->message(), Message);
        QCOMPARE(t.app.sound.calls, (QStringList{"beep", "play checkmsgs.wav"}));
        click(control<QPushButton>(*t.window, "cmdOK"));
        QVERIFY(t.window->isHidden());
        QCOMPARE(readContents(t.dir).table[3].date, QStringLiteral("03/11/09"));
    }

    void anEnvironmentVariableTurnsThemOff_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("off");
        QTest::newRow("unset") << QByteArray() << false;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("yes") << QByteArray("yes") << true;
    }
    void anEnvironmentVariableTurnsThemOff()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, off);
        if (value.isNull())
            qunsetenv("TIKORA_NO_NOTIFICATIONS");
        else
            qputenv("TIKORA_NO_NOTIFICATIONS", value);
        QCOMPARE(DesktopNotifications::turnedOff(), off);
        qunsetenv("TIKORA_NO_NOTIFICATIONS");
    }
};

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
