// SPDX-License-Identifier: MIT
// Feeds arbitrary text to the date and time conversion. The first byte picks
// "today" (so the two-digit-year window moves); the rest is the text, read as
// UTF-8. Checks what every value read must satisfy.
#include "scheduler/duetest.h"
#include "store/datetext.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what, const QString &text)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_datetext: %s [%s]\n", what, qPrintable(text));
        std::abort();
    }
}

// Today's dates to read against, from the examples' year to the ends of the
// range a date can have.
const std::array<QDate, 8> Todays = {
    QDate(2009, 6, 15), QDate(2026, 3, 1),   QDate(2000, 2, 29), QDate(1950, 12, 31),
    QDate(9960, 6, 1),  QDate(9999, 12, 31), QDate(100, 1, 1),   QDate(1899, 12, 30),
};

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QDate today = Todays[data[0] % Todays.size()];
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::optional<DateText::Value> value = DateText::parse(text, today);
    // The due test must take any text, a date or not.
    (void)DueTest::dateReached(text, today);

    // Spaces around a text, and the case of its letters, change nothing.
    require(DateText::parse(QLatin1Char(' ') + text + QLatin1Char(' '), today) == value,
            "spaces around the text change it", text);
    if (isAscii(text))
        require(DateText::parse(text.toUpper(), today) == value, "upper case changes it", text);

    if (!value)
        return 0;
    const QDate date = value->date;
    const QTime time = value->time;
    require(date.isValid() && time.isValid(), "a value read is not a valid date and time", text);
    require(time.msec() == 0, "a value read has milliseconds", text);

    // The texts the program writes read back as the same value.
    const std::optional<DateText::Value> timeBack =
        DateText::parse(DateText::formatTime(time), today);
    require(timeBack && timeBack->time == time && timeBack->date == DateText::timeOnlyDate(),
            "hh:mm:ss of a value read does not read back", text);
    if (date.year() > today.year() - 50 && date.year() <= today.year() + 50) {
        const std::optional<DateText::Value> dateBack =
            DateText::parse(DateText::formatDate(date), today);
        require(dateBack && dateBack->date == date && dateBack->time == QTime(0, 0),
                "mm/dd/yy of a value read does not read back in its year window", text);
    }
    if (date.year() >= 100) {
        const QString full = QStringLiteral("%1/%2/%3 %4")
                                 .arg(date.month())
                                 .arg(date.day())
                                 .arg(date.year(), 4, 10, QLatin1Char('0'))
                                 .arg(DateText::formatTime(time));
        require(DateText::parse(full, today) == value,
                "m/d/yyyy hh:mm:ss of a value read does not read back", text);
    }
    return 0;
}
