#include <algorithm>

#include "folders/folder_reader.hpp"
#include "list_commands_fixture.hpp"
#include "lists/folder_rows.hpp"

namespace gantrylux {
namespace {

using testing::CaseName;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ListCommandsTest;
using testing::PrintTo;
using ::testing::UnorderedElementsAre;

constexpr const char* kPickerAsked = "browseForFolder: Please select folder: ";
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A path written with "/" in the platform's form, a leading "/" standing for a drive's root.
std::string P(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.starts_with('\\')) {
        path.insert(0, "C:");
    }
#endif
    return path;
}

struct PickCase {
    const char* name;
    std::vector<std::string> picked;
    std::vector<std::string> rows;
};

class AddFilesTest : public ListCommandsTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(AddFilesTest, AddsThePickedFilesThenMergesOnce) {
    desktop.pickedFiles.push_back(GetParam().picked);
    commands.PushButton1_Click();
    EXPECT_THAT(desktop.asked,
                ElementsAre("openFiles: Add File(s) - Hold Ctrl to select multiple files"));
    EXPECT_EQ(files.texts(), GetParam().rows);
    EXPECT_EQ(merges.count, 1);
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Picks, AddFilesTest,
    ::testing::Values(PickCase{"OneFileStaysAsGiven", {P("/Music//a.txt")}, {P("/Music//a.txt")}},
                      PickCase{"SeveralInARootGetSingleSeparators",
                               {P("/a.txt"), P("/c.txt"), P("/b.txt")},
                               {P("/a.txt"), P("/c.txt"), P("/b.txt")}},
                      PickCase{"SeveralInAFolder",
                               {P("/Music/b.txt"), P("/Music/a.txt")},
                               {P("/Music/b.txt"), P("/Music/a.txt")}}),
    CaseName<PickCase>);

TEST_F(ListCommandsTest, CancellingTheFileDialogAddsNothingAndDoesNotMerge) {
    commands.PushButton1_Click();
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(merges.count, 0);
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

// Paths whose dialog result text (folder, a NUL and a name per file, two closing NULs) is
// exactly `total` characters long.
std::vector<std::string> SelectionOfLength(std::size_t total) {
    const std::string folder = P("/folder");
    std::vector<std::string> paths;
    for (std::size_t length = folder.size() + 2; length < total;) {
        const std::size_t remaining = total - length;
        const std::size_t name = remaining > 150 ? 99 : remaining - 1;
        paths.push_back(folder + kSeparator + std::string(name, 'n'));
        length += name + 1;
    }
    return paths;
}

// The limit counts UTF-16 units: 1,100 Cyrillic names take 22,007 units but 38,507 bytes.
std::vector<std::string> CyrillicSelection() {
    std::vector<std::string> paths;
    for (int i = 0; i < 1100; ++i) {
        std::string name;
        for (int letter = 0; letter < 15; ++letter) {
            name += "ф";
        }
        paths.push_back(P("/Фото/") + name + ".jpg");
    }
    return paths;
}

TEST_F(ListCommandsTest, ASelectionBeyondTheDialogsLimitIsRefusedWithItsMessage) {
    enum Kind { kFits = 30000, kOneOver = 30001, kCyrillic, kBeyondTheBuffer };
    for (const Kind kind : {kFits, kOneOver, kCyrillic, kBeyondTheBuffer}) {
        SCOPED_TRACE(kind);
        files.clear();
        merges.count = 0;
        desktop.boxes.clear();
        const std::vector<std::string> picked =
            kind == kCyrillic ? CyrillicSelection() : SelectionOfLength(kind);
        desktop.pickedFiles.push_back(picked);
        desktop.selectionTooLong = kind == kBeyondTheBuffer;
        commands.PushButton1_Click();
        if (kind == kFits || kind == kCyrillic) {
            EXPECT_EQ(files.count(), picked.size());
            EXPECT_EQ(merges.count, 1);
            EXPECT_THAT(desktop.boxes, IsEmpty());
            continue;
        }
        EXPECT_TRUE(files.empty());
        EXPECT_EQ(merges.count, 0);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text,
                  "You've selected too many files to add.\r\rPlease try adding via the \"Add "
                  "All\" button.");
        EXPECT_EQ(desktop.boxes[0].style, 0);
        EXPECT_EQ(desktop.boxes[0].title, "");
    }
}

struct ExtensionCase {
    const char* name;
    const char* answer;
    std::vector<std::string> rows;  // relative to the tree, folder by folder
};

class AddAllFilesTest : public ListCommandsTest,
                        public ::testing::WithParamInterface<ExtensionCase> {
  protected:
    AddAllFilesTest() {
        for (const char* file : {"T/a.txt", "T/~$a.txt", "T/b.doc", "T/c..txt", "T/Sub/d.txt",
                                 "T/Sub/f", "T/Sub/Deeper/e.TXT"}) {
            tree.file(file);
        }
#ifndef _WIN32
        tree.file("T/.h.txt");  // reads as hidden plus archive
#endif
    }
};

TEST_P(AddAllFilesTest, AddsTheMatchingFilesOfTheTreeFolderByFolder) {
    desktop.inputAnswers.push_back(GetParam().answer);
    desktop.pickedFolders.push_back(tree.path("T"));
    bool busyWhileCollecting = false;
    desktop.whileWaiting = [&] {
        if (desktop.backgroundJobs == 1) {
            busyWhileCollecting = busy.busy();
        }
    };
    commands.PushButton4_Click();

    std::vector<std::string> expected;
    for (const std::string& row : GetParam().rows) {
        expected.push_back(tree.path(row));
    }
    EXPECT_EQ(SortedWithinFolders(files.texts(), fs.separator()), expected);
    EXPECT_THAT(desktop.asked,
                ElementsAre("inputBox: Enter file extension to load:\r\r(* for all files, txt for "
                            "all txt files, doc for all doc files, etc.) [txt]",
                            std::string(kPickerAsked) + "[]"));
    EXPECT_EQ(store.values["Extension"], GetParam().answer);
    EXPECT_EQ(store.values["LastFolder"], tree.path("T"));
    EXPECT_TRUE(busyWhileCollecting);
    EXPECT_FALSE(busy.busy());
    EXPECT_EQ(merges.count, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, AddAllFilesTest,
    ::testing::Values(
        ExtensionCase{"Txt", "txt", {"T/a.txt", "T/c..txt", "T/Sub/d.txt", "T/Sub/Deeper/e.TXT"}},
        ExtensionCase{
            "Star",
            "*",
            {"T/a.txt", "T/b.doc", "T/c..txt", "T/Sub/d.txt", "T/Sub/f", "T/Sub/Deeper/e.TXT"}},
        ExtensionCase{"LeadingDotIsKept", ".txt", {"T/c..txt"}},
        ExtensionCase{"Doc", "doc", {"T/b.doc"}}),
    CaseName<ExtensionCase>);

TEST_F(ListCommandsTest, CancelsOfAddAllKeepTheSettingsAsTheyShouldBe) {
    store.values = {{"Extension", "doc"}, {"LastFolder", "prev"}};
    const std::string prompt =
        "inputBox: Enter file extension to load:\r\r(* for all files, txt "
        "for all txt files, doc for all doc files, etc.) ";

    commands.PushButton4_Click();  // the prompt cancelled
    EXPECT_THAT(desktop.asked, ElementsAre(prompt + "[doc]"));
    EXPECT_EQ(merges.count, 0);

    desktop.inputAnswers = {"mp3"};  // then the picker cancelled
    commands.PushButton4_Click();
    EXPECT_EQ(desktop.asked.back(), std::string(kPickerAsked) + "[prev]");
    EXPECT_EQ(merges.count, 1);

    commands.PushButton4_Click();
    EXPECT_EQ(desktop.asked.back(), prompt + "[mp3]");
    EXPECT_EQ(store.values,
              (std::map<std::string, std::string>{{"Extension", "mp3"}, {"LastFolder", "prev"}}));
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(merges.count, 1);
}

TEST_F(ListCommandsTest, AFolderThatCannotBeReadIsReportedAndTheRestStillAdded) {
    tree.file("T/a.txt");
    tree.file("T/Bad/b.txt");
    tree.file("T/Ok/c.txt");
    fs.failures[tree.path("T/Bad")] = fs_error::kPathFileAccess;
    desktop.inputAnswers = {"txt"};
    desktop.pickedFolders = {tree.path("T")};
    commands.PushButton4_Click();
    EXPECT_THAT(files.texts(), ElementsAre(tree.path("T/a.txt"), tree.path("T/Ok/c.txt")));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text,
                HasSubstr("in Gantrylux2021/08/31.Form1.PushButton4_Click at line 120"));
    EXPECT_EQ(merges.count, 1);
}

// The user's clear comes after the command: the files found for it do not fill the list again.
TEST_F(ListCommandsTest, ClearingTheFileListWhileFilesAreCollectedEmptiesItForGood) {
    tree.file("T/a.txt");
    files.append("kept");
    desktop.whileWaiting = [&] {
        if (desktop.backgroundJobs == 1) {
            commands.PushButton3_Click();
        }
    };
    desktop.inputAnswers = {"txt"};
    desktop.pickedFolders = {tree.path("T")};
    commands.PushButton4_Click();
    EXPECT_THAT(files.texts(), IsEmpty());
    EXPECT_THAT(candidates.texts(), IsEmpty());
}

TEST_F(ListCommandsTest, AddFolderAddsTheChosenFolderAndNeverStoresWhereItStarted) {
    store.values = {{"LastFolderDot", "dot"}};
    tree.file("Music/a.mp3");
    desktop.pickedFolders = {tree.path("Music"), tree.path("Music"), ""};
    for (int press = 0; press < 3; ++press) {
        commands.PushButton15_Click();
    }
    EXPECT_THAT(folders.texts(), ElementsAre(tree.folderRow("Music"), tree.folderRow("Music")));
    EXPECT_THAT(candidates.texts(),
                ElementsAre(tree.path("Music/a.mp3"), tree.path("Music/a.mp3")));
    EXPECT_EQ(merges.count, 3);
    EXPECT_EQ(desktop.asked, std::vector<std::string>(3, std::string(kPickerAsked) + "[dot]"));
    EXPECT_THAT(store.writes, IsEmpty());
}

TEST_F(ListCommandsTest, AddAllSubfoldersAddsEveryFolderOfTheTreeLevelByLevel) {
    tree.folder("Music/Rock/Live");
    tree.folder("Music/Jazz");
    store.values = {{"LastFolderDot", "dot"}};
    desktop.pickedFolders = {tree.path("Music"), ""};
    commands.PushButton21_Click();
    const std::vector<std::string> rows = folders.texts();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], tree.folderRow("Music"));
    EXPECT_THAT((std::vector<std::string>{rows[1], rows[2]}),
                UnorderedElementsAre(tree.folderRow("Music/Rock"), tree.folderRow("Music/Jazz")));
    EXPECT_EQ(rows[3], tree.folderRow("Music/Rock/Live"));

    commands.PushButton21_Click();  // cancelled
    EXPECT_EQ(folders.count(), 4u);
    EXPECT_EQ(merges.count, 2);
    EXPECT_THAT(store.writes, IsEmpty());
}

