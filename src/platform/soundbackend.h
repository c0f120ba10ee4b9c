// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtPlugin>

// What the sound plugin gives the program: wave files played through Qt
// Multimedia. The plugin is loaded the first time a sound plays, so the
// program starts without the sound libraries (see QtSoundPlayer).
class SoundBackEnd
{
public:
    virtual ~SoundBackEnd() = default;
    // Plays a wave file named without a folder (see SoundLookup) without
    // blocking, cutting off the sound before it; a missing one is silent.
    virtual void play(const QString &fileName) = 0;
    // Sets up what playing the file needs (the audio output, the decoded
    // file), so that play() of it starts at once.
    virtual void prepare(const QString &fileName) = 0;
};

#define TikoraSoundBackEndIid "org.example.Tikora.SoundBackEnd/2"
Q_DECLARE_INTERFACE(SoundBackEnd, TikoraSoundBackEndIid)
