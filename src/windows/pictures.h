// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>

// The editor's pictures, drawn by the program itself.
namespace EditorPictures {

// The Clear buttons' icon: a red cross.
QPixmap clearRow();

// The sound test buttons' icon: a small loudspeaker.
QPixmap speaker();

// The 78 x 60 picture beside the sound options: an alarm clock.
QPixmap alarmClock();

} // namespace EditorPictures
