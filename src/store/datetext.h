// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <compare>
#include <optional>

// Date and time texts as the program reads and writes them. The rules are
// always US-English, whatever the machine's locale: "mm/dd/yy" for dates,
// "hh:mm:ss" for times, and a forgiving conversion of typed texts.
namespace DateText {

// The result of reading a text: a date and a time of day. A text with only a
// time gets the date 30 Dec 1899; a text with only a date gets midnight.
struct Value
{
    QDate date;
    QTime time;

    friend bool operator==(const Value &, const Value &) = default;
    friend std::strong_ordering operator<=>(const Value &a, const Value &b)
    {
        if (a.date != b.date)
            return a.date.toJulianDay() <=> b.date.toJulianDay();
        return a.time.msecsSinceStartOfDay() <=> b.time.msecsSinceStartOfDay();
    }
};

// The date given to a text that holds only a time.
QDate timeOnlyDate();

// Reads a text as a date and/or time. Two-digit years fall in the window
// (year of today - 50, year of today + 50]; a date without a year takes the
// year of today. Returns nothing when the text is not a date or time.
std::optional<Value> parse(const QString &text, const QDate &today);

// "mm/dd/yy": two digits each, the year modulo 100.
QString formatDate(const QDate &date);

// "hh:mm:ss", 24-hour.
QString formatTime(const QTime &time);

// The time in the system's own time format with seconds (the one text that
// follows the locale), for the alert window's clock label.
QString systemTime(const QTime &time);

} // namespace DateText
