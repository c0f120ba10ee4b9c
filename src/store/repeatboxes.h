// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// The three repeat boxes of an entry, as the data file, the editor's working
// copy and the acknowledgement hold them: 0 unchecked, 1 checked, 2 grey
// (shown, but not a repeat).
struct RepeatBoxes
{
    qint16 daily = 0;
    qint16 weekly = 0;
    qint16 monthly = 0;

    // A stored value as a check box can hold it: anything but 1 or 2 (a file
    // edited by hand) is unchecked.
    static qint16 boxValue(qint16 stored) { return stored == 1 || stored == 2 ? stored : 0; }

    friend bool operator==(const RepeatBoxes &, const RepeatBoxes &) = default;
};
