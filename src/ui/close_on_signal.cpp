#include "ui/close_on_signal.hpp"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#endif

namespace gantrylux {

#ifdef Q_OS_UNIX
namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
int signalSockets[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalSockets[0], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget& window) {
    if (signalSockets[0] < 0 &&
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return;  // the default action, ending at once, stays
    }
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
