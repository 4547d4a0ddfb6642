#include "list_commands_fixture.hpp"
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace gantrylux {
namespace {

using testing::CaseName;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ListCommandsTest;
using testing::PrintTo;

enum class Action { DoubleClick, Key, Clear };

struct RemovalCase {
    const char* name;
    ListId list;
    Action action;
    int key;
    std::size_t rows;  // "r1", "r2", ... before the action
    std::optional<std::size_t> selected;
    bool busy;
    std::vector<std::string> left;
    int merges;
};

class RemovalTest : public ListCommandsTest, public ::testing::WithParamInterface<RemovalCase> {
  protected:
    void act(const RemovalCase& c) {
        const bool fileList = c.list == ListId::Files;
        switch (c.action) {
            case Action::DoubleClick:
                fileList ? commands.ListView1_DblClick() : commands.ListView3_DblClick();
                break;
            case Action::Key:
                fileList ? commands.ListView1_KeyDown(c.key) : commands.ListView3_KeyDown(c.key);
                break;
            case Action::Clear:
                fileList ? commands.PushButton3_Click() : commands.PushButton6_Click();
                break;
        }
    }
};

TEST_P(RemovalTest, RemovesWhatItShouldAndMergesWhenItShould) {
    const RemovalCase& c = GetParam();
    PathList& list = c.list == ListId::Files ? files : folders;
    PathList& other = c.list == ListId::Files ? folders : files;
    for (std::size_t row = 1; row <= c.rows; ++row) {
        list.append("r" + std::to_string(row));
    }
    other.append("other");
    form.selected[static_cast<int>(c.list)] = c.selected;
    {
        std::optional<BusyGuard> working;
        if (c.busy) {
            working.emplace(busy);
        }
        act(c);
    }
    EXPECT_EQ(list.texts(), c.left);
    EXPECT_THAT(other.texts(), ElementsAre("other"));
    EXPECT_EQ(merges.count, c.merges);
    if (c.merges > 0) {
        EXPECT_EQ(candidates.texts(), files.texts());  // no row names a folder
    }
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

const std::vector<std::string> kAll{"r1", "r2", "r3"};

INSTANTIATE_TEST_SUITE_P(
    Actions, RemovalTest,
    ::testing::Values(
        RemovalCase{
            "FileDoubleClick", ListId::Files, Action::DoubleClick, 0, 3, 2, false, {"r1", "r3"}, 1},
        RemovalCase{"FolderDoubleClick",
                    ListId::Folders,
                    Action::DoubleClick,
                    0,
                    3,
                    2,
                    false,
                    {"r1", "r3"},
                    1},
        RemovalCase{
            "FileDelete", ListId::Files, Action::Key, kDeleteKey, 3, 3, false, {"r1", "r2"}, 1},
        RemovalCase{
            "FolderDelete", ListId::Folders, Action::Key, kDeleteKey, 3, 3, false, {"r1", "r2"}, 1},
        RemovalCase{"FileArrowKeyOnlyMerges", ListId::Files, Action::Key, 40, 3, 2, false, kAll, 1},
        RemovalCase{"FolderArrowKeyDoesNothing", ListId::Folders, Action::Key, 40, 3, 2, false,
                    kAll, 0},
        RemovalCase{"NoSelection", ListId::Files, Action::DoubleClick, 0, 3, std::nullopt, false,
                    kAll, 1},
        RemovalCase{"EmptyList", ListId::Folders, Action::Key, kDeleteKey, 0, 1, false, {}, 1},
        RemovalCase{"SelectionPastTheEnd",
                    ListId::Files,
                    Action::Key,
                    kDeleteKey,
                    2,
                    3,
                    false,
                    {"r1", "r2"},
                    1},
        // The hourglass of a job under way never holds a command back.
        RemovalCase{"BusyFileDoubleClick",
                    ListId::Files,
                    Action::DoubleClick,
                    0,
                    3,
                    2,
                    true,
                    {"r1", "r3"},
                    1},
        RemovalCase{"BusyFolderDelete",
                    ListId::Folders,
                    Action::Key,
                    kDeleteKey,
                    3,
                    2,
                    true,
                    {"r1", "r3"},
                    1},
        RemovalCase{"ClearFiles", ListId::Files, Action::Clear, 0, 3, std::nullopt, false, {}, 1},
        RemovalCase{"BusyClearFilesEmptiesThem",
                    ListId::Files,
                    Action::Clear,
                    0,
                    3,
                    std::nullopt,
                    true,
                    {},
                    1},
        RemovalCase{"BusyClearFoldersEmptiesThem",
                    ListId::Folders,
                    Action::Clear,
                    0,
                    3,
                    std::nullopt,
                    true,
                    {},
                    1},
        RemovalCase{
            "ClearAnEmptyList", ListId::Folders, Action::Clear, 0, 0, std::nullopt, false, {}, 1}),
    CaseName<RemovalCase>);

// Delete leaves the row after the removed one selected (the last, at the end), so that a
// keyboard user can go on pressing it; a double-click leaves the selection to the pointer.
TEST_F(ListCommandsTest, DeleteSelectsTheNextRowSoItCanBePressedAgain) {
    folders.append(std::vector<std::string>{"r1", "r2", "r3", "r4"});
    std::optional<std::size_t>& selected = form.selected[static_cast<int>(ListId::Folders)];
    selected = 2;
    commands.ListView3_KeyDown(kDeleteKey);
    EXPECT_EQ(selected, 2u);
    selected = 3;
    commands.ListView3_KeyDown(kDeleteKey);
    EXPECT_EQ(selected, 2u);  // r4 went; r3 is the last
    commands.ListView3_KeyDown(kDeleteKey);
    commands.ListView3_KeyDown(kDeleteKey);
    EXPECT_THAT(folders.texts(), IsEmpty());
    EXPECT_EQ(merges.count, 4);

    files.append(std::vector<std::string>{"f1", "f2", "f3"});
    form.selected[static_cast<int>(ListId::Files)] = 3;
    commands.ListView1_DblClick();
    EXPECT_EQ(form.selected[static_cast<int>(ListId::Files)], 3u);  // not moved to f2
}

// Dropped paths are written relative to the tree: "D/" is the folder with its final separator,
// and "//x" the file x with a doubled separator before it.
struct DropCase {
    const char* name;
    std::vector<std::string> dropped;
    std::vector<std::string> rows;
};

class DropTest : public ListCommandsTest, public ::testing::WithParamInterface<DropCase> {
  protected:
    DropTest() {
        for (const char* file :
             {"x.txt", "y.txt", "z.txt", "D/a.txt", "D/~$a.txt", "D/Sub/b.txt", "A/a1", "B/b1"}) {
            tree.file(file);
        }
#ifndef _WIN32
        tree.file("D/.h");  // reads as hidden plus archive
#endif
    }
    std::string at(const std::string& relative) const {
        if (relative.starts_with("//")) {
            return tree.path() + sep() + sep() + relative.substr(2);
        }
        if (relative.ends_with('/')) {
            return tree.folderRow(relative.substr(0, relative.size() - 1));
        }
        return tree.path(relative);
    }
    std::vector<std::string> all(const std::vector<std::string>& relative) const {
        std::vector<std::string> paths;
        for (const std::string& path : relative) {
            paths.push_back(at(path));
        }
        return paths;
    }
};

TEST_P(DropTest, OnTheFileListAddsFilesAndTheFilesOfFoldersThenMergesOnce) {
    commands.ListView1_OLEDragDrop(all(GetParam().dropped));
    EXPECT_EQ(files.texts(), all(GetParam().rows));
    EXPECT_EQ(merges.count, 1);
    EXPECT_EQ(candidates.texts(), files.texts());
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

std::vector<DropCase> DropCases() {
    std::vector<DropCase> cases{
        {"ThreeFiles", {"z.txt", "x.txt", "y.txt"}, {"z.txt", "x.txt", "y.txt"}},
        {"TheSameFileTwice", {"x.txt", "x.txt"}, {"x.txt", "x.txt"}},
        {"AFileStaysAsGiven", {"//x.txt"}, {"//x.txt"}},
        {"AFolder", {"D"}, {"D/a.txt", "D/Sub/b.txt"}},
        {"AFolderWithItsSeparator", {"D/"}, {"D/a.txt", "D/Sub/b.txt"}},
        {"TwoFolders", {"B", "A"}, {"B/b1", "A/a1"}},
        {"AFileThenAFolder", {"x.txt", "D"}, {"x.txt", "D/a.txt", "D/Sub/b.txt"}},
        {"AFolderThenAFile", {"D", "x.txt"}, {"D/a.txt", "D/Sub/b.txt", "x.txt"}},
        {"AVanishedPath", {"gone", "y.txt", "gone/"}, {"y.txt"}}};
#ifndef _WIN32
    cases.push_back({"AHiddenArchiveFileByItself", {"D/.h"}, {"D/.h"}});
#endif
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Drops, DropTest, ::testing::ValuesIn(DropCases()), CaseName<DropCase>);

TEST_F(DropTest, OnTheFolderListAddsTheFoldersOnly) {
    commands.ListView3_OLEDragDrop(all({"A", "x.txt", "D/", "gone"}));
    EXPECT_EQ(folders.texts(), all({"A/", "D/"}));
    EXPECT_EQ(candidates.texts(), all({"A/a1", "D/a.txt", "D/Sub/b.txt"}));
    EXPECT_EQ(merges.count, 1);
}

TEST_F(DropTest, AFolderThatCannotBeReadIsSkippedSilently) {
    fs.failures[tree.path("D/Sub")] = fs_error::kPathFileAccess;
    commands.ListView1_OLEDragDrop(all({"D"}));
    EXPECT_EQ(files.texts(), all({"D/a.txt"}));
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

TEST_F(DropTest, CommandLinePathsAddAsADropWithTheMissingNamedInOneMessage) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tree.at(""));
    commands.AddCommandLinePaths({"x.txt", "gone", at("D/"), "gone/too"});
    std::filesystem::current_path(before);
    EXPECT_EQ(files.texts(), all({"x.txt", "D/a.txt", "D/Sub/b.txt"}));
    EXPECT_EQ(merges.count, 1);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, ::testing::EndsWith("\r\ngone\r\ngone/too"));
    EXPECT_THAT(store.writes, IsEmpty());
}

// However many are missing, the message fits on the screen: twenty, then how many more. A file
// URL of another machine is named with them.
TEST_F(DropTest, TheMissingAreNamedTwentyAtMost) {
    std::vector<std::string> missing;
    for (int i = 0; i < 10000; ++i) {
        missing.push_back(at("gone" + std::to_string(i)));
    }
    commands.AddCommandLinePaths(missing, {}, {"file://server/x"});
    ASSERT_EQ(desktop.boxes.size(), 1u);
    const std::string& text = desktop.boxes[0].text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
    EXPECT_THAT(text, ::testing::HasSubstr("\r\nfile://server/x\r\n" + at("gone0") + "\r\n"));
    EXPECT_THAT(text, ::testing::EndsWith("\r\n" + at("gone18") + "\r\nand 9981 more"));
}

#ifndef _WIN32
// A pipe, a link to one and a device exist, but no viewer could read them to an end.
TEST_F(DropTest, CommandLinePathsThatAreNeitherFilesNorFoldersAreNamedNotAdded) {
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(at("pipe"), at("link"));
    commands.AddCommandLinePaths({at("pipe"), at("link"), "/dev/null", at("x.txt")});
    EXPECT_EQ(files.texts(), all({"x.txt"}));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text,
                ::testing::EndsWith("\r\n" + at("pipe") + "\r\n" + at("link") + "\r\n/dev/null"));
}
#endif

TEST_F(DropTest, ADropCutShortByClosingAddsNothing) {
    desktop.whileWaiting = [&] { desktop.closeProgram(); };
    commands.ListView1_OLEDragDrop(all({"x.txt", "D"}));
    commands.ListView3_OLEDragDrop(all({"D"}));
    EXPECT_TRUE(files.empty());
    EXPECT_TRUE(folders.empty());
    EXPECT_EQ(merges.count, 0);
}

}  // namespace
}  // namespace gantrylux
