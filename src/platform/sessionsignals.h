// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that end a session (SIGTERM at logout or shutdown,
// SIGHUP when the terminal or the X session goes, SIGINT from Ctrl+C) into
// a Qt signal, delivered from the event loop: the program then ends in an
// orderly way instead of dying in the middle of whatever it was doing.
// Where these signals do not exist, nothing is watched.
class SessionSignals : public QObject
{
    Q_OBJECT

public:
    explicit SessionSignals(QObject *parent = nullptr);
    ~SessionSignals() override;

Q_SIGNALS:
    void endRequested(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_notifier = nullptr;
};
