// SPDX-License-Identifier: MIT
// Saves the two crash-test contents in turn through the store, for ever, in
// the current folder, and writes one byte to its output once the first save
// is done. tst_crashsave kills it at random moments.

#include "crashcontents.h"
#include "store/alarmstore.h"
#include "support/recordingservices.h"

#include <unistd.h>

int main()
{
    ProgramState state;
    AlarmStore store(state);
    const FileContents contents[2] = {crashContents(0), crashContents(1)};
    for (unsigned long count = 0;; ++count) {
        if (!store.save(contents[count % 2]).ok)
            return 3;
        if (count == 0 && write(STDOUT_FILENO, "r", 1) != 1)
            return 4;
    }
}
