#pragma once
// Runs a check as an unprivileged user, so that permission cases are tested
// even when the suite runs as root (who reads and writes every file).

#include <functional>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// True when the check passed. As root it runs in a child process that has
// become "nobody"; otherwise in this process, which is unprivileged already.
inline bool passesAsOtherUser(const std::function<bool()> &check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        const bool ok = setgid(65534) == 0 && setuid(65534) == 0 && check();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
