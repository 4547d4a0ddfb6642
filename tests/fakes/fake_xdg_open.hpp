#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace gantrylux::testing {

// A stand-in for xdg-open, first on PATH while the object lives, that records the one argument
// of each call instead of opening anything.
class FakeXdgOpen {
  public:
    FakeXdgOpen() : oldPath_(qgetenv("PATH")) {
        QFile script(dir_.filePath(QStringLiteral("xdg-open")));
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n[ $# -eq 1 ] || exit 3\nprintf '%s\\0' \"$1\" >> \"" +
                         record().toLocal8Bit() + "\"\n");
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", dir_.path().toLocal8Bit() + ":" + oldPath_);
    }
    ~FakeXdgOpen() { qputenv("PATH", oldPath_); }
    FakeXdgOpen(const FakeXdgOpen&) = delete;
    FakeXdgOpen& operator=(const FakeXdgOpen&) = delete;

    // The paths opened so far, waiting up to ten seconds for at least `expected` of them: the
    // program does not wait for what it starts.
    std::vector<std::string> opened(std::size_t expected) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::vector<std::string> paths;
        for (;;) {
            paths.clear();
            QFile file(record());
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray& entry : file.readAll().split('\0')) {
                    if (!entry.isEmpty()) {
                        paths.push_back(entry.toStdString());
                    }
                }
            }
            if (paths.size() >= expected || std::chrono::steady_clock::now() >= deadline) {
                return paths;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

  private:
    QString record() const { return dir_.filePath(QStringLiteral("record")); }

    QTemporaryDir dir_;
    QByteArray oldPath_;
};

}  // namespace gantrylux::testing
