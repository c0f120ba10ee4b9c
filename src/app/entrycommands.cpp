// SPDX-License-Identifier: MIT
#include "app/entrycommands.h"

#include "app/singlecopy.h"
#include "engine/alarmengine.h"
#include "engine/services.h"
#include "platform/systemclock.h"
#include "store/alarmstore.h"

#include <QFileInfo>
#include <QTextStream>

namespace EntryCommands {

namespace {

const QString NothingAdded = QStringLiteral("; nothing was added");

// The command's own engine asks the user nothing: what goes wrong is in its
// results, or said on standard error.
class StandardError : public MessageBoxes, public ProblemReporter
{
public:
    explicit StandardError(QTextStream &err) : m_err(err) {}
    void show(const QString &text) override { report(text); }
    void report(const QString &text) override
    {
        m_err << "tikora: " << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" "))
              << "\n";
        m_err.flush();
    }

private:
    QTextStream &m_err;
};

class Silence : public SoundPlayer
{
public:
    void beep() override {}
    void play(const QString &) override {}
    void prepare(const QString &) override {}
};

// The command on the file itself, with this process holding the folder.
HandOver::Reply onTheFile(const CommandLine::Outcome &outcome, const EntryTexts::Typed &entry,
                          QTextStream &err)
{
    SystemClock clock;
    StandardError told(err);
    Silence silence;
    AlarmEngine engine(clock, told, told, silence);
    const bool existed = QFileInfo::exists(AlarmStore::FileName);
    // A damaged file is never written over here: the program keeps its copy
    // first, and tells the user what it could read.
    if (engine.fileDamaged()) {
        return {1, QStringLiteral("%1 is damaged; nothing was %2. Start Tikora to see what "
                                  "it can read (it keeps the damaged file as %3).")
                       .arg(AlarmStore::FileName,
                            outcome.command == CommandLine::Command::Add ? QStringLiteral("added")
                                                                         : QStringLiteral("listed"),
                            AlarmStore::BadCopyName)};
    }
    engine.ensureLoaded();
    if (outcome.command == CommandLine::Command::List)
        return list(engine);
    // A first file gets the banners the program writes.
    if (!existed) {
        engine.useDefaultBanners();
    }
    return add(engine, entry, clock.localNow().date());
}

} // namespace

EntryTexts::Typed typed(const QStringList &entry, const QString &repeat)
{
    EntryTexts::Typed result;
    result.date = entry.value(0);
    result.time = entry.value(1);
    result.message = entry.value(2);
    result.repeat = EntryTexts::repeatNamed(repeat).value_or(Repeat::None);
    return result;
}

HandOver::Reply add(AlarmEngine &engine, const EntryTexts::Typed &typed, const QDate &today,
                    const std::function<void(const QString &text)> &tellSaveFailure)
{
    const std::variant<Entry, EntryTexts::Problem> checked = EntryTexts::check(typed, today);
    if (const auto *problem = std::get_if<EntryTexts::Problem>(&checked))
        return {CommandLine::BadUsage, problem->text + NothingAdded};
    const Entry &entry = std::get<Entry>(checked);
    const AlarmEngine::Added added = engine.addEntry(entry);
    if (!added.slot) {
        return {CommandLine::StartRefused,
                QStringLiteral("all %1 rows hold an alarm: empty one in the editor first")
                        .arg(SlotCount) +
                    NothingAdded};
    }
    if (!added.saved.ok) {
        const QString failure = AlarmStore::saveFailureText(added.saved.reason);
        if (tellSaveFailure)
            tellSaveFailure(failure);
        return {CommandLine::StartRefused, failure + NothingAdded};
    }
    return {CommandLine::Ok, EntryTexts::line(*added.slot, entry) + u'\n'};
}

HandOver::Reply list(const AlarmEngine &engine)
{
    QString text;
    for (int slot = 0; slot < SlotCount; ++slot) {
        // As the next save would write it.
        const Entry entry = engine.row(slot).entry(engine.table()[slot].fired);
        if (!EntryTexts::isEmpty(entry))
            text += EntryTexts::line(slot, entry) + u'\n';
    }
    return {CommandLine::Ok, text};
}

int run(const CommandLine::Outcome &outcome, QTextStream &out, QTextStream &err,
        bool &mustEndAtOnce)
{
    mustEndAtOnce = false;
    const bool adding = outcome.command == CommandLine::Command::Add;
    const EntryTexts::Typed entry = typed(outcome.entry, outcome.repeat);
    const auto say = [&out, &err](const HandOver::Reply &reply) {
        if (reply.exitCode == CommandLine::Ok) {
            out << reply.text;
            out.flush();
        } else if (!reply.text.isEmpty()) {
            err << "tikora: " << reply.text << "\n";
            err.flush();
        }
        return reply.exitCode;
    };
    // A bad entry is told before anything is looked at, by this clock's
    // today; the running copy checks it again by its own.
    if (adding) {
        const auto checked = EntryTexts::check(entry, SystemClock().localNow().date());
        if (const auto *problem = std::get_if<EntryTexts::Problem>(&checked))
            return say({CommandLine::BadUsage, problem->text + NothingAdded});
    }
    if (const QString problem = AlarmStore::placeProblem(); !problem.isEmpty())
        return say({CommandLine::StartRefused, unsafePlaceText(problem)});

    SingleCopy copy;
    switch (copy.acquire()) {
    case SingleCopy::Locked:
        return say(onTheFile(outcome, entry, err));
    case SingleCopy::Refused:
        return say({CommandLine::StartRefused, refusedLockText(copy.problem())});
    case SingleCopy::AlreadyRunning:
        break;
    }
    const HandOver::Answer answer =
        adding ? HandOver::ask(copy.busyFolder(), HandOver::Request::Add,
                               {entry.date, entry.time, entry.message, outcome.repeat})
               : HandOver::ask(copy.busyFolder(), HandOver::Request::List);
    mustEndAtOnce = answer.stuck;
    if (!answer.answered) {
        return say({CommandLine::StartRefused,
                    QStringLiteral("Tikora is already running in this folder and did not "
                                   "answer (it answers on the session bus); nothing was %1")
                        .arg(adding ? QStringLiteral("added") : QStringLiteral("listed"))});
    }
    return say(answer.reply);
}

} // namespace EntryCommands
