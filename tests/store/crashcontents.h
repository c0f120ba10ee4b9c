// SPDX-License-Identifier: MIT
#pragma once

#include "support/entries.h"

// The two contents the crash driver saves in turn: one of several pages,
// every slot filled, and one of a few entries, much shorter.
inline FileContents crashContents(int which)
{
    FileContents contents = contentsWith({});
    if (which == 0) {
        for (int slot = 0; slot < 32; ++slot)
            setEntry(contents, {slot, QStringLiteral("03/17/09"), QStringLiteral("09:30:00"), 0, 1,
                                0, 0, QStringLiteral("long entry %1 ").arg(slot).repeated(20)});
    } else {
        setEntry(contents, {0, QStringLiteral("12/24/09"), QStringLiteral("18:00:00"), 1, 0, 0, 1,
                            QStringLiteral("short")});
        setEntry(contents, {7, QStringLiteral("01/01/10"), QStringLiteral("00:00:00")});
    }
    return contents;
}
