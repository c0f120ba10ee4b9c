// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The hand-over between two starts in one data folder. The copy that runs
// there answers the later start on the user's session bus, under a name of
// that folder's own (a hash of its canonical path), so copies in other
// folders never answer for it. The session bus is the user's own: only the
// user's own programs reach it, and the running copy also refuses a caller
// the bus says is another user. Without a session bus there is no hand-over.
namespace HandOver {

// How long a later start waits for the running copy at most, connecting to
// the bus included: a bus that does not answer holds no start for longer.
inline constexpr int AnswerMs = 5000;

// The bus name of the copy that runs in a folder, given by its canonical
// path.
QString busName(const QString &folder);

// The running copy's answer to a request: the exit code the later start
// ends with, and what it prints (on standard output for 0, else on
// standard error; nothing when empty).
struct Reply
{
    int exitCode = 0;
    QString text;
};

// What the running copy does for a later start.
class Requests
{
public:
    virtual ~Requests() = default;
    // A second start: the main alert window, as the tray's "&Tikora" shows it.
    virtual Reply show() = 0;
    // `tikora --add`: the texts as the user typed them, the repeat by name.
    virtual Reply add(const QString &date, const QString &time, const QString &message,
                      const QString &repeat) = 0;
    // `tikora --list`.
    virtual Reply list() = 0;
};

// The running copy's side: answers later starts in the given folders from
// the event loop, for as long as it lives. Connecting to the bus happens on
// a thread of its own, so a bus that does not answer never holds up the
// program; the names are taken as soon as it has, and a call that comes
// before the event loop runs is answered once it does.
class Service
{
public:
    explicit Service(Requests &requests);
    ~Service();
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    void start(const QStringList &folders);

    struct Private;

private:
    std::shared_ptr<Private> d;        // shared with the thread that connects
    std::unique_ptr<QObject> m_object; // what the bus calls, on the main thread
};

enum class Request { Show, Add, List };

struct Answer
{
    // False: no session bus, no copy on it under the folder's name, or no
    // answer in time.
    bool answered = false;
    // The bus itself did not answer in time: a thread still waits on it, so
    // the process must end without running its exit handlers (_Exit).
    bool stuck = false;
    Reply reply;
};

// The later start's side: asks the copy running in `folder` (canonical
// path), waiting at most `waitMs`. `arguments` are those of add().
Answer ask(const QString &folder, Request request, const QStringList &arguments = {},
           int waitMs = AnswerMs);

} // namespace HandOver
