#pragma once

#include "scheduler/appcontext.h"
#include "store/platform.h"

#include <memory>

class QSoundEffect;

// The platform services on Qt.

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const QString &text) override;
};

class QtModalRunner : public ModalRunner
{
public:
    void exec(QDialog &dialog) override;
};

class QtProblemReporter : public ProblemReporter
{
public:
    explicit QtProblemReporter(MessageBoxes &boxes) : m_boxes(boxes) {}
    void report(const QString &text) override;

private:
    MessageBoxes &m_boxes;
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
