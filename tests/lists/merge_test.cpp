#include "lists/merge.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "fakes/faulty_file_system.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/folder_walk.hpp"
#include "folders/native_file_system.hpp"
#include "folders/reference_merge.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FaultyFileSystem;
using ::testing::HasSubstr;
using testing::TempTree;

// Every merge runs sequentially and on several threads; both must give the same list.
class MergeTest : public ::testing::TestWithParam<unsigned> {
  protected:
    std::vector<std::string> merge(const std::vector<std::string>& files,
                                   const std::vector<std::string>& folders,
                                   const FileSystem* through = nullptr) {
        last = BuildCandidates(files, folders, through ? *through : *fs, GetParam());
        return last.candidates.toStrings();
    }
    std::string sep() const { return std::string(1, fs->separator()); }

    std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    TempTree tree;
    MergeResult last;
};

INSTANTIATE_TEST_SUITE_P(Threads, MergeTest, ::testing::Values(1u, 4u),
                         [](const auto& info) { return "threads" + std::to_string(info.param); });

TEST_P(MergeTest, EmptyListsGiveNoCandidates) {
    EXPECT_TRUE(merge({}, {}).empty());
}

TEST_P(MergeTest, AFoldersOwnFilesComeFirstThenEachLevelInTurn) {
    tree.file("Music/a.mp3");
    tree.file("Music/Sub/b.mp3");
    tree.file("Music/Sub/Deeper/c.mp3");
    tree.file("Music/Other/d.mp3");
    const auto candidates = merge({"missing.txt"}, {tree.folderRow("Music")});
    ASSERT_EQ(candidates.size(), 5u);
    EXPECT_EQ(candidates[0], "missing.txt");  // file rows stand as they are, unchecked
    EXPECT_EQ(candidates[1], tree.path("Music/a.mp3"));
    EXPECT_THAT((std::vector<std::string>{candidates[2], candidates[3]}),
                ::testing::UnorderedElementsAre(tree.path("Music/Sub/b.mp3"),
                                                tree.path("Music/Other/d.mp3")));
    EXPECT_EQ(candidates[4], tree.path("Music/Sub/Deeper/c.mp3"));
}

TEST_P(MergeTest, RowsRepeatTheirFilesAndTildeNamesCountOnlyAsRows) {
    tree.file("A/~$report.docx");
    tree.file("A/x.txt");
    tree.file("B/y.txt");
    const std::string tilde = tree.path("A/~$report.docx");
    EXPECT_THAT(merge({tilde, tree.path("A/x.txt")},
                      {tree.folderRow("A"), tree.path("B"), tree.folderRow("A")}),
                ElementsAre(tilde, tree.path("A/x.txt"), tree.path("A/x.txt"), tree.path("B/y.txt"),
                            tree.path("A/x.txt")));
}

TEST_P(MergeTest, RowsThatAreNoFolderAddNothingAndSayNothing) {
    tree.file("file.txt");
    tree.folder("gone");
    const std::string gone = tree.folderRow("gone");
    std::filesystem::remove(tree.at("gone"));
    EXPECT_TRUE(merge({}, {"", gone, tree.path("file.txt"), tree.folderRow("none")}).empty());
    EXPECT_TRUE(last.failures.empty());
}

TEST_P(MergeTest, DeniedOrMissingFoldersAreDroppedWithTheirSubtrees) {
    tree.file("Top/own.txt");
    tree.file("Top/Denied/d.txt");
    tree.file("Top/Denied/Below/e.txt");
    tree.file("Top/Ok/o.txt");
    FaultyFileSystem faulty(*fs);
    faulty.failures[tree.path("Top") + sep() + "Denied"] = fs_error::kPermissionDenied;
    EXPECT_THAT(merge({}, {tree.folderRow("Top")}, &faulty),
                ElementsAre(tree.path("Top/own.txt"), tree.path("Top/Ok/o.txt")));
    EXPECT_TRUE(last.failures.empty());

    // A denied row adds nothing at all, not even its own files.
    faulty.failures[tree.path("Top")] = fs_error::kPathNotFound;
    EXPECT_TRUE(merge({}, {tree.folderRow("Top")}, &faulty).empty());
}

