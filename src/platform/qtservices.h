// SPDX-License-Identifier: MIT
#pragma once

#include "platform/seams.h"
#include "platform/trayicon.h"

#include <QStringList>

#include <memory>

class QPluginLoader;
class SoundBackEnd;

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

// Beeps through the desktop, and plays the wave files through the sound
// plugin (Qt Multimedia), loaded the first time a sound plays: the program
// starts without the sound libraries. The plugin is the first of the given
// files that loads; by default it is looked for where the program is
// installed, then beside the program (a build tree). Without it only the
// beep sounds, and the plugin is not looked for again.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    explicit QtSoundPlayer(const QStringList &pluginFiles);
    ~QtSoundPlayer() override;
    void beep() override;
    void play(const QString &fileName) override;
    // Loads the plugin, which sets up the sound effect with the file.
    void prepare(const QString &fileName) override;

    // Where the plugin is looked for when none is given.
    static QStringList defaultPluginFiles();
    // Whether a plugin was loaded (after the first sound).
    bool backEndLoaded() const { return m_backEnd != nullptr; }

private:
    SoundBackEnd *loadBackEnd();

    QStringList m_pluginFiles;
    bool m_triedLoading = false;
    std::unique_ptr<QPluginLoader> m_loader;
    SoundBackEnd *m_backEnd = nullptr;
};

class QtHelpViewer : public HelpViewer
{
public:
    void open(const QString &path, std::function<void()> failed) override;
};
