// SPDX-License-Identifier: MIT
// What the program costs on the paths that run all the time:
// - the tick: every 500 ms the main alert window's timer posts its tick,
//   which reloads the whole data file, reads the clock, sets the date and
//   time labels and gives the 32 slots the due test. It is measured whole,
//   as the timer runs it: the real AppContext and main alert window (hidden,
//   as all day) on the offscreen platform, the event loop turning until the
//   tick has run. Its floor is the least any reader must do: read the file
//   with POSIX calls and split it into lines.
// - the store's part of the first tick after the file changed: the file is
//   parsed and the dates read again.
// - the save: the whole file written to a temporary file, flushed and
//   renamed over the old one. Its floor is a plain write of the same bytes.
//
// Run with --tikora_table=FILE to also get the figures as tab-separated rows
// (figure, value, floor, ratio, target, met) for scripts/bench.sh.
#include "platform/qtmodalrunner.h"
#include "platform/qtservices.h"
#include "platform/seams.h"
#include "platform/systemclock.h"
#include "platform/trayicon.h"
#include "scheduler/duetest.h"
#include "scheduler/schedule.h"
#include "store/alarmstore.h"
#include "store/datafile.h"
#include "store/datetext.h"
#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "floor/readlines.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A full table as the program writes it: every slot holds an armed entry
// dated next year, so the due test reads every date and nothing fires.
FileContents fullTable(const QDate &today)
{
    FileContents c;
    c.banner1 = DefaultBanner1;
    c.banner2 = DefaultBanner2;
    c.sound = {false, true, false, false};
    const QStringList messages = {
        QStringLiteral("Team meeting, room 4"), QStringLiteral("Call the garage about the car"),
        QStringLiteral("Pay the rent \u20ac 850"), QStringLiteral("Caf\u00e9 with Jos\u00e9"),
        QStringLiteral("Dentist at 10:15, bring the card")};
    for (int s = 0; s < SlotCount; ++s) {
        const QDate date = today.addYears(1).addDays(s * 5);
        c.table[s].date = DateText::formatDate(date);
        c.table[s].message = messages[s % messages.size()];
        c.table[s].time = DateText::formatTime(QTime(s % 24, (s * 7) % 60, 0));
        c.table[s].repeat.daily = s % 4 == 1 ? 1 : 0;
        c.table[s].repeat.weekly = s % 4 == 2 ? 1 : 0;
        c.table[s].repeat.monthly = s % 4 == 3 ? 1 : 0;
        c.table[s].fired = 0;
    }
    return c;
}

// A fresh folder holding a full Tikor.dat, made the current one.
class DataFolder
{
public:
    DataFolder() : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
        contents = fullTable(SystemClock().localNow().date());
        bytes = DataFile::encode(contents);
        QFile file(AlarmStore::FileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(file.fileName()));
            std::abort();
        }
    }
    ~DataFolder() { QDir::setCurrent(m_previous); }

    FileContents contents;
    QByteArray bytes;

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

// The store's part of a tick: reload the file, read the clock once, test
// the 32 slots with the window's own due tester. Returns the slots found due.
int storeTick(AlarmStore &store, ProgramState &state, DueTest::SlotTester &tester,
              const Clock &clock)
{
    if (store.load()) {
        std::fprintf(stderr, "bench: the data file did not load\n");
        std::abort();
    }
    const QDateTime now = Schedule::readClock(state, clock);
    int due = 0;
    Schedule::raiseDueSlots(state, now, tester, [&due](int) {
        ++due;
        return true;
    });
    return due;
}

// The system's clock, counting its readings: each tick reads it once.
class CountingClock : public Clock
{
public:
    QDateTime now() const override
    {
        ++reads;
        return m_system.now();
    }
    mutable long reads = 0;

private:
    SystemClock m_system;
};

