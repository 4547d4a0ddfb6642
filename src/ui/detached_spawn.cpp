#include "ui/detached_spawn.hpp"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace gantrylux {
namespace {

// Every signal at its default action and none blocked, in the started program and whatever it
// starts: the thread that asks may be a worker, which blocks them all, and a handler of this
// process means nothing after the program is loaded.
class SpawnAttributes {
  public:
    SpawnAttributes() {
        error_ = posix_spawnattr_init(&attributes_);
        initialised_ = error_ == 0;
        if (!initialised_) {
            return;
        }
        sigset_t all;
        sigset_t none;
        sigfillset(&all);
        sigemptyset(&none);
        const short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        for (const int result : {posix_spawnattr_setflags(&attributes_, flags),
                                 posix_spawnattr_setpgroup(&attributes_, 0),
                                 posix_spawnattr_setsigdefault(&attributes_, &all),
                                 posix_spawnattr_setsigmask(&attributes_, &none)}) {
            if (result != 0 && error_ == 0) {
                error_ = result;
            }
        }
    }
    ~SpawnAttributes() {
        if (initialised_) {
            posix_spawnattr_destroy(&attributes_);
        }
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    int error() const { return error_; }
    const posix_spawnattr_t* get() const { return &attributes_; }

  private:
    posix_spawnattr_t attributes_;
    bool initialised_ = false;
    int error_ = 0;
};

// Waits for the go-between, which ends as soon as it has started the program. Its exit code is
// the error number of the start.
int StartError(pid_t goBetween) {
    int status = 0;
    while (waitpid(goBetween, &status, 0) < 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : ECHILD;
}

}  // namespace

// A go-between child starts the program and ends at once, so the program is left to init (or
// the session's subreaper) and no zombie stays behind whether or not it ever ends. Between the
// fork and its end, the go-between only calls what is safe in the child of a threaded process:
// everything that allocates is made before the fork, and the C library's posix_spawnp allocates
// nothing (it maps the new process's stack).
// Every signal is blocked across the fork, so that no handler of this process runs in the
// go-between, not even for a Ctrl+C sent to the whole terminal.
int SpawnDetached(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const SpawnAttributes attributes;
    if (attributes.error() != 0) {
        return attributes.error();
    }

    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    const pid_t goBetween = fork();
    if (goBetween == 0) {
        // A program started from a folder on a share would keep it busy.
        if (chdir("/") != 0) {
            _exit(errno);
        }
        pid_t started = 0;
        _exit(posix_spawnp(&started, argv[0], nullptr, attributes.get(), argv.data(), environ));
    }
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return goBetween < 0 ? forkError : StartError(goBetween);
}

}  // namespace gantrylux
