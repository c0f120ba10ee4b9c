#include "store/datafile.h"
#include "store/win1252.h"

#include "support/entries.h"
#include <QRandomGenerator>

#include <QtTest>

#include <functional>

// What the writer writes, the reader reads back: checked on random tables and
// on every short text made of the characters that matter to the reader.
namespace {

// The seed of the first random table; table i uses seed + i. Another run can
// be asked for with TIKORA_ROUNDTRIP_SEED.
quint32 baseSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("TIKORA_ROUNDTRIP_SEED").toUInt(&ok);
    return ok ? seed : 20090317u;
}

constexpr int TableCount = 300;

// Contents that differ from `c` in every field, to read into.
FileContents unlike(const FileContents &c)
{
    FileContents other = c;
    other.FileBanner1 += u'x';
    other.FileBanner2 += u'x';
    other.sound = {!c.sound.Message, !c.sound.Alert1, !c.sound.Alert2, !c.sound.Alert3};
    AlarmTable &t = other.table;
    for (int s = 0; s < SlotCount; ++s) {
        t.AlarmDate[s] += u'x';
        t.AlarmMessage[s] += u'x';
        t.AlarmTime[s] += u'x';
        t.AlarmDaily[s] = static_cast<qint16>(t.AlarmDaily[s] + 1);
        t.AlarmWeekly[s] = static_cast<qint16>(t.AlarmWeekly[s] + 1);
        t.AlarmMonthly[s] = static_cast<qint16>(t.AlarmMonthly[s] + 1);
        t.AlarmFired[s] = static_cast<qint16>(t.AlarmFired[s] + 1);
    }
    return other;
}

// Random texts of every character the file can hold but the line breaks,
// with quotes, commas and spaces more often than chance would give them.
class TextMaker
{
public:
    explicit TextMaker(quint32 seed) : m_rng(seed) {}

    QString text()
    {
        const quint32 kind = m_rng.bounded(20u);
        const int length = kind == 0 ? int(m_rng.bounded(600u)) : int(m_rng.bounded(60u));
        const bool quotes = m_rng.bounded(2u) == 0;
        QByteArray bytes;
        for (int i = 0; i < length; ++i)
            bytes += byte(quotes);
        keepReadable(bytes);
        const QString result = Win1252::decode(bytes);
        ++m_texts;
        if (result.contains(u'"'))
            ++m_quoted;
        return result;
    }

    qint16 integer() { return static_cast<qint16>(int(m_rng.bounded(65536u)) - 32768); }
    bool flag() { return m_rng.bounded(2u) == 1; }

    int texts() const { return m_texts; }
    int quoted() const { return m_quoted; }

private:
    // Any byte from 0x01 to 0xFF but CR and LF.
    char anyByte()
    {
        for (;;) {
            const auto b = static_cast<char>(m_rng.bounded(1u, 256u));
            if (b != '\r' && b != '\n')
                return b;
        }
    }

    char byte(bool quotes)
    {
        switch (m_rng.bounded(10u)) {
        case 0:
            return quotes ? '"' : ' ';
        case 1:
            return ',';
        case 2:
            return ' ';
        default: {
            char b = anyByte();
            while (!quotes && b == '"')
                b = anyByte();
            return b;
        }
        }
    }

    // A text reads back whole unless its first quote is followed, after any
    // spaces, by a comma; such a comma gives way to another character.
    void keepReadable(QByteArray &bytes)
    {
        qsizetype i = bytes.indexOf('"');
        if (i < 0)
            return;
        for (++i; i < bytes.size() && bytes[i] == ' '; ++i) {
        }
        if (i == bytes.size() || bytes[i] != ',')
            return;
        char b = anyByte();
        while (b == ',' || b == ' ')
            b = anyByte();
        bytes[i] = b;
    }

    QRandomGenerator m_rng;
    int m_texts = 0;
    int m_quoted = 0;
};

FileContents randomContents(TextMaker &make)
{
    FileContents c;
    c.FileBanner1 = make.text();
    c.FileBanner2 = make.text();
    c.sound = {make.flag(), make.flag(), make.flag(), make.flag()};
    AlarmTable &t = c.table;
    for (int s = 0; s < SlotCount; ++s) {
        t.AlarmDate[s] = make.text();
        t.AlarmMessage[s] = make.text();
        t.AlarmTime[s] = make.text();
        t.AlarmDaily[s] = make.integer();
        t.AlarmWeekly[s] = make.integer();
        t.AlarmMonthly[s] = make.integer();
        t.AlarmFired[s] = make.integer();
    }
    return c;
}

