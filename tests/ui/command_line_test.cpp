#include "ui/command_line.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gantrylux {
namespace {

using Action = CommandLine::Action;

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;  // after the program's own name, as bytes
    Action action;
    QString text;  // the whole answer, or for help a part of it
    std::vector<std::string> paths;
    std::vector<std::string> notLocal = {};
};

void PrintTo(const CommandLineCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersOrStartsWithThePaths) {
    const CommandLineCase& c = GetParam();
    std::vector<std::string> arguments{"/usr/bin/gantrylux"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine line = ParseCommandLine(arguments);
    EXPECT_EQ(line.action, c.action);
    if (c.action == Action::Help) {
        EXPECT_TRUE(line.text.contains(c.text)) << line.text.toStdString();
    } else {
        EXPECT_EQ(line.text.toStdString(), c.text.toStdString());
    }
    EXPECT_EQ(line.paths, c.paths);
    EXPECT_EQ(line.notLocal, c.notLocal);
}

const QString kVersionLine = QStringLiteral("gantrylux " GANTRYLUX_VERSION "\n");

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"Nothing", {}, Action::Start, {}, {}},
        CommandLineCase{"Help", {"--help"}, Action::Help, "[paths...]", {}},
        CommandLineCase{"ShortHelp", {"-h"}, Action::Help, "--version", {}},
        CommandLineCase{"HelpAmongPaths", {"a.txt", "--help"}, Action::Help, "--help", {}},
        CommandLineCase{"Version", {"--version"}, Action::Version, kVersionLine, {}},
        CommandLineCase{"ShortVersion", {"-v"}, Action::Version, kVersionLine, {}},
        CommandLineCase{"UnknownOption",
                        {"--bogus", "a.txt"},
                        Action::Refuse,
                        "gantrylux: Unknown option 'bogus'. Try 'gantrylux --help'.\n",
                        {}},
        CommandLineCase{"QtsHelpIsNotOffered",
                        {"--help-all"},
                        Action::Refuse,
                        "gantrylux: Unknown option 'help-all'. Try 'gantrylux --help'.\n",
                        {}},
        CommandLineCase{"AValueForAFlag",
                        {"--version=2"},
                        Action::Refuse,
                        "gantrylux: Unexpected value after '--version'. Try 'gantrylux --help'.\n",
                        {}},
        CommandLineCase{"PathsAsGiven",
                        {"a.txt", "/tmp/Some Folder/", "../b"},
                        Action::Start,
                        {},
                        {"a.txt", "/tmp/Some Folder/", "../b"}},
        CommandLineCase{"FileUrls",
                        {"file:///tmp/My%20File.txt", "FILE:///tmp/%C3%A9t%C3%A9"},
                        Action::Start,
                        {},
                        {"/tmp/My File.txt", "/tmp/\xC3\xA9t\xC3\xA9"}},
        CommandLineCase{"OtherTextStaysAPath",
                        {"http://example.com/x", "file:name"},
                        Action::Start,
                        {},
                        {"http://example.com/x", "file:name"}},
        CommandLineCase{
            "OptionsEndAtTwoDashes", {"--", "--help", "-v"}, Action::Start, {}, {"--help", "-v"}},
        CommandLineCase{"ToolkitLookAlikesAfterTwoDashes",
                        {"a", "--", "-v", "--help", "-rf", "-", "-reverse", "--"},
                        Action::Start,
                        {},
                        {"a", "-v", "--help", "-rf", "-", "-reverse", "--"}},
        CommandLineCase{"HelpSaysTwoDashesEndTheOptions", {"-h"}, Action::Help, "  --  ", {}},
        // A name that is not UTF-8 stays the bytes it is.
        CommandLineCase{"BytesAsGiven",
                        {"/t/bad\xff\xfe.txt", "/t/dir\xe9"},
                        Action::Start,
                        {},
                        {"/t/bad\xff\xfe.txt", "/t/dir\xe9"}},
        // Only a file URL of this machine names a local file.
        CommandLineCase{"FileUrlHosts",
                        {"file:///p", "file://localhost/p", "FILE://LocalHost/q", "file:/r",
                         "file://etc/hostname", "file://server/share/x", "file:///a%ZZ%41",
                         "file:///x%FF?query#part"},
                        Action::Start,
                        {},
                        {"/p", "/p", "/q", "/r", "/a%ZZA", "/x\xff"},
                        {"file://etc/hostname", "file://server/share/x"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

TEST(ToolkitArguments, EndBeforeTheFirstTwoDashes) {
    const char* const withDashes[] = {"gantrylux", "-style", "x", "--", "-reverse", "--"};
    EXPECT_EQ(ToolkitArgumentCount(6, withDashes), 3);
    const char* const without[] = {"gantrylux", "-platform", "offscreen"};
    EXPECT_EQ(ToolkitArgumentCount(3, without), 3);
}

}  // namespace
}  // namespace gantrylux

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <fstream>
#include <set>

#include "fakes/file_content.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "lists/merge.hpp"

extern char** environ;

