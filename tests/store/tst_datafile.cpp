// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "store/win1252.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(SoundChoice)

namespace {

QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Win1252::encode(line) + "\r\n";
    return bytes;
}

// The lines of a whole file of cleared slots, with the given sound line.
QStringList
clearedLines(const QString &soundLine = QStringLiteral("#TRUE#,#FALSE#,#FALSE#,#FALSE#"))
{
    QStringList lines{QStringLiteral("\"B1\""), QStringLiteral("\"B2\""), soundLine};
    for (int slot = 0; slot < SlotCount; ++slot)
        lines << QStringLiteral("\"\"") << QStringLiteral("\"\"") << QStringLiteral("\"\"")
              << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
              << QStringLiteral("1");
    return lines;
}

// Contents that differ from a cleared table in every field.
FileContents marked()
{
    FileContents c;
    c.banner1 = QStringLiteral("old 1");
    c.banner2 = QStringLiteral("old 2");
    c.sound = {false, false, false, true};
    for (int s = 0; s < SlotCount; ++s) {
        c.table[s].date = QStringLiteral("old date");
        c.table[s].message = QStringLiteral("old message");
        c.table[s].time = QStringLiteral("old time");
        c.table[s].repeat.daily = 7;
        c.table[s].repeat.weekly = 7;
        c.table[s].repeat.monthly = 7;
        c.table[s].fired = 7;
    }
    return c;
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheExactBytes()
    {
        FileContents c;
        c.banner1 = DefaultBanner1;
        c.banner2 = DefaultBanner2;
        c.sound = {false, false, true, false};
        c.table[0].date = QStringLiteral("03/17/09");
        c.table[0].message = QStringLiteral("Team meeting, room 4");
        c.table[0].time = QStringLiteral("09:30:00");
        c.table[0].repeat.weekly = 1;
        c.table[0].fired = 0;
        c.table[5].date = QStringLiteral("12/31/26");
        c.table[5].message = QStringLiteral(" Caf\u00e9 \u20ac 5 ");
        c.table[5].repeat.daily = 1;

        QFile expected(QStringLiteral(TIKORA_TEST_DATA "/example.dat"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QByteArray bytes = DataFile::encode(c);
        QCOMPARE(bytes, expected.readAll());
        QCOMPARE(bytes.count("\r\n"), DataFile::LineCount);

        FileContents back;
        QVERIFY(DataFile::decode(bytes, back));
        QCOMPARE(back, c);
    }

    void roundTripsEveryKindOfText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("commas") << QStringLiteral("a, b,,c,");
        QTest::newRow("outer spaces") << QStringLiteral("  padded  ");
        QTest::newRow("spaces only") << QStringLiteral("   ");
        QTest::newRow("hash words") << QStringLiteral("#TRUE#");
        QTest::newRow("quote inside") << QStringLiteral("say \"hi\" now");
        QTest::newRow("quote and comma") << QStringLiteral("he said \"x\",y");
        QTest::newRow("quoted whole") << QStringLiteral("\"hi\"");
        QTest::newRow("latin") << QStringLiteral("\u00e0\u00e9\u00ee\u00f5\u00fc \u00a3\u00ff");
        QTest::newRow("markup") << QStringLiteral("<b>bold</b> & <i>");
    }

    void roundTripsEveryKindOfText()
    {
        QFETCH(QString, text);
        FileContents c;
        c.banner1 = text;
        for (int s = 0; s < SlotCount; ++s) {
            c.table[s].date = text;
            c.table[s].message = text + QString::number(s);
            c.table[s].time = text;
            c.table[s].repeat.daily = static_cast<qint16>(s % 3);
            c.table[s].repeat.monthly = static_cast<qint16>(-s);
            c.table[s].fired = static_cast<qint16>(s % 2);
        }
        FileContents back = marked();
        QVERIFY(DataFile::decode(DataFile::encode(c), back));
        QCOMPARE(back, c);
    }

    void storesWhatTheCharacterSetCannotHoldAsQuestionMarks()
    {
        FileContents c;
        c.table[0].message = QStringLiteral("\u4e2d x \U0001F600");
        FileContents back;
        QVERIFY(DataFile::decode(DataFile::encode(c), back));
        QCOMPARE(back.table[0].message, QStringLiteral("? x ?"));
    }

    // Slot 0's date and message lines are replaced by `lines` (one line in
    // place of two shifts every later field by one).
    void readsFieldsByTheFileRules_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("dailyLine");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("time");
        QTest::addColumn<qint16>("daily");
        QTest::addColumn<bool>("complete");

        const QString q = QStringLiteral("\"\"");
        QTest::newRow("plain") << QStringList{"\"d\"", "\"m\""} << "0"
                               << "d"
                               << "m"
                               << "" << qint16(0) << true;
        QTest::newRow("spaces around fields") << QStringList{"   \"d\"  ", q} << "  3 "
                                              << "d"
                                              << ""
                                              << "" << qint16(3) << true;
        QTest::newRow("negative integer") << QStringList{q, q} << "-2"
                                          << ""
                                          << ""
                                          << "" << qint16(-2) << true;
        QTest::newRow("smallest integer") << QStringList{q, q} << "-32768"
                                          << ""
                                          << ""
                                          << "" << qint16(-32768) << true;
        QTest::newRow("largest integer") << QStringList{q, q} << "32767"
                                         << ""
                                         << ""
                                         << "" << qint16(32767) << true;
        // In a file of the writer's shape a text line is everything between
        // its first and last quote.
        QTest::newRow("quotes and commas inside") << QStringList{"\"a\",\"b\"", "\"x\", y\""} << "0"
                                                  << "a\",\"b"
                                                  << "x\", y"
                                                  << "" << qint16(0) << true;
        // A file made by hand in another shape reads field by field.
        QTest::newRow("two fields on one line") << QStringList{"\"a\",\"b\""} << "0"
                                                << "a"
                                                << "b"
                                                << "" << qint16(0) << true;
        QTest::newRow("unquoted fields are trimmed at the end")
            << QStringList{"  d x  ,m  "} << "1 "
            << "d x"
            << "m"
            << "" << qint16(1) << true;
        QTest::newRow("text after the closing quote is dropped")
            << QStringList{"\"a\" junk", q} << "0"
            << "a"
            << ""
            << "" << qint16(0) << true;
        QTest::newRow("a quote inside reads back whole")
            << QStringList{"\"say \"hi\" now\"", "\"x\" y"} << "0"
            << "say \"hi\" now"
            << "x"
            << "" << qint16(0) << true;
        // A quote left open ends at its line: a message broken over two
        // lines by hand shifts the fields after it, and no text ever holds
        // a line break.
        QTest::newRow("a quote left open") << QStringList{"\"d\"", "\"first", "second\""} << "0"
                                           << "d"
                                           << "first"
                                           << "second\"" << qint16(0) << false;
    }

    void readsFieldsByTheFileRules()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, dailyLine);
        QFETCH(QString, date);
        QFETCH(QString, message);
        QFETCH(QString, time);
        QFETCH(qint16, daily);
        QFETCH(bool, complete);

        QStringList file = clearedLines();
        file[6] = dailyLine;
        file.remove(3, 2);
        for (qsizetype i = lines.size() - 1; i >= 0; --i)
            file.insert(3, lines[i]);
        FileContents c = marked();
        QCOMPARE(DataFile::decode(crlf(file), c), complete);
        QCOMPARE(c.table[0].date, date);
        QCOMPARE(c.table[0].message, message);
        QCOMPARE(c.table[0].time, time);
        if (complete) {
            QCOMPARE(c.table[0].repeat.daily, daily);
            QCOMPARE(c.table[31].fired, qint16(1));
        }
    }

    void readsTheSoundLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<SoundChoice>("sound");
        QTest::newRow("Message") << "#TRUE#,#FALSE#,#FALSE#,#FALSE#"
                                 << SoundChoice{true, false, false, false};
        QTest::newRow("Alert2") << "#FALSE#,#FALSE#,#TRUE#,#FALSE#"
                                << SoundChoice{false, false, true, false};
        QTest::newRow("none") << "#FALSE#,#FALSE#,#FALSE#,#FALSE#"
                              << SoundChoice{false, false, false, false};
        QTest::newRow("numbers") << "0,-1,0,5" << SoundChoice{false, true, false, true};
        QTest::newRow("decimal numbers")
            << "0.0, -.5 ,+0e7,1.5E-3" << SoundChoice{false, true, false, true};
        QTest::newRow("one per line is the same")
            << "#FALSE#\n#TRUE#\n0\n0" << SoundChoice{false, true, false, false};
    }

    void readsTheSoundLine()
    {
        QFETCH(QString, line);
        QFETCH(SoundChoice, sound);
        QStringList lines = clearedLines(line);
        FileContents c = marked();
        QVERIFY(DataFile::decode(crlf(lines), c));
        QCOMPARE(c.sound, sound);
    }

    void acceptsEveryLineEnd_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void acceptsEveryLineEnd()
    {
        QFETCH(QByteArray, lineEnd);
        FileContents c;
        c.table[31].message = QStringLiteral("last");
        c.table[31].repeat.monthly = 1;
        QByteArray bytes = DataFile::encode(c);
        bytes.replace("\r\n", lineEnd);
        FileContents back = marked();
        QVERIFY(DataFile::decode(bytes, back));
        QCOMPARE(back, c);
    }

    void ignoresWhatFollowsTheLastLine()
    {
        FileContents c;
        c.table[31].fired = 0;
        FileContents back = marked();
        QVERIFY(DataFile::decode(DataFile::encode(c) + "garbage,\r\n\"more\"\r\n", back));
        QCOMPARE(back, c);
    }

    // A file cut after line 100 fills slots 0 to 12 and slot 13 up to its
    // monthly value; the rest keeps what it held before.
    void aShortFileKeepsWhatWasReadBeforeTheEnd()
    {
        FileContents written;
        for (int s = 0; s < SlotCount; ++s) {
            written.table[s].date = QStringLiteral("new %1").arg(s);
            written.table[s].repeat.monthly = 1;
            written.table[s].fired = 0;
        }
        const QList<QByteArray> lines = DataFile::encode(written).split('\n');
        const QByteArray first100 = lines.mid(0, 100).join('\n') + '\n';

        FileContents c = marked();
        QVERIFY(!DataFile::decode(first100, c));
        QCOMPARE(c.banner1, written.banner1);
        QCOMPARE(c.sound, written.sound);
        for (int s = 0; s <= 12; ++s) {
            QCOMPARE(c.table[s].date, written.table[s].date);
            QCOMPARE(c.table[s].fired, qint16(0));
        }
        QCOMPARE(c.table[13].date, QStringLiteral("new 13"));
        QCOMPARE(c.table[13].repeat.monthly, qint16(1));
        QCOMPARE(c.table[13].fired, qint16(7));
        QCOMPARE(c.table[14].date, QStringLiteral("old date"));
        QCOMPARE(c.table[31].fired, qint16(7));
    }

    void failsAtAValueAnIntegerCannotTake_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("word") << "one";
        QTest::newRow("too large") << "32768";
        QTest::newRow("too small") << "-32769";
        QTest::newRow("fraction") << "1.5";
        QTest::newRow("empty line") << "";
    }

    void failsAtAValueAnIntegerCannotTake()
    {
        QFETCH(QString, value);
        QStringList lines = clearedLines();
        const int weeklyOfSlot2 = 3 + 7 * 2 + 4; // zero-based line index
        lines[weeklyOfSlot2] = value;
        FileContents c = marked();
        QVERIFY(!DataFile::decode(crlf(lines), c));
        QCOMPARE(c.table[2].repeat.daily, qint16(0));
        QCOMPARE(c.table[2].repeat.weekly, qint16(7));
        QCOMPARE(c.table[1].fired, qint16(1));
        QCOMPARE(c.table[3].date, QStringLiteral("old date"));
    }

    // Only a number as the file's numbers are written counts: words a C
    // library would also read as numbers do not.
    void failsAtAWordInTheSoundLine_data()
    {
        QTest::addColumn<QString>("word");
        for (const char *word : {"yes", "nan", "inf", "-infinity", "0x10", "1e", "."})
            QTest::newRow(word) << QString::fromLatin1(word);
    }

    void failsAtAWordInTheSoundLine()
    {
        QFETCH(QString, word);
        FileContents c = marked();
        QVERIFY(!DataFile::decode(
            crlf(clearedLines(QStringLiteral("#TRUE#,%1,#FALSE#,#FALSE#").arg(word))), c));
        QCOMPARE(c.sound.MessageSound, true);
        QCOMPARE(c.sound.Alert3, true);
        QCOMPARE(c.table[0].date, QStringLiteral("old date"));
    }

    void anEmptyFileReadsNothing()
    {
        FileContents c = marked();
        QVERIFY(!DataFile::decode(QByteArray(), c));
        QCOMPARE(c, marked());
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
