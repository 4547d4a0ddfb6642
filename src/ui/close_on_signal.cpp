#include "ui/close_on_signal.hpp"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace gantrylux {

#ifdef Q_OS_UNIX
namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
int signalSockets[2] = {-1, -1};
volatile std::sig_atomic_t asked = 0;

// The first signal asks the window to close. A window whose thread is stuck (a settings write
// on a home share that does not answer, a file dialog over a dead folder) never gets to it, so
// a second signal ends the process at once, with that signal's default action: a repeated
// Ctrl+C, or the session's SIGTERM after a logout, must always work.
void OnSignal(int signal) {
    const int savedErrno = errno;
    if (asked != 0) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        // Blocked while its handler runs: it is taken as this handler returns.
        raise(signal);
    } else {
        asked = 1;
        const char byte = 1;
        // The socket does not block: when it is full, the window has bytes enough to read.
        [[maybe_unused]] const ssize_t written = write(signalSockets[0], &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window) {
    if (signalSockets[0] < 0 &&
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return;  // the default action, ending at once, stays
    }
    fcntl(signalSockets[0], F_SETFL, fcntl(signalSockets[0], F_GETFL) | O_NONBLOCK);
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}
#else
void CloseOnTerminationSignals(QWidget&) {}
#endif

}  // namespace gantrylux
