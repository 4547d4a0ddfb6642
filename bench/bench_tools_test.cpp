// The benchmark figures are only worth something if the tree is the same on every run and the
// tools hand on exactly what the merge built; these check that.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "folders/native_file_system.hpp"
#include "lists/merge.hpp"
#include "merge_arguments.hpp"

namespace gantrylux::bench {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "bench-tools-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct CommandRun {
    int exitCode = -1;
    std::string out;
};

// Runs a shell command line and collects its standard output, NUL bytes included.
CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("popen failed");
    }
    std::vector<char> block(1 << 16);
    std::size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), pipe)) > 0) {
        run.out.append(block.data(), got);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        begin = end == std::string::npos ? text.size() : end + 1;
    }
    return parts;
}

MergeArguments Parse(const std::vector<std::string>& args, bool acceptNul = true) {
    std::vector<const char*> argv{"tool"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    return ParseMergeArguments(static_cast<int>(argv.size()), argv.data(), acceptNul);
}

TEST(MergeArgumentsTest, FoldersNamedByHandGetTheRowSlashWhileRowsStayAsGiven) {
    const MergeArguments a = Parse(
        {"-0", "/music", "--folder", "/as/is", "--file", "/a/b.mp3", "/photos/", "--", "-dash"});
    EXPECT_TRUE(a.nulSeparated);
    EXPECT_THAT(a.folderRows, ElementsAre("/music/", "/as/is", "/photos/", "-dash/"));
    EXPECT_THAT(a.fileRows, ElementsAre("/a/b.mp3"));
}

TEST(MergeArgumentsTest, FolderListsAreReadByLineOrByNulWhenTheyHoldOne) {
    const TempFolder temp;
    WriteFile(temp / "lines", "/a\n\n/b/\n/c");
    WriteFile(temp / "nul", std::string("/with\nnewline\0/d\0", 17));
    const MergeArguments a =
        Parse({"/first", "--folders-from", temp / "lines", "--folders-from", temp / "nul"});
    EXPECT_THAT(a.folderRows,
                ElementsAre("/first/", "/a/", "/b/", "/c/", "/with\nnewline/", "/d/"));
}

TEST(MergeArgumentsTest, MistakesAreRefused) {
    EXPECT_THROW(Parse({"--file"}), std::invalid_argument);
    EXPECT_THROW(Parse({"--folders-from"}), std::invalid_argument);
    EXPECT_THROW(Parse({"--bogus"}), std::invalid_argument);
    EXPECT_THROW(Parse({"-0"}, false), std::invalid_argument);
    EXPECT_THROW(Parse({"--folders-from", "/no/such/list"}), std::invalid_argument);
}

const std::string kSmallTree = " --files 3000 --folders 120 --depth 4";

CommandRun MakeTree(const std::string& dir, const std::string& parameters = kSmallTree) {
    return RunCommand(Quote(MAKE_BENCH_TREE) + " " + Quote(dir) + parameters + " 2>&1");
}

// Every entry of a tree by relative path: "d", "f", or "l>" and the link's target.
std::map<std::string, std::string> Listing(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            entries[relative] = "l>" + fs::read_symlink(entry.path()).string();
        } else {
            entries[relative] = entry.is_directory() ? "d" : "f";
        }
    }
    return entries;
}

TEST(MakeBenchTreeTest, TheSameParametersGiveTheSameTreeInAnyFolder) {
    const TempFolder temp;
    ASSERT_EQ(MakeTree(temp / "one").exitCode, 0);
    ASSERT_EQ(MakeTree(temp / "two").exitCode, 0);
    const auto one = Listing(temp / "one");
    EXPECT_THAT(one, SizeIs(3000 + 120 + 7));
    EXPECT_EQ(one, Listing(temp / "two"));
}

