// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "store/win1252.h"

#include "support/entries.h"
#include <QRandomGenerator>

#include <QtTest>

#include <functional>

// What the writer writes, the reader reads back: every text of one line, of
// any characters the file can hold. Checked on random tables, on every short
// text made of the characters that matter to the reader, and on named texts.
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
    other.banner1 += u'x';
    other.banner2 += u'x';
    other.sound = {!c.sound.MessageSound, !c.sound.Alert1, !c.sound.Alert2, !c.sound.Alert3};
    AlarmTable &t = other.table;
    for (int s = 0; s < SlotCount; ++s) {
        t[s].date += u'x';
        t[s].message += u'x';
        t[s].time += u'x';
        t[s].repeat.daily = static_cast<qint16>(t[s].repeat.daily + 1);
        t[s].repeat.weekly = static_cast<qint16>(t[s].repeat.weekly + 1);
        t[s].repeat.monthly = static_cast<qint16>(t[s].repeat.monthly + 1);
        t[s].fired = static_cast<qint16>(t[s].fired + 1);
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

    QRandomGenerator m_rng;
    int m_texts = 0;
    int m_quoted = 0;
};

FileContents randomContents(TextMaker &make)
{
    FileContents c;
    c.banner1 = make.text();
    c.banner2 = make.text();
    c.sound = {make.flag(), make.flag(), make.flag(), make.flag()};
    AlarmTable &t = c.table;
    for (int s = 0; s < SlotCount; ++s) {
        t[s].date = make.text();
        t[s].message = make.text();
        t[s].time = make.text();
        t[s].repeat.daily = make.integer();
        t[s].repeat.weekly = make.integer();
        t[s].repeat.monthly = make.integer();
        t[s].fired = make.integer();
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
    if (a.banner1 != b.banner1)
        return QStringLiteral("banner 1: ") + show(a.banner1, b.banner1);
    if (a.banner2 != b.banner2)
        return QStringLiteral("banner 2: ") + show(a.banner2, b.banner2);
    if (a.sound != b.sound)
        return QStringLiteral("sound line");
    for (int s = 0; s < SlotCount; ++s) {
        const AlarmTable &x = a.table;
        const AlarmTable &y = b.table;
        if (x[s].date != y[s].date)
            return QStringLiteral("date %1: ").arg(s) + show(x[s].date, y[s].date);
        if (x[s].message != y[s].message)
            return QStringLiteral("message %1: ").arg(s) + show(x[s].message, y[s].message);
        if (x[s].time != y[s].time)
            return QStringLiteral("time %1: ").arg(s) + show(x[s].time, y[s].time);
        if (x[s].repeat.daily != y[s].repeat.daily || x[s].repeat.weekly != y[s].repeat.weekly ||
            x[s].repeat.monthly != y[s].repeat.monthly || x[s].fired != y[s].fired)
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

    // Every short text of the characters that decide how a text line is
    // read, in every text line of a slot, reads back and leaves every other
    // field in place.
    void everyShortTextReadsBack()
    {
        int count = 0;
        QStringList wrong;
        forEveryText(QStringLiteral("a \","), 6, [&](const QString &text) {
            ++count;
            FileContents written = withMessage(text);
            written.table[7].date = text;
            written.table[7].time = text;
            FileContents read = unlike(written);
            if (!DataFile::decode(DataFile::encode(written), read) || read != written)
                wrong.append(QStringLiteral("[%1]: %2").arg(text, firstDifference(written, read)));
        });
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("%1 texts, first: %2")
                                                 .arg(wrong.size())
                                                 .arg(wrong.mid(0, 5).join(u' '))));
        QCOMPARE(count, 5461); // 1 + 4 + 16 + ... + 4^6
    }

    // Texts a user types, which a reader that stops at the first quote and
    // comma would cut.
    void textsThatReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("inch marks") << "shelf 30\", wall 40\"";
        QTest::newRow("quote, comma, quote") << "a\",\"b";
        QTest::newRow("hand-made two fields, quoted") << "\"a\",\"b\"";
        QTest::newRow("quote, spaces, comma") << "a\"  , b";
        QTest::newRow("ends in quote, comma") << "a\",";
        QTest::newRow("only quote, comma") << "\",";
        QTest::newRow("quoted word") << "say \"hi\" now";
        QTest::newRow("lone quote") << "\"";
        QTest::newRow("spaces around") << "  a, b  ";
        QTest::newRow("quote then spaces") << "a\"   ";
    }

    void textsThatReadBack()
    {
        QFETCH(QString, text);
        const FileContents written = withMessage(text);
        FileContents read = unlike(written);
        QVERIFY(DataFile::decode(DataFile::encode(written), read));
        QCOMPARE(read, written);
    }
};

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
