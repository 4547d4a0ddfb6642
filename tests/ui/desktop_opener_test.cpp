#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "fakes/fake_form.hpp"
#include "fakes/fake_xdg_open.hpp"
#include "run/opening_run.hpp"
#include "ui/qt_desktop.hpp"

namespace gantrylux {
namespace {

TEST(DesktopOpener, EachPathReachesTheDefaultApplicationExactlyAsItIs) {
    testing::FakeXdgOpen xdgOpen;
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

    EXPECT_THAT(xdgOpen.opened(paths.size()), ::testing::UnorderedElementsAreArray(paths));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/pwned")));
}

// The opener is given the path's bytes as they are, also when they are not UTF-8 (a conversion
// would open a look-alike); a relative path that begins with "-" cannot read as an option.
TEST(DesktopOpener, TheOpenerGetsThePathsExactBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/tmp/bad\xff\xfe.txt", "/tmp/bad\xff\xfe.txt"},
        {"-n \xe9t\xe9.txt", "./-n \xe9t\xe9.txt"},
    };
    testing::FakeXdgOpen xdgOpen;
    QtDesktop desktop;
    std::vector<std::string> expected;
    for (const auto& [path, received] : cases) {
        EXPECT_EQ(desktop.shellOpen(path, 1), "") << path;
        expected.push_back(received);
    }
    EXPECT_THAT(xdgOpen.opened(cases.size()), ::testing::UnorderedElementsAreArray(expected));
}

// Missing from PATH, or there but not executable: either way the answer names the command.
TEST(DesktopOpener, AnOpenerThatCannotBeStartedIsNamed) {
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir dir;
    QtDesktop desktop;
    qputenv("PATH", dir.path().toLocal8Bit());
    const std::string missing = desktop.shellOpen("/tmp/a.txt", 1);
    QFile script(dir.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n");
    script.close();
    const std::string notExecutable = desktop.shellOpen("/tmp/a.txt", 1);
    qputenv("PATH", oldPath);
    EXPECT_THAT(missing, ::testing::HasSubstr("xdg-open"));
    EXPECT_THAT(notExecutable, ::testing::HasSubstr("xdg-open"));
    testing::FakeXdgOpen xdgOpen;
    EXPECT_EQ(desktop.shellOpen("/tmp/a.txt", 1), "");
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
