// SPDX-License-Identifier: MIT
#pragma once

#include "engine/services.h"

#include <QStringList>

#include <functional>

// Answers every message box at once, after running the hook as if the box
// were open (a test runs ticks there, as the real nested event loop would).
class RecordingMessageBoxes : public MessageBoxes
{
public:
    void show(const QString &text) override;

    QStringList shown;
    int openNow = 0;  // boxes open at this moment
    int mostOpen = 0; // the most that were ever open at once
    std::function<void(const QString &text)> whileOpen;
};

// Records "beep" and "play <name>" in the order they were asked for.
class RecordingSound : public SoundPlayer
{
public:
    void beep() override { calls.append(QStringLiteral("beep")); }
    void play(const QString &fileName) override
    {
        calls.append(QStringLiteral("play ") + fileName);
    }
    void prepare(const QString &fileName) override { prepared.append(fileName); }

    QStringList calls;
    QStringList prepared; // the files made ready, in order
};

class RecordingProblems : public ProblemReporter
{
public:
    void report(const QString &text) override { reported.append(text); }

    QStringList reported;
};
