// SPDX-License-Identifier: MIT
// The sound plugin is loaded the first time a sound plays, and not before:
// the program starts without Qt Multimedia. Without the plugin only the
// beep sounds.
#include "platform/qtservices.h"
#include "support/tempdir.h"

#include <QFile>
#include <QtTest>

namespace {

const QString BuiltPlugin = QStringLiteral(TIKORA_SOUND_PLUGIN);

// Whether a file whose name contains `part` is mapped into this process.
bool mapped(const QString &part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return QString::fromLocal8Bit(maps.readAll()).contains(part);
}

} // namespace

class TestSoundPlugin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Runs first: nothing has played yet in this process.
    void nothingOfMultimediaIsMappedAtStart()
    {
        QtSoundPlayer player({BuiltPlugin});
        player.beep();
        QVERIFY(!player.backEndLoaded());
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
        QVERIFY(!mapped(QStringLiteral("tikora-sound")));
    }

    // A plugin that is missing, or a file that is no plugin, leaves the
    // program as it was: the play is silent and the plugin is not tried
    // again at the next sound.
    void withoutThePluginNothingIsLoaded()
    {
        TempCurrentDir dir;
        dir.write(QStringLiteral("not-a-plugin.so"), QByteArrayLiteral("\x7f"
                                                                       "ELF broken"));
        QtSoundPlayer player({dir.filePath(QStringLiteral("missing.so")),
                              dir.filePath(QStringLiteral("not-a-plugin.so"))});
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("no sound plugin could be loaded")));
        player.play(QStringLiteral("Alert.wav"));
        player.beep();
        player.play(QStringLiteral("Alert.wav")); // no second warning
        QVERIFY(!player.backEndLoaded());
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
    }

    // The first sound, or getting one ready ahead of an alarm, loads the
    // first plugin that loads, and Qt Multimedia with it; a file listed
    // before it that is missing is skipped.
    void theFirstSoundLoadsThePlugin()
    {
        QVERIFY2(QFile::exists(BuiltPlugin), qPrintable(BuiltPlugin));
        QtSoundPlayer player({QStringLiteral("/nonexistent/tikora-sound.so"), BuiltPlugin});
        QVERIFY(!mapped(QStringLiteral("libQt6Multimedia")));
        player.prepare(QStringLiteral("Alert.wav"));
        QVERIFY(player.backEndLoaded());
        QVERIFY(mapped(QStringLiteral("libQt6Multimedia")));
        player.play(QStringLiteral("Keyhaw.wav"));
        QVERIFY(player.backEndLoaded());
        QVERIFY(mapped(QStringLiteral("tikora-sound")));
        QVERIFY(mapped(QStringLiteral("libQt6Multimedia")));
        player.play(QStringLiteral("Missing.wav"));
        QVERIFY(player.backEndLoaded());
    }
};

QTEST_MAIN(TestSoundPlugin)
#include "tst_soundplugin.moc"
