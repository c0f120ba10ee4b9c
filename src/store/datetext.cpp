// SPDX-License-Identifier: MIT
#include "store/datetext.h"

#include <QLocale>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace DateText {

namespace {

// Numbers (and their digit counts) are capped well above any valid hour, day
// or year, so a run of digits of any length cannot overflow and still reads as
// "too big".
constexpr int NumberCap = 1'000'000;
constexpr int MaxFields = 6;
constexpr int MaxDateSeparators = 2;

enum class Meridiem { None, Am, Pm };

// One field of a typed text: a number, or a month given by name.
struct Field
{
    int value = 0; // the number, or the month (1-12) of a month name
    int digits = 0;
    bool isMonth = false;
    bool timeSeparator = false; // followed by ':' or '.'
};

// Fields and lists of field positions live on the stack: the due test reads
// every slot's date on every tick.
using Fields = QVarLengthArray<Field, MaxFields>;
using Indices = QVarLengthArray<int, MaxFields>;

struct Scan
{
    Fields fields;
    int meridiemField = -1; // the field AM/PM marks, if any
    Meridiem meridiem = Meridiem::None;
};

constexpr std::array<QStringView, 12> MonthNames = {
    u"january", u"february", u"march",     u"april",   u"may",      u"june",
    u"july",    u"august",   u"september", u"october", u"november", u"december",
};

constexpr std::array<QStringView, 7> WeekdayNames = {
    u"monday", u"tuesday", u"wednesday", u"thursday", u"friday", u"saturday", u"sunday",
};

// Whether a lower-case word is the full name or the three-letter form of a name.
bool isNameOrAbbreviation(QStringView word, QStringView name)
{
    return word == name || (word.size() == 3 && name.startsWith(word));
}

// The month (1-12) a lower-case word names, or 0.
int monthOf(QStringView word)
{
    for (int i = 0; i < int(MonthNames.size()); ++i) {
        if (isNameOrAbbreviation(word, MonthNames[i]))
            return i + 1;
    }
    return 0;
}

bool isWeekday(QStringView word)
{
    for (QStringView name : WeekdayNames) {
        if (isNameOrAbbreviation(word, name))
            return true;
    }
    return false;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Splits a text into fields, separators and an AM/PM mark. Anything that does
// not belong in a date or time text makes it unreadable.
std::optional<Scan> scan(const QString &text)
{
    Scan result;
    Fields &fields = result.fields;
    bool separatorWaiting = false; // a separator still needs a field after it
    int dateSeparators = 0;

    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text.at(i);

        if (isAsciiDigit(c)) {
            if (fields.size() == MaxFields)
                return std::nullopt;
            Field field;
            for (; i < size && isAsciiDigit(text.at(i)); ++i) {
                field.value = std::min(field.value * 10 + (text.at(i).unicode() - u'0'), NumberCap);
                field.digits = std::min(field.digits + 1, NumberCap);
            }
            fields.append(field);
            separatorWaiting = false;
            continue;
        }

        if (isAsciiLetter(c)) {
            const qsizetype start = i;
            while (i < size && isAsciiLetter(text.at(i)))
                ++i;
            const QString word = text.mid(start, i - start).toLower();

            if (const int month = monthOf(word)) {
                if (fields.size() == MaxFields)
                    return std::nullopt;
                Field field;
                field.value = month;
                field.isMonth = true;
                fields.append(field);
                separatorWaiting = false;
            } else if (isWeekday(word)) {
                // Weekday names are allowed and carry no meaning.
            } else if (word == u"am" || word == u"pm" || word == u"a" || word == u"p") {
                // AM/PM belongs right after a number, once.
                if (fields.isEmpty() || fields.last().isMonth || separatorWaiting ||
                    result.meridiemField >= 0)
                    return std::nullopt;
                result.meridiemField = int(fields.size()) - 1;
                result.meridiem = word.startsWith(u'a') ? Meridiem::Am : Meridiem::Pm;
            } else {
                return std::nullopt;
            }
            continue;
        }

        const bool isTimeSeparator = c == u':' || c == u'.';
        const bool isDateSeparator = c == u'/' || c == u'-';
        if (isTimeSeparator || isDateSeparator) {
            // A separator follows a field, at most one per field, and needs
            // another field after it.
            if (fields.isEmpty() || separatorWaiting)
                return std::nullopt;
            if (isDateSeparator && ++dateSeparators > MaxDateSeparators)
                return std::nullopt;
            fields.last().timeSeparator = isTimeSeparator;
            separatorWaiting = true;
        } else if (c != u' ' && c != u',') {
            return std::nullopt;
        }
        ++i;
    }

    // A comma may not end the text (trailing spaces aside).
    if (fields.isEmpty() || separatorWaiting || QStringView(text).trimmed().endsWith(u','))
        return std::nullopt;
    return result;
}

// Which fields hold the time (hour, minute, second in that order) and which
// the date.
struct Split
{
    Indices time;
    Indices date;
};

void appendRange(Indices &indices, int from, int to)
{
    for (int i = from; i < to; ++i)
        indices.append(i);
}

bool is(const Indices &indices, std::initializer_list<int> expected)
{
    return std::equal(indices.begin(), indices.end(), expected.begin(), expected.end());
}

std::optional<Split> split(const Scan &scanned)
{
    const int count = int(scanned.fields.size());
    Indices timed; // fields followed by a time separator
    for (int i = 0; i < count; ++i) {
        if (scanned.fields.at(i).timeSeparator)
            timed.append(i);
    }

    auto make = [count](int timeFrom, int timeTo) -> Split {
        // The time is one run of fields; the date is everything around it.
        Split s;
        appendRange(s.time, timeFrom, timeTo);
        appendRange(s.date, 0, timeFrom);
        appendRange(s.date, timeTo, count);
        return s;
    };

    const int marked = scanned.meridiemField;
    std::optional<Split> result;
    if (is(timed, {0})) {
        if (count == 2 || count == 4 || count == 5)
            result = make(0, 2);
    } else if (is(timed, {0, 1})) {
        if (count == 3 || count == 5 || count == 6)
            result = make(0, 3);
    } else if (is(timed, {2})) {
        if (count == 4)
            result = make(2, 4);
    } else if (is(timed, {3})) {
        if (count == 5)
            result = make(3, 5);
    } else if (is(timed, {2, 3})) {
        if (count == 5)
            result = make(2, 5);
    } else if (is(timed, {3, 4})) {
        if (count == 6)
            result = make(3, 6);
    } else if (timed.isEmpty()) {
        if (count == 1) {
            if (marked == 0)
                result = make(0, 1);
        } else if (count == 2) {
            if (marked < 0)
                result = make(0, 0);
        } else if (count == 3) {
            if (marked < 0)
                result = make(0, 0);
            else if (marked == 0)
                result = make(0, 1);
            else if (marked == 2)
                result = make(2, 3);
        } else if (count == 4) {
            if (marked == 0)
                result = make(0, 1);
            else if (marked == 3)
                result = make(3, 4);
        }
    }
    if (!result)
        return std::nullopt;

    // AM/PM goes with the time, and the time is made of numbers only.
    if (marked >= 0 && !result->time.contains(marked))
        return std::nullopt;
    for (int index : result->time) {
        if (scanned.fields.at(index).isMonth)
            return std::nullopt;
    }
    return result;
}

std::optional<QTime> readTime(const Scan &scanned, const Indices &indices)
{
    if (indices.isEmpty())
        return QTime(0, 0);

    std::array<int, 3> parts = {0, 0, 0};
    for (int i = 0; i < int(indices.size()); ++i)
        parts[i] = scanned.fields.at(indices.at(i)).value;
    int hour = parts[0];
    if (hour > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;

    // An hour above 12 is already on the 24-hour clock and ignores AM/PM.
    if (scanned.meridiem == Meridiem::Pm && hour < 12)
        hour += 12;
    else if (scanned.meridiem == Meridiem::Am && hour == 12)
        hour = 0;
    return QTime(hour, parts[1], parts[2]);
}

// A written year as a full year. A year below 100 falls in the hundred years
// that end fifty years after today's year.
std::optional<int> fullYear(int written, const QDate &today)
{
    if (written > 9999)
        return std::nullopt;
    if (written >= 100)
        return written;
    const int last = today.year() + 50;
    const int year = last - ((last - written) % 100 + 100) % 100;
    if (year > 9999)
        return std::nullopt;
    return year;
}

std::optional<QDate> makeDate(std::optional<int> year, int month, int day)
{
    if (!year || !QDate::isValid(*year, month, day))
        return std::nullopt;
    return QDate(*year, month, day);
}

std::optional<QDate> readDate(const Scan &scanned, const Indices &indices, const QDate &today)
{
    if (indices.isEmpty())
        return timeOnlyDate();

    int month = 0; // from a month name
    Fields numbers;
    for (int index : indices) {
        const Field &field = scanned.fields.at(index);
        if (!field.isMonth) {
            numbers.append(field);
        } else if (month != 0) {
            return std::nullopt; // two month names
        } else {
            month = field.value;
        }
    }

    // The date part is two or three fields, at most one of them a month name.
    if (numbers.isEmpty() || (month == 0 && numbers.size() < 2))
        return std::nullopt;
    if (month != 0) {
        if (numbers.size() == 2) // day, then year, as written
            return makeDate(fullYear(numbers.at(1).value, today), month, numbers.at(0).value);
        // One number: a day of this year, else a year.
        if (auto date = makeDate(today.year(), month, numbers.at(0).value))
            return date;
        return makeDate(fullYear(numbers.at(0).value, today), month, 1);
    }

    const int a = numbers.at(0).value;
    const int b = numbers.at(1).value;
    if (numbers.size() == 2) {
        if (auto date = makeDate(today.year(), a, b))
            return date;
        if (auto date = makeDate(today.year(), b, a))
            return date;
        if (auto date = makeDate(fullYear(b, today), a, 1))
            return date;
        return makeDate(fullYear(a, today), b, 1);
    }

    const int c = numbers.at(2).value;
    const int firstDigits = numbers.at(0).digits;
    if (firstDigits == 3 || firstDigits == 4)
        return makeDate(fullYear(a, today), b, c);
    if (auto date = makeDate(fullYear(c, today), a, b))
        return date;
    if (a > 12)
        return makeDate(fullYear(c, today), b, a);
    return std::nullopt;
}

} // namespace

QDate timeOnlyDate()
{
    return QDate(1899, 12, 30);
}

std::optional<Value> parse(const QString &text, const QDate &today)
{
    const std::optional<Scan> scanned = scan(text);
    if (!scanned)
        return std::nullopt;
    const std::optional<Split> parts = split(*scanned);
    if (!parts)
        return std::nullopt;
    const std::optional<QTime> time = readTime(*scanned, parts->time);
    if (!time)
        return std::nullopt;
    const std::optional<QDate> date = readDate(*scanned, parts->date, today);
    if (!date)
        return std::nullopt;
    return Value{*date, *time};
}

namespace {

// Two decimal digits of a number from 0 to 99, with a leading zero.
void putTwoDigits(QChar *out, int value)
{
    out[0] = QChar(u'0' + value / 10);
    out[1] = QChar(u'0' + value % 10);
}

// "aa?bb?cc": three numbers from 0 to 99 with a separator. Written by hand:
// the clock tick formats the time twice and the date once, twice a second.
QString threeFields(int a, int b, int c, char16_t separator)
{
    QString text(8, Qt::Uninitialized);
    QChar *out = text.data();
    putTwoDigits(out, a);
    out[2] = QChar(separator);
    putTwoDigits(out + 3, b);
    out[5] = QChar(separator);
    putTwoDigits(out + 6, c);
    return text;
}

} // namespace

QString formatDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    return threeFields(month, day, (year % 100 + 100) % 100, u'/');
}

QString formatTime(const QTime &time)
{
    if (!time.isValid())
        return QString();
    return threeFields(time.hour(), time.minute(), time.second(), u':');
}

QString systemTime(const QTime &time)
{
    // The long format may carry a time zone name, so start from the short one
    // and give it seconds if it has none: they go right after the minutes,
    // with the separator the minutes have (":" or ".").
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::ShortFormat);

    bool quoted = false;
    bool hasSeconds = false;
    qsizetype afterMinutes = -1;
    QChar separator = u':';
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u's') {
            hasSeconds = true;
        } else if (!quoted && c == u'm') {
            if (i > 0 && format.at(i - 1) != u'm')
                separator = format.at(i - 1) == u'.' ? QChar(u'.') : QChar(u':');
            afterMinutes = i + 1;
        }
    }
    if (!hasSeconds) {
        if (afterMinutes < 0)
            return formatTime(time);
        format.insert(afterMinutes, separator + QStringLiteral("ss"));
    }
    return locale.toString(time, format);
}

} // namespace DateText
