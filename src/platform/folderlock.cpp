// SPDX-License-Identifier: MIT
// What the folder lock does on every system; how the system holds it is in
// posix/folderlock_posix.cpp or folderlock_qt.cpp.
#include "platform/folderlock.h"

FolderLock::FolderLock() = default;

FolderLock::~FolderLock() = default;

bool FolderLock::locked() const
{
    return m_held != nullptr;
}

void FolderLock::unlock()
{
    m_held.reset();
}