namespace gantrylux {
namespace {

// The program itself, started in a folder of files named like options and with names that are
// not UTF-8: after "--" each is a file of the list, byte for byte, and the toolkit reads none.
TEST(CommandLineProgram, EverythingAfterTwoDashesIsAFileAsTheBytesGiven) {
    testing::TempTree tree;
    const std::vector<std::string> names = {
        "-v",        "--help",          "-rf",
        "-",         "-reverse",        "-platform",
        "offscreen", "bad\xff\xfe.txt", "bad\xef\xbf\xbd\xef\xbf\xbd.txt"};
    for (const std::string& name : names) {
        std::ofstream(tree.path() + "/" + name) << "x";
    }
    const std::string report = tree.path() + "/report";
    std::vector<std::string> arguments = {GANTRYLUX_PROGRAM, "--", "-v", "--help", "-rf", "-",
                                          "-reverse"};
    arguments.insert(arguments.end(), {"-platform", "offscreen", "bad\xff\xfe.txt"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    setenv("GANTRYLUX_STARTUP_REPORT", report.c_str(), 1);
    // Its own runtime folder: a window of another test would otherwise take the paths.
    const std::string runtime = tree.path("runtime");
    mkdir(runtime.c_str(), 0700);
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, tree.path().c_str());
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv("GANTRYLUX_STARTUP_REPORT");
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    const std::string text = testing::FileContent(QString::fromStdString(report)).toStdString();
    EXPECT_NE(text.find("layout: left-to-right\n"), std::string::npos) << text;
    std::string expected;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        expected += "file: " + tree.path() + "/" + arguments[i] + "\n";
    }
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    EXPECT_EQ(text.find("\xef\xbf\xbd"), std::string::npos) << text;
}

// `gantrylux --print`, run as a program with no display.
struct Printed {
    int status;
    std::vector<std::string> paths;  // the output split at NULs
    QString errors;
};

Printed Print(const QStringList& arguments,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess program;
    QProcessEnvironment withoutDisplay = environment;
    withoutDisplay.remove(QStringLiteral("DISPLAY"));
    withoutDisplay.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(withoutDisplay);
    program.start(QStringLiteral(GANTRYLUX_PROGRAM), arguments);
    program.waitForFinished(60000);
    Printed printed{program.exitCode(), {}, QString::fromLocal8Bit(program.readAllStandardError())};
    for (const QByteArray& path : program.readAllStandardOutput().split('\0')) {
        if (!path.isEmpty()) {
            printed.paths.push_back(path.toStdString());
        }
    }
    return printed;
}

TEST(PrintProgram, PrintsTheMergesCandidatesAndKeepsItsExitStatuses) {
    testing::TempTree tree;
    for (const char* name : {"a.txt", "Sub/b.txt", "Sub/new\nline.txt", "Sub/~skip.txt", "c.txt"}) {
        tree.file(name);
    }
    tree.folder("Empty");
    const auto fs = MakeNativeFileSystem();
    const std::vector<std::string> merged =
        BuildCandidates({}, {tree.folderRow()}, *fs, 1).candidates.toStrings();
    const QString folder = QString::fromStdString(tree.path());

    const Printed all = Print({QStringLiteral("--print"), QStringLiteral("-0"), folder});
    EXPECT_EQ(all.status, 0) << all.errors.toStdString();
    EXPECT_THAT(all.paths, ::testing::UnorderedElementsAreArray(merged));
    const Printed three = Print({QStringLiteral("--print"), QStringLiteral("-0"),
                                 QStringLiteral("-n"), QStringLiteral("3"), folder});
    EXPECT_EQ(std::set<std::string>(three.paths.begin(), three.paths.end()).size(), 3u);
    EXPECT_EQ(Print({QStringLiteral("--print"), folder + QStringLiteral("/Empty")}).status, 1);
    EXPECT_EQ(Print({QStringLiteral("--print"), QStringLiteral("-n"), QStringLiteral("x")}).status,
              2);
}

// With no path, the stored folder list gives the rows, and the settings file stays as it was.
TEST(PrintProgram, WithoutPathsPrintsTheStoredFoldersAndLeavesTheSettingsAlone) {
    testing::TempTree tree;
    tree.file("Music/a.mp3");
    tree.folder("config");
    const QString ini = QString::fromStdString(tree.path("config/Quillmere.ini"));
    const QByteArray stored = "[Gantrylux%20Software]\nListView3=\"" +
                              QByteArray::fromStdString(tree.folderRow("Music")) +
                              ";\"\nInterval=3\n";
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(stored);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QString::fromStdString(tree.path("config")));
    const Printed printed = Print({QStringLiteral("--print"), QStringLiteral("-0")}, environment);
    EXPECT_EQ(printed.status, 0) << printed.errors.toStdString();
    EXPECT_THAT(printed.paths, ::testing::ElementsAre(tree.path("Music/a.mp3")));
    EXPECT_EQ(testing::FileContent(ini), stored);
}

}  // namespace
}  // namespace gantrylux
