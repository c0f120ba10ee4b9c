// SPDX-License-Identifier: MIT
// The hand-over on the session bus (Qt D-Bus).
#include "platform/handover.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QObject>

#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace HandOver {

namespace {

const QString ObjectPath = QStringLiteral("/org/example/Tikora");
const QString Interface = QStringLiteral("org.example.Tikora.RunningCopy");
const QString ServiceConnection = QStringLiteral("tikora-running-copy");
const QString AskingConnection = QStringLiteral("tikora-later-start");
// What a call to a name that has no owner gets: from the bus, or from Qt,
// which may look the owner up first.
const QString ServiceUnknown = QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
const QString NameHasNoOwner = QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");

// How long a later start keeps asking while the folder's name has no owner:
// the copy holding the folder may still be connecting to the bus.
constexpr int StartingCopyMs = 2000;
constexpr std::chrono::milliseconds RetryStep(100);

// The object on the bus; every method answers (i exit code, s text).
class BusObject : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Tikora.RunningCopy")

public:
    explicit BusObject(Requests &requests) : m_requests(requests) {}

public Q_SLOTS:
    int Show(QString &text)
    {
        return answer(text, [this] { return m_requests.show(); });
    }
    int Add(const QString &date, const QString &time, const QString &message, const QString &repeat,
            QString &text)
    {
        return answer(text, [&] { return m_requests.add(date, time, message, repeat); });
    }
    int List(QString &text)
    {
        return answer(text, [this] { return m_requests.list(); });
    }

private:
    template <typename F> int answer(QString &text, F &&request)
    {
        if (!fromThisUser()) {
            sendErrorReply(QDBusError::AccessDenied,
                           QStringLiteral("Tikora answers its own user only."));
            return 1;
        }
        const Reply reply = request();
        text = reply.text;
        return reply.exitCode;
    }

    // The session bus lets only its user in; should it let in another all
    // the same, that caller is refused. The bus tells both users; a bus that
    // cannot tell them hands nothing over.
    bool fromThisUser() const
    {
        const QDBusConnectionInterface *bus = connection().interface();
        const QDBusReply<uint> caller = bus->serviceUid(message().service());
        const QDBusReply<uint> self = bus->serviceUid(connection().baseService());
        return caller.isValid() && self.isValid() && caller.value() == self.value();
    }

    Requests &m_requests;
};

} // namespace

struct Service::Private
{
    std::mutex mutex;
    QObject *object = nullptr; // none once the Service has gone
};

namespace {

// Once the bus has answered, on the thread that connected.
void publish(QObject *object, const QStringList &folders)
{
    QDBusConnection bus(ServiceConnection);
    if (!bus.registerObject(ObjectPath, object, QDBusConnection::ExportAllSlots))
        return;
    for (const QString &folder : folders) {
        // Asked without waiting for the bus's answer: the program goes on.
        QDBusMessage request = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
        constexpr uint DoNotQueue = 4;
        request << busName(folder) << DoNotQueue;
        bus.asyncCall(request);
    }
}

} // namespace

Service::Service(Requests &requests)
    : d(std::make_shared<Private>()), m_object(std::make_unique<BusObject>(requests))
{
    d->object = m_object.get();
}

Service::~Service()
{
    const std::lock_guard<std::mutex> lock(d->mutex);
    d->object = nullptr;
    QDBusConnection bus(ServiceConnection);
    if (bus.isConnected())
        bus.unregisterObject(ObjectPath);
}

void Service::start(const QStringList &folders)
{
    if (folders.isEmpty())
        return;
    // Connecting waits for the bus, for ever if it never answers: on a
    // thread of its own, which hands the rest to the main thread.
    std::thread([shared = d, folders] {
        if (!QDBusConnection::connectToBus(QDBusConnection::SessionBus, ServiceConnection)
                 .isConnected())
            return;
        // The names are taken here, before the main thread has reached its
        // loop: a later start that calls meanwhile waits for its answer
        // (Qt hands the call to the object's own thread) instead of finding
        // no one. The lock keeps the object from going in between.
        const std::lock_guard<std::mutex> lock(shared->mutex);
        if (QObject *object = shared->object)
            publish(object, folders);
    }).detach();
}

Answer ask(const QString &folder, Request request, const QStringList &arguments, int waitMs)
{
    const QString method = request == Request::Show  ? QStringLiteral("Show")
                           : request == Request::Add ? QStringLiteral("Add")
                                                     : QStringLiteral("List");
    const auto started = std::chrono::steady_clock::now();
    auto promise = std::make_shared<std::promise<Answer>>();
    std::future<Answer> future = promise->get_future();
    std::thread asking([promise, name = busName(folder), method, arguments, waitMs, started] {
        using namespace std::chrono;
        Answer answer;
        const QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, AskingConnection);
        if (bus.isConnected()) {
            QDBusMessage call = QDBusMessage::createMethodCall(name, ObjectPath, Interface, method);
            call.setArguments({arguments.begin(), arguments.end()});
            // No copy under that name: nothing is to be started in its place.
            call.setAutoStartService(false);
            const auto end = started + milliseconds(waitMs);
            const auto lastTry = started + milliseconds(std::min(waitMs, StartingCopyMs));
            for (;;) {
                const int left =
                    int(duration_cast<milliseconds>(end - steady_clock::now()).count());
                const QDBusMessage reply = bus.call(call, QDBus::Block, std::max(left, 1));
                const QVariantList values = reply.arguments();
                if (reply.type() == QDBusMessage::ReplyMessage && values.size() == 2) {
                    answer.answered = true;
                    answer.reply.exitCode = values.at(0).toInt();
                    answer.reply.text = values.at(1).toString();
                    break;
                }
                // A copy that has just started holds the folder a moment
                // before its name is on the bus.
                const bool noOwnerYet =
                    reply.type() == QDBusMessage::ErrorMessage &&
                    (reply.errorName() == ServiceUnknown || reply.errorName() == NameHasNoOwner);
                if (!noOwnerYet || steady_clock::now() + RetryStep >= lastTry)
                    break;
                std::this_thread::sleep_for(RetryStep);
            }
        }
        promise->set_value(answer);
    });
    // The call has its own timeout; connecting has none.
    const auto deadline = started + std::chrono::milliseconds(waitMs + 500);
    if (future.wait_until(deadline) != std::future_status::ready) {
        asking.detach();
        Answer stuck;
        stuck.stuck = true;
        return stuck;
    }
    asking.join();
    QDBusConnection::disconnectFromBus(AskingConnection);
    return future.get();
}

} // namespace HandOver

#include "handover_dbus.moc"
