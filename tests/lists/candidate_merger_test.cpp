#include "lists/candidate_merger.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/faulty_file_system.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"

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
