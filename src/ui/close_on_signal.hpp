#pragma once

class QWidget;

namespace gantrylux {

// Closes the window, as its close button would, when the process is asked to end (SIGTERM,
// SIGINT, SIGHUP): a logout or a `kill` then stores the folder list like any close.
void CloseOnTerminationSignals(QWidget& window);

}  // namespace gantrylux
