// SPDX-License-Identifier: MIT
// Where there are no POSIX signals, nothing is watched.
#include "platform/sessionsignals.h"

SessionSignals::SessionSignals(QObject *parent) : QObject(parent)
{
}

SessionSignals::~SessionSignals() = default;

void SessionSignals::readPending()
{
}