TEST_P(MergeTest, OtherReadFailuresAreReportedAndTheMergeGoesOn) {
    tree.file("Top/own.txt");
    tree.file("Top/Bad/b.txt");
    tree.file("Top/Bad/Below/c.txt");
    FaultyFileSystem faulty(*fs);
    faulty.failures[tree.path("Top") + sep() + "Bad"] = fs_error::kPathFileAccess;
    EXPECT_THAT(merge({}, {tree.folderRow("Top")}, &faulty), ElementsAre(tree.path("Top/own.txt")));
    ASSERT_EQ(last.failures.size(), 1u);
    EXPECT_EQ(last.failures[0].step, 134);
    EXPECT_EQ(last.failures[0].identity, kMergeIdentity);
    EXPECT_THAT(last.failures[0].description, HasSubstr("Simulated failure 75"));
}

TEST_P(MergeTest, EachFolderIsReadOncePerMerge) {
    tree.file("Top/A/a.txt");
    tree.file("Top/B/b.txt");
    FaultyFileSystem counting(*fs);
    std::atomic<int> reads = 0;
    counting.onList = [&](std::string_view) { ++reads; };
    const auto candidates =
        merge({}, {tree.folderRow("Top"), tree.folderRow("Top/A"), tree.path("Top")}, &counting);
    EXPECT_EQ(candidates.size(), 5u);
    EXPECT_EQ(reads, 3);
}

// Volumes whose ids are 128 bits, alike in their lower half, and volumes that give no id at
// all: no folder is taken for another.
TEST_P(MergeTest, FoldersAreToldApartByTheirWholeIdAndNeverByAMissingOne) {
    tree.file("Top/A/a.txt");
    tree.file("Top/B/b.txt");
    tree.file("Top/B/C/c.txt");
    FaultyFileSystem volume(*fs);
    for (const bool known : {true, false}) {
        SCOPED_TRACE(known);
        volume.identify = [&](const std::string& folder, FileIdentity real) {
            return FileIdentity{real.device, 7, known ? std::hash<std::string>{}(folder) : 0,
                                known};
        };
        EXPECT_EQ(merge({}, {tree.folderRow("Top")}, &volume).size(), 3u);
    }
}

TEST_P(MergeTest, WalkKeepsTheCallersTextsAndGoesLevelByLevel) {
    tree.folder("Data/A/A1");
    tree.folder("Data/B");
    std::vector<std::string> walk{tree.folderRow("Data") + sep()};
    GetSubDirectories2016(*fs, walk, true, GetParam());
    ASSERT_EQ(walk.size(), 4u);
    const std::string data = tree.folderRow("Data") + sep();
    EXPECT_EQ(walk[0], data);
    EXPECT_THAT((std::vector<std::string>{walk[1], walk[2]}),
                ::testing::UnorderedElementsAre(data + "A" + sep(), data + "B" + sep()));
    EXPECT_EQ(walk[3], data + "A" + sep() + "A1" + sep());

    std::vector<std::string> oneLevel{tree.folderRow("Data")};
    GetSubDirectories2016(*fs, oneLevel, false, GetParam());
    EXPECT_EQ(oneLevel.size(), 3u);
}

#ifndef _WIN32
TEST_P(MergeTest, HiddenFilesCountUnlessExactlyHiddenAndArchive) {
    tree.file("T/.dot");
    tree.file("T/.readonly");
    tree.file("T/.hidden-folder/inside.txt");
    tree.file("T/plain");
    chmod(tree.at("T/.readonly").c_str(), 0444);
    symlink(tree.path("T/plain").c_str(), tree.at("T/.link").c_str());
    EXPECT_THAT(merge({tree.path("T/.dot")}, {tree.path("T")}),
                ::testing::UnorderedElementsAre(tree.path("T/.dot"), tree.path("T/.readonly"),
                                                tree.path("T/plain"), tree.path("T/.link"),
                                                tree.path("T/.hidden-folder/inside.txt")));
}

