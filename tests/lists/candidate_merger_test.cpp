#include "lists/candidate_merger.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "fakes/faulty_file_system.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "lists/merge.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CandidateMergerTest : public ::testing::Test {
  protected:
    std::shared_ptr<testing::FaultyFileSystem> faulty = std::make_shared<testing::FaultyFileSystem>(
        std::shared_ptr<const FileSystem>(MakeNativeFileSystem()));
    testing::FaultyFileSystem& fs = *faulty;
    testing::TempTree tree;
    testing::RecordingDesktop desktop;
    PathList files, folders, candidates;
    std::vector<bool> busyChanges;
    BusyCounter busy{[this](bool b) { busyChanges.push_back(b); }};
    CandidateMerger merger{files, folders, candidates, busy, desktop, faulty};
};

TEST_F(CandidateMergerTest, AMergeAskedForDuringAMergeReplacesItWithTheListsAsTheyStand) {
    tree.file("A/a.txt");
    tree.file("B/b.txt");
    folders.append(tree.path("A"));
    files.append("first");
    desktop.whileWaiting = [&] {
        if (desktop.backgroundJobs == 1) {
            folders.append(tree.path("B"));
            files.removeAt(1);
            merger.CorrelateListviewsWrapper();  // the older one's result is dropped
        }
    };
    merger.CorrelateListviewsWrapper();
    EXPECT_EQ(desktop.backgroundJobs, 2);
    EXPECT_THAT(candidates.texts(), ElementsAre(tree.path("A/a.txt"), tree.path("B/b.txt")));
    EXPECT_FALSE(merger.running());
    EXPECT_EQ(busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(CandidateMergerTest, FailuresAreReportedInOrderAfterTheListIsSwappedIn) {
    tree.file("T/x.txt");
    tree.folder("T/One");
    tree.folder("T/Two");
    fs.failures[tree.path("T/One")] = fs_error::kPathFileAccess;
    fs.failures[tree.path("T/Two")] = fs_error::kPathFileAccess;
    folders.append(tree.path("T"));
    candidates.append("stale");
    merger.CorrelateListviewsWrapper();
    EXPECT_THAT(candidates.texts(), ElementsAre(tree.path("T/x.txt")));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    for (const auto& box : desktop.boxes) {
        EXPECT_THAT(box.text, HasSubstr("in Gantrylux2021/08/31.Main.CorrelateListviewsWrapper "
                                        "at line 134"));
        EXPECT_EQ(box.title, "Application Error");
    }
}

// Running out of memory or threads leaves no list to swap in; the old one would have a run
// open files of rows that may be gone.
TEST_F(CandidateMergerTest, AMergeWhoseJobFailsLeavesNoStaleCandidates) {
    candidates.append("stale");
    desktop.whileWaiting = [] { throw std::runtime_error("Resource temporarily unavailable"); };
    merger.CorrelateListviewsWrapper();
    EXPECT_EQ(candidates.count(), 0u);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Resource temporarily unavailable"));
    EXPECT_FALSE(busy.busy());
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// An edit walks only the folder rows it has not walked: none for a file row or a removal, the
// new row alone for an added one; the candidates are a full merge's all the same, in order.
// A refresh walks them all and finds what came since.
TEST_F(CandidateMergerTest, AnEditWalksOnlyNewRowsAndARefreshWalksThemAll) {
    for (const char* file : {"A/a.txt", "A/Sub/s.txt", "B/b.txt", "C/c.txt"}) {
        tree.file(file);
    }
    std::atomic<int> listings{0};
    fs.onList = [&](std::string_view) { ++listings; };
    const auto fullMerge = [&] {
        return BuildCandidates(files.texts(), folders.texts(), fs, 1).candidates.toStrings();
    };
    folders.append(std::vector<std::string>{tree.path("A"), tree.path("B"), tree.path("A")});
    merger.CorrelateListviewsWrapper();
    const int firstWalk = listings;
    EXPECT_GT(firstWalk, 0);

    listings = 0;
    files.append("/x.txt");
    merger.CorrelateListviewsWrapper();
    folders.removeAt(3);
    merger.CorrelateListviewsWrapper();
    EXPECT_EQ(listings, 0);
    folders.append(tree.path("C"));
    merger.CorrelateListviewsWrapper();
    EXPECT_EQ(listings, 1);  // C alone
    const std::vector<std::string> beforeRefresh = fullMerge();
    EXPECT_EQ(candidates.texts(), beforeRefresh);

    tree.file("B/new.txt");
    folders.swap(1, 2);
    merger.CorrelateListviewsWrapper();
    EXPECT_EQ(candidates.count(), beforeRefresh.size());  // kept: the new file waits
    const std::size_t busyBefore = busyChanges.size();
    merger.refresh();
    EXPECT_EQ(busyChanges.size(), busyBefore);  // no hourglass for a refresh
    EXPECT_EQ(candidates.texts(), fullMerge());
    EXPECT_EQ(candidates.count(), beforeRefresh.size() + 1);
}

}  // namespace
}  // namespace gantrylux
