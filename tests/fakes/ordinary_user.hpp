#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace gantrylux::testing {

// Root may open any folder, so what an ordinary user meets (a folder that can be listed but not
// searched) is checked in a child process that gives the privileges up first. The check's answer
// comes back as the child's exit status, 0 to 254; -1 when the child could not run it.
inline int RunAsOrdinaryUser(const std::function<int()>& check) {
    constexpr uid_t kNobody = 65534;
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(255);
        }
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace gantrylux::testing
