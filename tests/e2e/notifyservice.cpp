// SPDX-License-Identifier: MIT
// A desktop notification service for the end-to-end test: it owns
// org.freedesktop.Notifications on the session bus it is given, writes
// every call it gets as one line on standard output, and takes commands on
// standard input: "invoke ID KEY" sends ActionInvoked, as a user choosing an
// action on the desktop would. Its ids start at 41.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

namespace {

const QString Name = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

class Service : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &bus) override
    {
        const QList<QVariant> a = message.arguments();
        if (message.member() == u"Notify" && a.size() == 8) {
            // A dictionary reaches a virtual object still marshalled.
            const QVariantMap hints = qdbus_cast<QVariantMap>(a.at(6));
            const QVariant urgency = hints.value(QStringLiteral("urgency"));
            say(QStringLiteral("Notify %1 app=%2 icon=%3 summary=%4 actions=%5 urgency=%6 "
                               "timeout=%7")
                    .arg(m_next)
                    .arg(a.at(0).toString(), a.at(2).toString(), a.at(3).toString(),
                         a.at(5).toStringList().join(u','),
                         urgency.metaType() == QMetaType::fromType<uchar>()
                             ? QString::number(urgency.value<uchar>())
                             : QStringLiteral("not-a-byte"))
                    .arg(a.at(7).toInt()));
            bus.send(message.createReply(QVariant::fromValue(m_next++)));
            return true;
        }
        if (message.member() == u"CloseNotification" && a.size() == 1) {
            say(QStringLiteral("CloseNotification %1").arg(a.at(0).toUInt()));
            bus.send(message.createReply());
            return true;
        }
        if (message.member() == u"GetCapabilities") {
            bus.send(message.createReply(QStringList{"actions", "body"}));
            return true;
        }
        return false;
    }

private:
    uint m_next = 41;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Service service;
    if (!bus.isConnected() || !bus.registerVirtualObject(Path, &service) ||
        !bus.registerService(Name)) {
        say(QStringLiteral("cannot serve on the session bus"));
        return 1;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) {
            QCoreApplication::quit();
            return;
        }
        const QStringList words = QString::fromUtf8(line).simplified().split(u' ');
        if (words.size() == 3 && words.at(0) == u"invoke") {
            QDBusMessage signal =
                QDBusMessage::createSignal(Path, Name, QStringLiteral("ActionInvoked"));
            signal << words.at(1).toUInt() << words.at(2);
            bus.send(signal);
            say(QStringLiteral("invoked %1 %2").arg(words.at(1), words.at(2)));
        }
    });
    say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}
