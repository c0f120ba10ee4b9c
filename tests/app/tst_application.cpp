// SPDX-License-Identifier: MIT
#include "app/application.h"

#include <QEvent>
#include <QtTest>

#include <stdexcept>

namespace {

// An object whose every event handler fails.
class Failing : public QObject
{
public:
    bool event(QEvent *) override { throw std::runtime_error("the disk caught fire"); }
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFailureInAnEventHandlerReachesTheTop()
    {
        auto *app = static_cast<TikoraApplication *>(QCoreApplication::instance());
        QStringList failures;
        app->onFailure = [&](const QString &what) { failures.append(what); };
        Failing failing;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&failing, &event));
        QCOMPARE(failures, QStringList{"the disk caught fire"});

        // Posted events go through the same door.
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&failing, QEvent::User);
        QCOMPARE(failures.size(), 2);
        app->onFailure = nullptr;
    }
};

int main(int argc, char *argv[])
{
    TikoraApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