TEST_F(ListCommandsTest, AFolderTheWalkCannotReadStillGetsItsOwnRow) {
    tree.folder("Music/Rock");
    fs.failures[tree.path("Music")] = fs_error::kPermissionDenied;
    desktop.pickedFolders = {tree.path("Music")};
    commands.PushButton21_Click();
    EXPECT_THAT(folders.texts(), ElementsAre(tree.folderRow("Music")));
    EXPECT_EQ(merges.count, 1);
}

// The folder list is stored as its rows each ended by ";": a folder whose path holds one would
// come back as other folders, so it is refused wherever folders come in, with one message.
TEST_F(ListCommandsTest, FoldersWhosePathHoldsASemicolonAreRefusedWithOneMessage) {
    tree.folder("semi;colon/inner");
    tree.folder("Music/a;b");
    tree.folder("Music/c;d/e");
    tree.folder("Music/plain");
    desktop.pickedFolders = {tree.path("semi;colon"), tree.path("semi;colon"), tree.path("Music")};
    commands.PushButton15_Click();
    commands.PushButton21_Click();
    commands.PushButton21_Click();
    commands.ListView3_OLEDragDrop({tree.path("semi;colon"), tree.path("Music/plain")});
    EXPECT_THAT(folders.texts(), ElementsAre(tree.folderRow("Music"), tree.folderRow("Music/plain"),
                                             tree.folderRow("Music/plain")));
    ASSERT_EQ(desktop.boxes.size(), 4u);
    for (const std::size_t box : {0u, 1u, 3u}) {
        EXPECT_THAT(desktop.boxes[box].text,
                    HasSubstr("\"" + tree.folderRow("semi;colon") + "\" cannot be kept"));
    }
    EXPECT_THAT(desktop.boxes[2].text, HasSubstr("3 folders were left out"));
    EXPECT_EQ(merges.count, 4);
}