// A text for a failure message, with control characters spelled out.
QString visible(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// The first field in which two contents differ, for the failure message.
QString firstDifference(const FileContents &a, const FileContents &b)
{
    auto show = [](const QString &x, const QString &y) {
        return QStringLiteral("wrote [%1], read [%2]").arg(visible(x), visible(y));
    };
    if (a.FileBanner1 != b.FileBanner1)
        return QStringLiteral("banner 1: ") + show(a.FileBanner1, b.FileBanner1);
    if (a.FileBanner2 != b.FileBanner2)
        return QStringLiteral("banner 2: ") + show(a.FileBanner2, b.FileBanner2);
    if (a.sound != b.sound)
        return QStringLiteral("sound line");
    for (int s = 0; s < SlotCount; ++s) {
        const AlarmTable &x = a.table;
        const AlarmTable &y = b.table;
        if (x.AlarmDate[s] != y.AlarmDate[s])
            return QStringLiteral("date %1: ").arg(s) + show(x.AlarmDate[s], y.AlarmDate[s]);
        if (x.AlarmMessage[s] != y.AlarmMessage[s])
            return QStringLiteral("message %1: ").arg(s) +
                   show(x.AlarmMessage[s], y.AlarmMessage[s]);
        if (x.AlarmTime[s] != y.AlarmTime[s])
            return QStringLiteral("time %1: ").arg(s) + show(x.AlarmTime[s], y.AlarmTime[s]);
        if (x.AlarmDaily[s] != y.AlarmDaily[s] || x.AlarmWeekly[s] != y.AlarmWeekly[s] ||
            x.AlarmMonthly[s] != y.AlarmMonthly[s] || x.AlarmFired[s] != y.AlarmFired[s])
            return QStringLiteral("numbers of slot %1").arg(s);
    }
    return QStringLiteral("none");
}

// Every text of up to `maxLength` characters from `alphabet`, shortest first.
void forEveryText(const QString &alphabet, int maxLength, const std::function<void(QString)> &f)
{
    QList<QString> level{QString()};
    f(QString());
    for (int length = 1; length <= maxLength; ++length) {
        QList<QString> next;
        for (const QString &prefix : level) {
            for (QChar c : alphabet)
                next.append(prefix + c);
        }
        for (const QString &text : next)
            f(text);
        level = next;
    }
}

// A table with `message` in slot 5 between a date and a time, everything
// else as the program writes a cleared table.
FileContents withMessage(const QString &message)
{
    return contentsWith({{5, "03/17/09", "09:30:00", 0, 1, 0, 0, message}});
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomTablesReadBackIdentical()
    {
        const quint32 seed = baseSeed();
        int texts = 0;
        int quoted = 0;
        for (int i = 0; i < TableCount; ++i) {
            const quint32 tableSeed = seed + quint32(i);
            TextMaker make(tableSeed);
            const FileContents written = randomContents(make);
            texts += make.texts();
            quoted += make.quoted();

            const QByteArray bytes = DataFile::encode(written);
            QCOMPARE(bytes.count("\r\n"), DataFile::LineCount);
            FileContents read = unlike(written);
            const bool complete = DataFile::decode(bytes, read);
            const QString where =
                QStringLiteral("table seed %1 (TIKORA_ROUNDTRIP_SEED=%1 repeats it first): %2")
                    .arg(tableSeed)
                    .arg(firstDifference(written, read));
            QVERIFY2(complete && read == written, qPrintable(where));
        }
        // The tables must really have held quotes, or the rule for them went untested.
        QVERIFY2(quoted > texts / 4, qPrintable(QStringLiteral("%1 of %2").arg(quoted).arg(texts)));
    }

    // Over the characters that decide how a text line is read, every
    // short text reads back as written exactly when readsBack() says so, and
    // a text that does read back leaves every other field in place.
    void everyShortTextReadsBackExactlyWhenTheRuleSaysSo()
    {
        int readBack = 0;
        int cut = 0;
        QStringList wrong;
        forEveryText(QStringLiteral("a \",\n"), 5, [&](const QString &text) {
            const FileContents written = withMessage(text);
            FileContents read = unlike(written);
            const bool complete = DataFile::decode(DataFile::encode(written), read);
            const bool whole = complete && read == written;
            const bool expected = DataFile::readsBack(text);
            (expected ? readBack : cut) += 1;
            if (read.table.AlarmMessage[5] == text && !expected)
                wrong.append(QStringLiteral("[%1] reads back").arg(visible(text)));
            if (!whole && expected)
                wrong.append(QStringLiteral("[%1] does not read back").arg(visible(text)));
        });
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("%1 texts, first: %2")
                                                 .arg(wrong.size())
                                                 .arg(wrong.mid(0, 5).join(u' '))));
        QVERIFY(readBack > 0 && cut > 0);
    }

    void textsThatCannotReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("complete");

        // Written as "a","b": exactly the hand-made line of two fields, which
        // must read as two. The time line then lands on the daily value,
        // which cannot take it, and the rest of the file keeps its old values.
        QTest::newRow("quote, comma, quote") << "a\",\"b"
                                             << "a"
                                             << "b" << false;
        QTest::newRow("three fields") << "a\",\"b\",\"c"
                                      << "a"
                                      << "b" << false;
        // The next field is read unquoted, to the line end.
        QTest::newRow("inch marks") << "shelf 30\", wall 40\""
                                    << "shelf 30"
                                    << "wall 40\"\"" << false;
        QTest::newRow("quote, spaces, comma") << "a\"  , b"
                                              << "a"
                                              << "b\"" << false;
        // Ending in quote and comma, the writer's closing quote opens the next
        // field, which runs on to the quote that opens the next line. The
        // lines still line up, but two fields are wrong.
        QTest::newRow("ends in quote, comma") << "a\","
                                              << "a"
                                              << "\r\n\"09:30:00" << true;
        QTest::newRow("only quote, comma") << "\","
                                           << ""
                                           << "\r\n\"09:30:00" << true;
        // A line break after a quote: the text runs to the last quote on its
        // first line, and what follows the break is the next field.
        QTest::newRow("line break after a quote") << "a \"b\"\r\nc"
                                                  << "a \"b"
                                                  << "c\"" << false;
    }

    void textsThatCannotReadBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, time);
        QFETCH(bool, complete);

        QVERIFY(!DataFile::readsBack(text));
        const FileContents written = withMessage(text);
        FileContents read = unlike(written);
        QCOMPARE(DataFile::decode(DataFile::encode(written), read), complete);
        QCOMPARE(read.table.AlarmMessage[5], message);
        QCOMPARE(read.table.AlarmTime[5], time);
        QCOMPARE(read.table.AlarmDate[5], written.table.AlarmDate[5]);
        QCOMPARE(read.table.AlarmMessage[4], written.table.AlarmMessage[4]);
        if (complete)
            QCOMPARE(read.table.AlarmFired[31], written.table.AlarmFired[31]);
        else
            QCOMPARE(read.table.AlarmDaily[5], unlike(written).table.AlarmDaily[5]);
    }

    // Quotes inside a text read back whole as long as the first one is not
    // followed by a comma: later quote-comma pairs and quotes at either end
    // are fine. Without a quote, even a line break reads back.
    void textsThatReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("line break, no quote") << "two\r\nlines";
        QTest::newRow("line break before the quote") << "two\nsay \"hi\"";
        QTest::newRow("quoted word") << "say \"hi\" now";
        QTest::newRow("quoted whole") << "\"hi\"";
        QTest::newRow("hand-made two fields, quoted") << "\"a\",\"b\"";
        QTest::newRow("later quote and comma") << "x\"y\",z";
        QTest::newRow("ends in a quote") << "a\"";
        QTest::newRow("ends in quote and spaces") << "a\"b\"  ";
        QTest::newRow("quote then spaces") << "a\"   ";
        QTest::newRow("lone quote") << "\"";
        QTest::newRow("comma before the quote") << ",\"";
        QTest::newRow("quote, space, quote, comma") << "\" \",";
    }

    void textsThatReadBack()
    {
        QFETCH(QString, text);
        QVERIFY(DataFile::readsBack(text));
        const FileContents written = withMessage(text);
        FileContents read = unlike(written);
        QVERIFY(DataFile::decode(DataFile::encode(written), read));
        QCOMPARE(read, written);
    }
};

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
