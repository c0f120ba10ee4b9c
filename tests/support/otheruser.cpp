// SPDX-License-Identifier: MIT
#include "support/otheruser.h"

#include <QFile>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

bool OtherUser::canPlayUsers()
{
    return ::geteuid() == 0;
}

void OtherUser::becomeOwner()
{
    if (!canPlayUsers())
        return;
    if (::setgroups(0, nullptr) != 0 || ::setresgid(Owner, Owner, Owner) != 0 ||
        ::setresuid(Owner, Owner, Owner) != 0)
        ::_exit(120);
}

bool OtherUser::giveTo(const QString &path, uid_t user)
{
    return canPlayUsers() && ::lchown(QFile::encodeName(path).constData(), user, user) == 0;
}

int OtherUser::inChild(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        becomeOwner();
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
