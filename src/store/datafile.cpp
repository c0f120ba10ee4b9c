// SPDX-License-Identifier: MIT
#include "store/datafile.h"

#include "store/win1252.h"

#include <QStringList>

#include <cmath>
#include <optional>
#include <type_traits>

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

qsizetype lineEndFrom(QStringView text, qsizetype pos)
{
    while (pos < text.size() && !isLineEnd(text[pos]))
        ++pos;
    return pos;
}

// The position after the line end at `pos` (CR LF, LF or CR count as one).
qsizetype afterLineEnd(QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return pos;
    if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n')
        return pos + 2;
    return pos + 1;
}

// Whether the file has the shape the writer gives it: one field on every
// line, each line holding what its place calls for. A text line is a
// quoted text (spaces around it aside), a number line holds no quote and no
// comma, the sound line four values. A last line without its line end, cut
// off, is not judged. In such a file a text line is the whole text between
// the line's first and last double quote, whatever it holds.
bool hasWrittenShape(QStringView text)
{
    qsizetype pos = 0;
    for (int line = 0; line < DataFile::LineCount && pos < text.size(); ++line) {
        const qsizetype end = lineEndFrom(text, pos);
        if (end == text.size())
            return true;
        QStringView content = text.sliced(pos, end - pos);
        while (content.startsWith(u' '))
            content = content.sliced(1);
        while (content.endsWith(u' '))
            content.chop(1);
        const bool isTextLine = line < 2 || (line >= 3 && (line - 3) % 7 < 3);
        if (isTextLine) {
            if (content.size() < 2 || !content.startsWith(u'"') || !content.endsWith(u'"'))
                return false;
        } else if (content.contains(u'"') || content.count(u',') != (line == 2 ? 3 : 0)) {
            return false;
        }
        pos = afterLineEnd(text, end);
    }
    return true;
}

// Reads the file's comma- and line-separated fields one after another. A
// field ends at a comma or at a line end (CR LF, LF or CR); the two are not
// told apart. A quoted text never runs past the end of its line. Fields are
// views into the text.
class FieldReader
{
public:
    explicit FieldReader(QString text)
        : m_text(std::move(text)), m_wholeLineTexts(hasWrittenShape(m_text))
    {
    }

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
    // In a file of the writer's shape a quoted text runs to the last double
    // quote of its line. In any other file it runs to the next double quote,
    // unless that quote is followed on its line by more than a comma or
    // spaces and the line's last double quote by nothing but spaces: then it
    // too runs to that last quote. A quote left open ends at its line. After
    // the text, everything up to and including the next comma or line end
    // is skipped.
    QStringView quoted()
    {
        const QStringView text(m_text);
        const qsizetype start = m_pos + 1;
        const qsizetype lineEnd = lineEndFrom(text, start);
        const QStringView line = text.sliced(start, lineEnd - start);
        const qsizetype last = line.lastIndexOf(u'"');
        qsizetype close = m_wholeLineTexts ? last : line.indexOf(u'"');
        if (close >= 0 && !m_wholeLineTexts) {
            qsizetype after = close + 1;
            while (after < line.size() && line[after] == u' ')
                ++after;
            bool onlySpaces = true;
            for (qsizetype i = last + 1; i < line.size(); ++i)
                onlySpaces = onlySpaces && line[i] == u' ';
            if (after < line.size() && line[after] != u',' && last > close && onlySpaces)
                close = last;
        }
        if (close < 0) {
            m_pos = lineEnd;
            skipSeparator();
            return line;
        }
        m_pos = start + close + 1;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        skipSeparator();
        return line.sliced(0, close);
    }

    void skipSeparator()
    {
        if (m_pos < m_text.size())
            m_pos = m_text[m_pos] == u',' ? m_pos + 1 : afterLineEnd(m_text, m_pos);
    }

    QString m_text;
    bool m_wholeLineTexts = false;
    qsizetype m_pos = 0;
};

// A number as a line of the file may hold one: digits with an optional sign,
// decimal point and exponent. Words that only a C library would read as a
// number ("nan", "inf", "0x1p3") are not numbers.
bool isDecimalNumber(QStringView field)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < field.size() && field[i] >= u'0' && field[i] <= u'9')
            ++i;
        return i - from;
    };
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < field.size() && field[i] == u'.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < field.size() && (field[i] == u'e' || field[i] == u'E')) {
        ++i;
        if (i < field.size() && (field[i] == u'+' || field[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == field.size();
}

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
    if (!isDecimalNumber(*field))
        return std::nullopt;
    bool ok = false;
    const double number = field->toDouble(&ok);
    if (!ok || !std::isfinite(number))
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
    appendText(out, contents.banner1);
    appendText(out, contents.banner2);
    out += QStringList{booleanText(s.MessageSound), booleanText(s.Alert1), booleanText(s.Alert2),
                       booleanText(s.Alert3)}
               .join(u',');
    out += u"\r\n";
    for (const Entry &entry : t) {
        forEachField(entry, [&out](const auto &field) {
            if constexpr (std::is_same_v<std::decay_t<decltype(field)>, QString>)
                appendText(out, field);
            else
                appendInteger(out, field);
        });
    }
    return Win1252::encode(out);
}

bool decode(QByteArrayView bytes, FileContents &contents)
{
    FieldReader reader(Win1252::decode(bytes));
    auto text = [&reader](QString &target) {
        const std::optional<QStringView> field = reader.next();
        if (field)
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
    if (!text(contents.banner1) || !text(contents.banner2) || !boolean(s.MessageSound) ||
        !boolean(s.Alert1) || !boolean(s.Alert2) || !boolean(s.Alert3))
        return false;
    bool complete = true;
    for (Entry &entry : contents.table) {
        forEachField(entry, [&](auto &field) {
            if constexpr (std::is_same_v<std::decay_t<decltype(field)>, QString>)
                complete = complete && text(field);
            else
                complete = complete && integer(field);
        });
        if (!complete)
            return false;
    }
    return true;
}

} // namespace DataFile