// The tick of the main alert window, twice a second all day, the file the
// same as at the tick before: the program's own services and windows, the
// window's timer set to fire at every turn of the event loop.
void BM_Tick(benchmark::State &bench)
{
    DataFolder folder;
    CountingClock clock;
    QtMessageBoxes boxes;
    QtSoundPlayer sound;
    QtModalRunner modal;
    QtHelpViewer help;
    QtTrayIcon tray;
    QtProblemReporter problems(boxes, tray);
    AppContext context(Services{clock, boxes, sound, modal, problems, help, tray});
    context.mainAlert();
    auto *mainClock = context.alarmClock.findChild<QTimer *>(QStringLiteral("mainClock"));
    mainClock->start(0);
    for (auto _ : bench) {
        const long before = clock.reads;
        while (clock.reads == before)
            QCoreApplication::processEvents();
    }
    mainClock->stop();
    if (context.engine.fileContents() != folder.contents)
        bench.SkipWithError("the tick did not load the file");
}

// The first tick after the file changed (a save, an edit by hand): bytes the
// store has not read before, dates the tester has not seen. A fresh store
// and tester each time; the table in memory holds the same entries, as after
// a save that changed one flag.
void BM_TickNewFile(benchmark::State &bench)
{
    DataFolder folder;
    ProgramState state;
    SystemClock clock;
    for (auto _ : bench) {
        AlarmStore store(state);
        DueTest::SlotTester tester;
        benchmark::DoNotOptimize(storeTick(store, state, tester, clock));
    }
    if (state.file != folder.contents)
        bench.SkipWithError("the tick did not load the file");
}

// The floor program's tick: the file read with POSIX calls and split at
// its line ends.
void BM_TickFloor(benchmark::State &bench)
{
    DataFolder folder;
    std::string bytes;
    std::vector<std::string_view> lines;
    for (auto _ : bench) {
        lines = readLines(bytes);
        benchmark::DoNotOptimize(lines.size());
    }
    if (lines.size() != 227)
        bench.SkipWithError("the file did not split into 227 lines");
}

void BM_Save(benchmark::State &bench)
{
    DataFolder folder;
    ProgramState state;
    AlarmStore store(state);
    for (auto _ : bench) {
        if (!store.save(folder.contents).ok)
            bench.SkipWithError("the save failed");
    }
}

void BM_SaveFloor(benchmark::State &bench)
{
    DataFolder folder;
    for (auto _ : bench) {
        QFile file(AlarmStore::FileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(folder.bytes) != folder.bytes.size())
            std::abort();
    }
}

BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickNewFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Prints as usual and keeps the median of each benchmark: CPU time for the
// tick (what the machine pays every 500 ms), wall time for the save (what
// the program waits for).
class MedianKeeper : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const bool wall = run.run_name.function_name.rfind("BM_Save", 0) == 0;
                medians[run.run_name.function_name] =
                    wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> medians;
};

void writeTable(const std::string &path, const std::map<std::string, double> &m)
{
    std::ofstream out(path);
    char line[256];
    auto row = [&](const char *figure, double value, double floor, const char *floorName,
                   double target) {
        const double ratio = value / floor;
        const bool hasTarget = target > 0;
        std::snprintf(line, sizeof line, "%s\t%.1f us\t%.1f us (%s)\t%.2fx\t%s\t%s\n", figure,
                      value, floor, floorName, ratio, hasTarget ? "<= 3x the floor" : "none",
                      hasTarget ? (ratio <= target ? "yes" : "NO") : "-");
        out << line;
    };
    row("tick: the main alert window's whole tick as its timer runs it (CPU)", m.at("BM_Tick"),
        m.at("BM_TickFloor"), "POSIX read + split into lines", 0.0);
    row("store's part of a tick after the file changed: parse, new dates (CPU)",
        m.at("BM_TickNewFile"), m.at("BM_TickFloor"), "POSIX read + split into lines", 0.0);
    row("save: temp file, flush, rename (wall)", m.at("BM_Save"), m.at("BM_SaveFloor"),
        "plain write of the same bytes", 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    std::string tablePath;
    std::vector<char *> args;
    const std::string tableOption = "--tikora_table=";
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(tableOption, 0) == 0)
            tablePath = arg.substr(tableOption.size());
        else
            args.push_back(argv[i]);
    }
    // The windows of the tick on the offscreen platform; Qt sees no option.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    MedianKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (!tablePath.empty())
        writeTable(tablePath, reporter.medians);
    return 0;
}
