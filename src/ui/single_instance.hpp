#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "app/hand_over.hpp"

namespace gantrylux {

// One window per user: the first launch listens on a local socket in the user's runtime folder,
// and each later launch hands it its paths and ends. The socket is found by its path, chosen
// under a lock file, so that two launches at the same instant agree on one window, and a
// socket left by a program that crashed is replaced.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Role {
        First,       // this launch has the window; later launches arrive as handedOver
        HandedOver,  // the running window took the paths: this launch ends
        Alone,       // neither could be done: this launch has a window of its own
    };

    explicit SingleInstance(QObject* parent = nullptr);

    // Decides this launch's role, giving `mine` to the running window if there is one. Waits
    // at most a few seconds, and only for the other program, never for a disk.
    Role claim(const HandOver& mine);
    // Why the role is Alone, for one line on standard error.
    const QString& failure() const { return failure_; }
    // $XDG_RUNTIME_DIR/gantrylux-<uid>, or the same in the toolkit's runtime folder.
    static QString socketPath();

  signals:
    void handedOver(const gantrylux::HandOver& handOver);

  private:
    bool handOver(const HandOver& mine);
    void serve(class QLocalSocket* socket);

    QLocalServer server_;
    QString failure_;
};

}  // namespace gantrylux
