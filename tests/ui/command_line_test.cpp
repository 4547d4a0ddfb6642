#include "ui/command_line.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gantrylux {
namespace {

using Action = CommandLine::Action;

struct CommandLineCase {
    const char* name;
    QStringList arguments;  // after the program's own name
    Action action;
    QString text;  // the whole answer, or for help a part of it
    std::vector<std::string> paths;
};

void PrintTo(const CommandLineCase& c, std::ostream* out) {
    *out << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, AnswersOrStartsWithThePaths) {
    const CommandLineCase& c = GetParam();
    const CommandLine line =
        ParseCommandLine(QStringList{QStringLiteral("/usr/bin/gantrylux")} + c.arguments);
    EXPECT_EQ(line.action, c.action);
    if (c.action == Action::Help) {
        EXPECT_TRUE(line.text.contains(c.text)) << line.text.toStdString();
    } else {
        EXPECT_EQ(line.text.toStdString(), c.text.toStdString());
    }
    EXPECT_EQ(line.paths, c.paths);
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
            "OptionsEndAtTwoDashes", {"--", "--help", "-v"}, Action::Start, {}, {"--help", "-v"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gantrylux
