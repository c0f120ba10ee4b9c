// SPDX-License-Identifier: MIT
#pragma once

#include "platform/seams.h"
#include "platform/trayicon.h"

#include <memory>

class QSoundEffect;

// The platform services on Qt.

// Each box is shown through the real modal runner, so the tray menu works
// while it is open; it is kept on top, since it asks for an answer now and
// may come from a clock that runs behind a window kept on top.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const QString &text) override;
};

// Through the tray icon's message where there is a tray, else a message box.
class QtProblemReporter : public ProblemReporter
{
public:
    QtProblemReporter(MessageBoxes &boxes, TrayIcon &tray) : m_boxes(boxes), m_tray(tray) {}
    void report(const QString &text) override;

private:
    MessageBoxes &m_boxes;
    TrayIcon &m_tray;
};

// Plays the wave files with a sound effect created on first use, so the
// sound back end loads only when something is played.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void beep() override;
    void play(const QString &fileName) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

class QtHelpViewer : public HelpViewer
{
public:
    void open(const QString &path) override;
};
