// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the data file reader, then checks what it read:
// - a load that stops early keeps every field before the damage and leaves
//   every later one as it was;
// - every text read is one that can be written back, and the file the
//   writer makes of what was read reads back to the same contents.
#include "store/datafile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_reader: %s\n", what);
        std::abort();
    }
}

// Calls f on each pair of like fields of a and b, in file order.
template <typename F> void forEachField(const FileContents &a, const FileContents &b, F f)
{
    f(a.banner1, b.banner1);
    f(a.banner2, b.banner2);
    f(a.sound.MessageSound, b.sound.MessageSound);
    f(a.sound.Alert1, b.sound.Alert1);
    f(a.sound.Alert2, b.sound.Alert2);
    f(a.sound.Alert3, b.sound.Alert3);
    const AlarmTable &x = a.table;
    const AlarmTable &y = b.table;
    for (int s = 0; s < SlotCount; ++s) {
        f(x[s].date, y[s].date);
        f(x[s].message, y[s].message);
        f(x[s].time, y[s].time);
        f(x[s].repeat.daily, y[s].repeat.daily);
        f(x[s].repeat.weekly, y[s].repeat.weekly);
        f(x[s].repeat.monthly, y[s].repeat.monthly);
        f(x[s].fired, y[s].fired);
    }
}

// Two starting tables that differ in every field.
FileContents filledWith(const QString &text, qint16 number, bool flag)
{
    FileContents c;
    c.banner1 = text;
    c.banner2 = text;
    c.sound = {flag, flag, flag, flag};
    for (int s = 0; s < SlotCount; ++s) {
        c.table[s].date = text;
        c.table[s].message = text;
        c.table[s].time = text;
        c.table[s].repeat.daily = number;
        c.table[s].repeat.weekly = number;
        c.table[s].repeat.monthly = number;
        c.table[s].fired = number;
    }
    return c;
}

const FileContents StartA = filledWith(QStringLiteral("start a"), 1111, true);
const FileContents StartB = filledWith(QStringLiteral("start b"), -2222, false);

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// No text the reader gives runs over a line end, so every one of them is a
// text the writer can write back.
bool everyTextIsOneLine(const FileContents &c)
{
    bool all = !holdsLineBreak(c.banner1) && !holdsLineBreak(c.banner2);
    for (int s = 0; s < SlotCount; ++s) {
        all = all && !holdsLineBreak(c.table[s].date) && !holdsLineBreak(c.table[s].message) &&
              !holdsLineBreak(c.table[s].time);
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));

    // The same bytes read over two tables that differ everywhere: a field
    // the load reached is the same in both, one it did not reach is as it
    // was, and the fields reached come first in file order.
    FileContents readA = StartA;
    FileContents readB = StartB;
    const bool completeA = DataFile::decode(bytes, readA);
    const bool completeB = DataFile::decode(bytes, readB);
    require(completeA == completeB, "the outcome depends on the old contents");

    std::vector<bool> reached;
    forEachField(readA, readB, [&](const auto &a, const auto &b) { reached.push_back(a == b); });
    std::size_t i = 0;
    forEachField(readA, StartA, [&](const auto &now, const auto &before) {
        require(reached[i] || now == before, "a field the load did not reach has changed");
        require(i == 0 || reached[i - 1] || !reached[i], "a field after the damage was read");
        ++i;
    });
    require(completeA == reached.back(), "a complete load left a field unread");

    // Every text the reader gives is one the writer can write back, and what
    // it writes reads back to the same contents.
    require(everyTextIsOneLine(readA), "the reader gave a text with a line break");
    const QByteArray written = DataFile::encode(readA);
    FileContents again = StartB;
    require(DataFile::decode(written, again), "a file the writer wrote does not read to the end");
    require(again == readA, "a file the writer wrote reads back different contents");
    require(DataFile::encode(again) == written, "writing the same contents twice differs");
    return 0;
}