// A root's walk entry carries a doubled separator, and so do the rows built on it; the merge
// normalises the candidates, so the files are the same.
TEST_F(ListCommandsTest, SubfolderRowsAreTheWalksEntriesAsTheyStand) {
    tree.folder("Root/Sub/Deeper");
    FolderReader reader(fs, 2);
    const std::string doubled = tree.folderRow("Root") + sep();
    EXPECT_THAT(SubfolderRows(reader, doubled),
                ElementsAre(doubled + "Sub" + sep(), doubled + "Sub" + sep() + "Deeper" + sep()));
}

TEST(FolderRowTest, NormalisesAllButNetworkFolders) {
#ifdef _WIN32
    const char separator = '\\';
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Music", "C:\\Music\\"},
        {"E:\\", "E:\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\\\server\\share", "\\\\\\server\\share\\"}};
#else
    const char separator = '/';
    const std::pair<const char*, const char*> cases[] = {
        {"/home/music", "/home/music/"}, {"/", "/"}, {"//server/share", "/server/share/"}};
#endif
    for (const auto& [chosen, row] : cases) {
        EXPECT_EQ(FolderRow(chosen, separator), row) << chosen;
    }
}

class SamplesTest : public ListCommandsTest {
  protected:
    SamplesTest() {
        desktop.programFolderPath = tree.path("prog");
        tree.file("prog/Samples/a.txt");
        tree.file("prog/Samples/b.doc");
    }
    static constexpr const char* kQuestion =
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?";
};

