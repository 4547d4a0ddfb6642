#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "fakes/fake_form.hpp"
#include "run/opening_run.hpp"
#include "ui/qt_desktop.hpp"

namespace gantrylux {
namespace {

// The paths xdg-open was given, one per call, read back from the stand-in's record.
std::vector<std::string> ReadRecord(const QString& file, std::size_t expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<std::string> paths;
    while (std::chrono::steady_clock::now() < deadline) {
        QFile record(file);
        if (record.open(QIODevice::ReadOnly)) {
            paths.clear();
            for (const QByteArray& entry : record.readAll().split('\0')) {
                if (!entry.isEmpty()) {
                    paths.push_back(entry.toStdString());
                }
            }
            if (paths.size() >= expected) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return paths;
}

TEST(DesktopOpener, EachPathReachesTheDefaultApplicationExactlyAsItIs) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("record"));
    // A stand-in for xdg-open, first on PATH, that records each argument it gets.
    const QString fake = dir.filePath(QStringLiteral("xdg-open"));
    {
        QFile script(fake);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n[ $# -eq 1 ] || exit 3\nprintf '%s\\0' \"$1\" >> \"" +
                     record.toLocal8Bit() + "\"\n");
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit() + ":" + oldPath);

    const std::vector<std::string> paths = {"/tmp/with space.txt",     "/tmp/quote\"d'.txt",
                                            "/tmp/$(touch pwned).txt", "/tmp/-leading dash",
                                            "/tmp/été 日本.txt",       "/tmp/back\\slash;&|.txt"};
    PathList candidates;
    for (const std::string& path : paths) {
        candidates.append(path);
    }
    testing::FakeForm form;
    form.interval = "0";
    QtDesktop desktop;
    SystemClock clock;
    OpeningRun run(form, desktop, candidates, clock);
    run.PushButton2_Click();

    EXPECT_THAT(ReadRecord(record, paths.size()), ::testing::UnorderedElementsAreArray(paths));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/pwned")));
    qputenv("PATH", oldPath);
}

TEST(DesktopOpener, AWaitHandlesEventsAndNeverEndsEarly) {
    QtDesktop desktop;
    SystemClock clock;
    bool handled = false;
    QTimer::singleShot(10, [&] { handled = true; });
    const auto start = std::chrono::steady_clock::now();
    desktop.waitForEvents(start + std::chrono::milliseconds(150));
    EXPECT_TRUE(handled);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

}  // namespace
}  // namespace gantrylux
