// SPDX-License-Identifier: MIT
#include "platform/soundlookup.h"
#include "support/tempdir.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

namespace {

const QStringList DefaultSounds = {QStringLiteral("checkmsgs.wav"), QStringLiteral("Alert.wav"),
                                   QStringLiteral("Keytry.wav"), QStringLiteral("Keyhaw.wav")};

quint16 u16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

class TestSoundLookup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCurrentDirectoryComesFirst()
    {
        TempCurrentDir dir;
        // This test program has no sounds folder beside it: the built-in
        // default is found.
        QCOMPARE(SoundLookup::find(QStringLiteral("Alert.wav")),
                 QUrl(QStringLiteral("qrc:/sounds/Alert.wav")));
        dir.write(QStringLiteral("Alert.wav"), QByteArrayLiteral("RIFF"));
        QCOMPARE(SoundLookup::find(QStringLiteral("Alert.wav")),
                 QUrl::fromLocalFile(dir.filePath(QStringLiteral("Alert.wav"))));
        // Only that name moves; the others are still the defaults.
        QCOMPARE(SoundLookup::find(QStringLiteral("Keyhaw.wav")),
                 QUrl(QStringLiteral("qrc:/sounds/Keyhaw.wav")));
    }

    void otherNamesFindNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("Missing.wav");
        QTest::newRow("empty") << QString();
        QTest::newRow("with a folder") << QStringLiteral("sounds/Alert.wav");
        QTest::newRow("with a backslash") << QStringLiteral("..\\Alert.wav");
    }

    void otherNamesFindNothing()
    {
        QFETCH(QString, name);
        TempCurrentDir dir;
        QVERIFY(SoundLookup::find(name).isEmpty());
    }

    // Each default is a short 16-bit PCM mono wave, the kind the sound
    // back end decodes, and is also copied beside the built program.
    void theDefaultsArePlayableWaves_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : DefaultSounds)
            QTest::newRow(qPrintable(name)) << name;
    }

    void theDefaultsArePlayableWaves()
    {
        QFETCH(QString, name);
        QFile builtIn(QStringLiteral(":/sounds/") + name);
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        const QByteArray wave = builtIn.readAll();
        QVERIFY(wave.size() > 44);
        QCOMPARE(wave.left(4), QByteArrayLiteral("RIFF"));
        QCOMPARE(wave.mid(8, 8), QByteArrayLiteral("WAVEfmt "));
        QCOMPARE(u16(wave, 20), quint16(1));  // PCM
        QCOMPARE(u16(wave, 22), quint16(1));  // mono
        QCOMPARE(u16(wave, 34), quint16(16)); // bits per sample
        QCOMPARE(wave.mid(36, 4), QByteArrayLiteral("data"));
        const double seconds = double(u32(wave, 40)) / u32(wave, 28);
        QVERIFY2(seconds > 0.1 && seconds < 2.0, qPrintable(QString::number(seconds)));

        QFile copied(QStringLiteral(TIKORA_BUILD_DIR "/sounds/") + name);
        QVERIFY(copied.open(QIODevice::ReadOnly));
        QCOMPARE(copied.readAll(), wave);
    }
};

QTEST_GUILESS_MAIN(TestSoundLookup)
#include "tst_soundlookup.moc"
