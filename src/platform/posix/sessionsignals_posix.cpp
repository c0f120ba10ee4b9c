// SPDX-License-Identifier: MIT
// The session's end signals on POSIX: a handler writes the signal's number
// into a pipe that the event loop watches.
#include "platform/sessionsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end is all the handler touches: write() is safe in a signal
// handler, and the byte wakes the event loop wherever it is.
int pipeEnds[2] = {-1, -1};

extern "C" void onEndSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

constexpr int EndSignals[] = {SIGTERM, SIGHUP, SIGINT};

} // namespace

SessionSignals::SessionSignals(QObject *parent) : QObject(parent)
{
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : EndSignals)
        ::sigaction(number, &action, nullptr);
}

SessionSignals::~SessionSignals()
{
    if (!m_notifier)
        return;
    for (int number : EndSignals)
        std::signal(number, SIG_DFL);
}

void SessionSignals::readPending()
{
    char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        Q_EMIT endRequested(static_cast<unsigned char>(byte));
}
