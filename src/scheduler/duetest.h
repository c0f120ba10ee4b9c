// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

#include <QDate>

#include <array>
#include <optional>

// The due test of one slot, a plain function of the table and of "now".
namespace DueTest {

// The date an entry without a date counts as: 1 Jan 2007, long past.
inline const QDate EmptyDateDefault{2007, 1, 1};

// Whether the date text is on or before today, both read as dates. Empty
// texts count as EmptyDateDefault; a text that is not a date never passes.
bool dateReached(const QString &date, const QDate &today);

// Whether the time text is at or before nowTime ("hh:mm:ss"), compared as
// texts: an empty time always passes, "9:30:00" never does.
bool timeReached(const QString &time, const QString &nowTime);

// The due test of the 32 slots, tick after tick: an entry is due when it is
// armed, its day has come and, on whatever day it is tested, the clock has
// passed its time of day. The date test is a plain function
// of the date text and today, and a tick tests the same texts twice a second:
// what it gave a slot is kept with the text and the day, and used again while
// both are the same.
class SlotTester
{
public:
    bool isDue(int slot, const QString &date, const QString &time, qint16 fired, const QDate &today,
               const QString &nowTime);

private:
    bool dateReached(int slot, const QString &date, const QDate &today);

    struct Known
    {
        QString date;
        QDate today;
        bool reached = false;
    };
    std::array<std::optional<Known>, SlotCount> m_known;
};

} // namespace DueTest
