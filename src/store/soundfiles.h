// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

#include <QString>

// The wave file each option of the sound choice plays, in the order an
// alert plays them.
struct SoundFile
{
    bool SoundChoice::*option;
    const char *fileName;
};

inline constexpr SoundFile SoundFiles[] = {{&SoundChoice::MessageSound, "checkmsgs.wav"},
                                           {&SoundChoice::Alert1, "Alert.wav"},
                                           {&SoundChoice::Alert2, "Keytry.wav"},
                                           {&SoundChoice::Alert3, "Keyhaw.wav"}};

// The wave file of one option of the sound choice.
inline QString soundFileOf(bool SoundChoice::*option)
{
    for (const SoundFile &sound : SoundFiles)
        if (sound.option == option)
            return QString::fromLatin1(sound.fileName);
    return {};
}