TEST_P(MergeTest, LinksAreFollowedButNeverBackUpTheTree) {
    tree.file("T/a.txt");
    tree.file("Elsewhere/e.txt");
    symlink(tree.path("T").c_str(), tree.at("T/loop").c_str());
    symlink(tree.path("Elsewhere").c_str(), tree.at("T/away").c_str());
    symlink(tree.path("T/a.txt").c_str(), tree.at("T/link.txt").c_str());
    symlink(tree.path("nowhere").c_str(), tree.at("T/dangling").c_str());
    EXPECT_THAT(merge({}, {tree.path("T")}),
                ::testing::UnorderedElementsAre(tree.path("T/a.txt"), tree.path("T/link.txt"),
                                                tree.path("T/away/e.txt")));
}

// Links that reach a folder by a second route, across the tree or up it, add nothing: each
// folder of a row's tree is looked into once, so a mesh of links ends as fast as the real
// folders do and a single pass opens no file twice. Two rows still give their files each.
TEST_P(MergeTest, EachFolderOfARowIsLookedIntoOnceWhateverTheRoute) {
    // Each folder links to the next, round the ring: reached from outside the ring, the chain
    // of links is longer than the system resolves in one path.
    constexpr int kFolders = 60;
    std::vector<std::string> files;
    for (int i = 0; i < kFolders; ++i) {
        const std::string name = "M/d" + std::to_string(i);
        tree.file(name + "/f.txt");
        files.push_back(tree.path(name + "/f.txt"));
        const std::string next = "M/d" + std::to_string((i + 1) % kFolders);
        symlink(tree.path(next).c_str(), tree.at(name + "/next").c_str());
    }
    EXPECT_THAT(merge({}, {tree.path("M")}), ::testing::UnorderedElementsAreArray(files));
    EXPECT_TRUE(last.failures.empty());

    tree.file("S/own.txt");
    symlink(tree.path("M/d0").c_str(), tree.at("S/first").c_str());
    symlink(tree.path("M/d0").c_str(), tree.at("S/second").c_str());
    const auto twice = merge({}, {tree.path("S"), tree.path("S")});
    EXPECT_EQ(twice.size(), 2 * (1 + kFolders));
}

// Kernel state is no document: a link to it, or a row naming it, adds nothing and ends at once.
TEST_P(MergeTest, PseudoFileSystemsAreNeverEntered) {
    tree.file("T/own.txt");
    symlink("/proc", tree.at("T/proc").c_str());
    symlink("/sys", tree.at("T/sys").c_str());
    EXPECT_THAT(merge({}, {tree.path("T"), "/proc", "/sys/"}), ElementsAre(tree.path("T/own.txt")));
    EXPECT_TRUE(fs->isPseudoFileSystem("/proc/self/"));
    EXPECT_FALSE(fs->isPseudoFileSystem(tree.path("T")));
}

// Nothing at or past the platform's path limit could be opened: a folder there is not looked
// into, and no candidate reaches it.
TEST_P(MergeTest, NothingAtThePathLimitBecomesACandidate) {
    tree.file("L/a.txt");
    tree.file("L/sub/b.txt");
    tree.file("L/sub/a-much-longer-name.txt");
    tree.file("L/sub/deeper/c.txt");
    FaultyFileSystem limited(*fs);
    limited.pathLimit = tree.path("L/sub/b.txt").size() + 1;
    EXPECT_THAT(merge({}, {tree.path("L")}, &limited),
                ElementsAre(tree.path("L/a.txt"), tree.path("L/sub/b.txt")));
}

TEST_P(MergeTest, ARelativeRowGivesPathsThatHoldInAnyWorkingFolder) {
    tree.file("R/Sub/a.txt");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(tree.at("R"));
    const auto candidates = merge({}, {"Sub", "./Sub/"});
    std::filesystem::current_path(before);
    EXPECT_THAT(candidates, ElementsAre(tree.path("R/Sub/a.txt"), tree.path("R") + "/./Sub/a.txt"));
}

