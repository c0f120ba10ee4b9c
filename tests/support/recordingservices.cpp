// SPDX-License-Identifier: MIT
#include "support/recordingservices.h"

#include <algorithm>

void RecordingMessageBoxes::show(const QString &text)
{
    shown.append(text);
    ++openNow;
    mostOpen = std::max(mostOpen, openNow);
    if (whileOpen)
        whileOpen(text);
    --openNow;
}
