#include "store/datafile.h"

#include "store/win1252.h"

#include <QStringList>

#include <optional>

namespace {

void appendText(QString &out, const QString &text)
{
    out += u'"';
    out += text;
    out += u"\"\r\n";
}

void appendInteger(QString &out, qint16 value)
{
    out += QString::number(value);
    out += u"\r\n";
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Reads the file's comma- and line-separated fields one after another. A
// field ends at a comma or at a line end (CR LF, LF or CR); the two are not
// told apart. Fields are views into the text: a field is copied only when
// it differs from what its target holds, so the tick's reload of an
// unchanged file allocates next to nothing.
class FieldReader
{
public:
    explicit FieldReader(QString text) : m_text(std::move(text)) {}

    // The next field, or nothing at the end of the data. It stays valid for
    // the life of the reader.
    std::optional<QStringView> next()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == u' ')
            ++m_pos;
        if (m_pos >= m_text.size())
            return std::nullopt;
        if (m_text[m_pos] == u'"')
            return quoted();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        QStringView field = QStringView(m_text).sliced(start, m_pos - start);
        while (field.endsWith(u' '))
            field.chop(1);
        skipSeparator();
        return field;
    }

private:
    // A quoted text runs to the next double quote. When that quote is followed
    // on its line by more than a comma or spaces, and the line's last double
    // quote is followed by nothing but spaces, the text runs to that last quote
    // instead: a message with quotes inside reads back whole. After the text,
    // everything up to and including the next comma or line end is skipped.
    QStringView quoted()
    {
        const qsizetype start = m_pos + 1;
        qsizetype close = m_text.indexOf(u'"', start);
        if (close < 0) {
            m_pos = m_text.size();
            return QStringView(m_text).sliced(start);
        }
        qsizetype lineEnd = close + 1;
        while (lineEnd < m_text.size() && !isLineEnd(m_text[lineEnd]))
            ++lineEnd;
        qsizetype after = close + 1;
        while (after < lineEnd && m_text[after] == u' ')
            ++after;
        if (after < lineEnd && m_text[after] != u',') {
            const qsizetype last = m_text.lastIndexOf(u'"', lineEnd - 1);
            bool onlySpaces = true;
            for (qsizetype i = last + 1; i < lineEnd; ++i)
                onlySpaces = onlySpaces && m_text[i] == u' ';
            if (last > close && onlySpaces)
                close = last;
        }
        const QStringView field = QStringView(m_text).sliced(start, close - start);
        m_pos = close + 1;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        skipSeparator();
        return field;
    }

    void skipSeparator()
    {
        if (m_pos >= m_text.size())
            return;
        if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n')
            ++m_pos;
        ++m_pos;
    }

    QString m_text;
    qsizetype m_pos = 0;
};

std::optional<qint16> toInteger(std::optional<QStringView> field)
{
    if (!field)
        return std::nullopt;
    bool ok = false;
    const int value = field->toInt(&ok, 10);
    if (!ok || value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<qint16>(value);
}

std::optional<bool> toBoolean(std::optional<QStringView> field)
{
    if (!field)
        return std::nullopt;
    if (*field == u"#TRUE#")
        return true;
    if (*field == u"#FALSE#")
        return false;
    bool ok = false;
    const double number = field->toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return number != 0.0;
}

} // namespace

namespace DataFile {

QByteArray encode(const FileContents &contents)
{
    const AlarmTable &t = contents.table;
    const SoundChoice &s = contents.sound;
    QString out;
    out.reserve(6000);
    appendText(out, contents.FileBanner1);
    appendText(out, contents.FileBanner2);
    out += QStringList{booleanText(s.Message), booleanText(s.Alert1), booleanText(s.Alert2),
                       booleanText(s.Alert3)}
               .join(u',');
    out += u"\r\n";
    for (int slot = 0; slot < SlotCount; ++slot) {
        appendText(out, t.AlarmDate[slot]);
        appendText(out, t.AlarmMessage[slot]);
        appendText(out, t.AlarmTime[slot]);
        appendInteger(out, t.AlarmDaily[slot]);
        appendInteger(out, t.AlarmWeekly[slot]);
        appendInteger(out, t.AlarmMonthly[slot]);
        appendInteger(out, t.AlarmFired[slot]);
    }
    return Win1252::encode(out);
}

bool decode(QByteArrayView bytes, FileContents &contents)
{
    FieldReader reader(Win1252::decode(bytes));
    auto text = [&reader](QString &target) {
        const std::optional<QStringView> field = reader.next();
        if (field && target != *field)
            target = field->toString();
        return field.has_value();
    };
    auto boolean = [&reader](bool &target) {
        const std::optional<bool> value = toBoolean(reader.next());
        if (value)
            target = *value;
        return value.has_value();
    };
    auto integer = [&reader](qint16 &target) {
        const std::optional<qint16> value = toInteger(reader.next());
        if (value)
            target = *value;
        return value.has_value();
    };

    SoundChoice &s = contents.sound;
    if (!text(contents.FileBanner1) || !text(contents.FileBanner2) || !boolean(s.Message) ||
        !boolean(s.Alert1) || !boolean(s.Alert2) || !boolean(s.Alert3))
        return false;
    AlarmTable &t = contents.table;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (!text(t.AlarmDate[slot]) || !text(t.AlarmMessage[slot]) || !text(t.AlarmTime[slot]) ||
            !integer(t.AlarmDaily[slot]) || !integer(t.AlarmWeekly[slot]) ||
            !integer(t.AlarmMonthly[slot]) || !integer(t.AlarmFired[slot]))
            return false;
    }
    return true;
}

bool readsBack(QStringView text)
{
    const qsizetype quote = text.indexOf(u'"');
    if (quote < 0)
        return true;
    const QStringView rest = text.sliced(quote + 1);
    if (rest.contains(u'\r') || rest.contains(u'\n'))
        return false;
    qsizetype i = 0;
    while (i < rest.size() && rest[i] == u' ')
        ++i;
    return i == rest.size() || rest[i] != u',';
}

} // namespace DataFile