TEST(MakeBenchTreeTest, TheTreeHasTheAskedSizeAndTheEntriesAWalkMustSurvive) {
    const TempFolder temp;
    const std::string root = temp / "tree";
    ASSERT_EQ(MakeTree(root).exitCode, 0);

    int folders = 0, files = 0, fileLinks = 0, tilde = 0, dot = 0, dotFolders = 0, nonAscii = 0;
    int deepest = 0, dangling = 0, loops = 0, notUtf8 = 0;
    for (const auto& [relative, kind] : Listing(root)) {
        const fs::path path = fs::path(root) / relative;
        const std::string name = path.filename().string();
        const fs::path steps(relative);
        const int depth = static_cast<int>(std::distance(steps.begin(), steps.end()));
        notUtf8 += name.find('\xff') != std::string::npos || name.find("\xc3\x28") != name.npos;
        if (kind == "d") {
            ++folders;
            deepest = std::max(deepest, depth);
            dotFolders += name[0] == '.';
            continue;
        }
        tilde += name[0] == '~';
        dot += name[0] == '.';
        nonAscii += std::any_of(name.begin(), name.end(), [](char c) { return c & 0x80; });
        if (kind == "f") {
            ++files;
        } else if (!fs::exists(path)) {
            ++dangling;
        } else if (fs::is_directory(path)) {
            const std::string target = fs::canonical(path).string() + "/";
            loops += fs::canonical(path.parent_path()).string().rfind(target, 0) == 0;
        } else {
            ++fileLinks;
        }
    }
    EXPECT_EQ(folders, 121);  // and one whose name is not UTF-8
    EXPECT_EQ(deepest, 4);
    EXPECT_EQ(files + fileLinks, 3000 + 4);
    EXPECT_GT(fileLinks, 0);
    EXPECT_EQ(dangling, 1);
    EXPECT_EQ(loops, 1);
    EXPECT_EQ(notUtf8, 2);
    EXPECT_GT(dotFolders, 0);
    EXPECT_GT(nonAscii, 3000 / 10);
    EXPECT_NEAR(tilde, 3000 * 0.02, 3000 * 0.01);
    EXPECT_NEAR(dot, 3000 * 0.03, 3000 * 0.01);
}

TEST(MakeBenchTreeTest, ACompleteTreeIsKeptAndOtherParametersRewriteIt) {
    const TempFolder temp;
    const std::string root = temp / "tree";
    ASSERT_EQ(MakeTree(root).exitCode, 0);
    WriteFile(root + "/left by hand", "");

    const CommandRun again = MakeTree(root);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_THAT(again.out, HasSubstr("up to date"));
    EXPECT_TRUE(fs::exists(root + "/left by hand"));

    ASSERT_EQ(MakeTree(root, " --files 500 --folders 20 --depth 2").exitCode, 0);
    EXPECT_FALSE(fs::exists(root + "/left by hand"));
    EXPECT_FALSE(fs::exists(root + ".make-bench-tree-old"));
    EXPECT_THAT(Listing(root), SizeIs(500 + 20 + 7));
}

TEST(MakeBenchTreeTest, AFolderItDidNotMakeIsNeverWiped) {
    const TempFolder temp;
    const std::string root = temp / "mine";
    fs::create_directory(root);
    WriteFile(root + "/keep.txt", "precious");

    const CommandRun run = MakeTree(root);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_THAT(run.out, HasSubstr("not empty"));
    EXPECT_TRUE(fs::exists(root + "/keep.txt"));
    EXPECT_THAT(Listing(root), SizeIs(1));
}

TEST(GantryluxMergeTest, PrintsExactlyWhatTheMergeBuildsAcrossManyWriteBlocks) {
    const TempFolder temp;
    const std::string root = temp / "tree";
    ASSERT_EQ(MakeTree(root, " --files 6000 --folders 300 --depth 3").exitCode, 0);
    std::string folders;
    for (const auto& [relative, kind] : Listing(root)) {
        if (kind == "d") {
            folders += root + "/" + relative + "\n";
        }
    }
    WriteFile(temp / "folders", folders);
    const std::vector<std::string> args{"--file", "/not/walked.mp3", "--folders-from",
                                        temp / "folders", root};

    const MergeArguments parsed = Parse(args);
    const MergeResult expected =
        BuildCandidates(parsed.fileRows, parsed.folderRows, *MakeNativeFileSystem(), 2);
    // Rows given twice (each folder also lies below the tree's row) put the kept rows to work.
    for (const std::string mode : {"", " --kept"}) {
        std::string command = Quote(GANTRYLUX_MERGE) + " -0" + mode;
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        const CommandRun run = RunCommand(command);
        ASSERT_EQ(run.exitCode, 0) << mode;
        ASSERT_GT(run.out.size(), std::size_t{3} << 20);  // several of the tool's write blocks
        EXPECT_EQ(Split(run.out, '\0'), expected.candidates.toStrings()) << mode;
    }
}

TEST(GantryluxMergeTest, FailuresToRunOrToWriteAreNotReportedAsSuccess) {
    EXPECT_EQ(RunCommand(Quote(GANTRYLUX_MERGE) + " --folder 2>/dev/null").exitCode, 1);
    const CommandRun full = RunCommand(Quote(GANTRYLUX_MERGE) + " --file /a.mp3 2>&1 >/dev/full");
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_THAT(full.out, HasSubstr("cannot write"));
}

}  // namespace
}  // namespace gantrylux::bench