TEST_F(SamplesTest, TwoPressesAddTheSamplesOnceAndAskTwice) {
    desktop.answers = {message_answer::kNo, message_answer::kYes};
    commands.PushButton5_Click();
    EXPECT_THAT(desktop.opened, IsEmpty());
    commands.PushButton5_Click();
    EXPECT_THAT(files.texts(), UnorderedElementsAre(tree.path("prog/Samples/a.txt"),
                                                    tree.path("prog/Samples/b.doc")));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    for (const auto& box : desktop.boxes) {
        EXPECT_EQ(box.text, kQuestion);
        EXPECT_EQ(box.style, 4);
        EXPECT_EQ(box.title, "");
    }
    EXPECT_THAT(desktop.opened,
                ElementsAre(testing::RecordingDesktop::Opened{tree.folderRow("prog/Samples"), 5}));
    EXPECT_EQ(merges.count, 2);
    EXPECT_EQ(candidates.texts(), files.texts());
}

TEST_F(SamplesTest, ARowDifferingOnlyInLetterCaseIsNoDuplicate) {
    files.append(tree.path("prog/SAMPLES/A.TXT"));
    commands.PushButton5_Click();
    EXPECT_EQ(files.count(), 3u);
}

TEST_F(SamplesTest, AMissingSampleFolderAddsNothingButStillAsks) {
    desktop.programFolderPath = tree.path("elsewhere");
    commands.PushButton5_Click();
    EXPECT_TRUE(files.empty());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, kQuestion);
    EXPECT_EQ(merges.count, 1);
}

TEST_F(SamplesTest, AFailingLoaderIsReportedAndTheMergeStillRuns) {
    fs.failures[tree.path("prog/Samples")] = fs_error::kPathFileAccess;
    commands.PushButton5_Click();
    ASSERT_EQ(desktop.boxes.size(), 1u);  // the report, and no question
    EXPECT_EQ(desktop.boxes[0].title, "Application Error");
    EXPECT_THAT(desktop.boxes[0].text,
                HasSubstr("in Gantrylux2021/08/31.Form1.PushButton5_Click at line 100"));
    EXPECT_EQ(merges.count, 1);
}

}  // namespace
}  // namespace gantrylux
