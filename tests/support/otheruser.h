// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>
#include <sys/types.h>

// Tests of who owns what. CI runs as root, where permissions stop nothing:
// there a test plays two ordinary users, the one whose alarms they are and
// another one. Run by anyone else, the child processes stay that user and
// the cases that need a second owner are skipped.
namespace OtherUser {

inline constexpr uid_t Owner = 65534;
inline constexpr uid_t Stranger = 65533;

bool canPlayUsers();

// In a child process: becomes the owner (when run by root).
void becomeOwner();

// Gives a file, a folder or a link (not what it points to) to a user.
bool giveTo(const QString &path, uid_t user);

// Runs `body` in a child process that has become the owner; its exit code,
// or -1 when it did not exit normally (a signal ended it).
int inChild(const std::function<int()> &body);

} // namespace OtherUser