TEST_P(MergeTest, PipesAndNamesThatAreNotTextAreLeftOut) {
    tree.file("T/ok.txt");
    tree.folder("T/bad\xff");
    tree.file("T/bad\xff/inside.txt");
    tree.file("T/bad\xfe.txt");
    tree.file("T/ctl\x01/inside.txt");
    tree.file("T/what?/inside.txt");
    ASSERT_EQ(mkfifo(tree.at("T/pipe").c_str(), 0600), 0);
    // Any name that is text is a name like any other, "?" and control characters included.
    EXPECT_THAT(
        merge({}, {tree.path("T")}),
        ::testing::UnorderedElementsAre(tree.path("T/ok.txt"), tree.path("T/ctl\x01/inside.txt"),
                                        tree.path("T/what?/inside.txt")));
}

TEST_P(MergeTest, MatchesTheReferenceOnAMixedTree) {
    std::mt19937 random(20261208);
    const char* names[] = {"a", "B b", "~c", ".d", "é", "日本", "f.txt", "g.mp3", "~", ".."};
    std::vector<std::string> folders{""};
    for (int i = 0; i < 60; ++i) {
        const std::string parent = folders[random() % folders.size()];
        const std::string name =
            std::string(names[random() % std::size(names)]) + std::to_string(i);
        const std::string path = parent.empty() ? name : parent + "/" + name;
        if (random() % 3 == 0) {
            tree.folder(path);
            folders.push_back(path);
        } else {
            tree.file(path);
        }
    }
    symlink(tree.path(folders[1]).c_str(), tree.at(folders.back() + "/up").c_str());
    const std::vector<std::string> rows{tree.path(""), tree.folderRow(folders[1]),
                                        tree.path(folders.back())};
    EXPECT_THAT(merge({"x"}, rows), ElementsAreArray(testing::ReferenceMerge(*fs, {"x"}, rows)));
}

// Wide folders are read in pieces on several threads; the order must not depend on how the
// pieces fall. One folder holds far more subfolders than a piece, others a few, with links
// across and back up.
TEST_P(MergeTest, MatchesTheReferenceOnAWideTree) {
    std::mt19937 random(7);
    std::vector<std::string> folders;
    for (int i = 0; i < 150; ++i) {
        const bool wide = i < 90 || folders.empty();
        const std::string parent = wide ? "W" : folders[random() % folders.size()];
        const std::string path = parent + "/d" + std::to_string(i);
        tree.file(path + "/f" + std::to_string(random() % 1000) + ".txt");
        if (random() % 4 == 0) {
            tree.file(path + "/~skip.txt");
        }
        folders.push_back(path);
    }
    symlink(tree.path("W").c_str(), tree.at(folders[120] + "/up").c_str());
    symlink(tree.path(folders[3]).c_str(), tree.at(folders[140] + "/across").c_str());
    const std::vector<std::string> rows{tree.folderRow("W"), tree.path(folders[100]),
                                        tree.folderRow("W")};
    EXPECT_THAT(merge({}, rows), ElementsAreArray(testing::ReferenceMerge(*fs, {}, rows)));
}

// Each folder being read holds its subfolders' parent open; a chain deeper than the walk
// holds open at once is read by whole paths below that depth, with the same result, and the
// merge leaves no folder open behind it.
TEST_P(MergeTest, MatchesTheReferenceOnAVeryDeepTreeAndLeavesNothingOpen) {
    std::string path = "D";
    for (int depth = 0; depth < 300; ++depth) {
        path += "/" + std::to_string(depth % 10);
        if (depth % 50 == 0) {
            tree.file(path + "/f.txt");
        }
    }
    tree.file(path + "/last.txt");
    const auto openFolders = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = openFolders();
    const std::vector<std::string> rows{tree.folderRow("D")};
    const auto candidates = merge({}, rows);
    EXPECT_EQ(openFolders(), before);
    EXPECT_EQ(candidates.size(), 7u);
    EXPECT_THAT(candidates, ElementsAreArray(testing::ReferenceMerge(*fs, {}, rows)));
}
#endif

}  // namespace
}  // namespace gantrylux
