#include "lists/candidate_merger.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "fakes/fake_folder_watch.hpp"
#include "fakes/faulty_file_system.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/folder_watch.hpp"
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

namespace gantrylux {
namespace {

// Whatever the edits, the kept rows give what a merge of every row gives, in order: rows added
// twice, nested in each other, missing, removed and reordered.
TEST_F(CandidateMergerTest, AnySequenceOfEditsGivesAFullMergesCandidates) {
    for (const char* file : {"A/a.txt", "A/In/i.txt", "A/In/j.txt", "B/b.txt", "C/c.txt"}) {
        tree.file(file);
    }
    const std::vector<std::string> pool{tree.path("A"), tree.path("A/In"),    tree.path("B"),
                                        tree.path("C"), tree.path("Missing"), "/x.txt"};
    std::mt19937 random(7);
    for (int step = 0; step < 60; ++step) {
        PathList& list = random() % 3 == 0 ? files : folders;
        switch (list.empty() ? 0 : random() % 3) {
            case 0:
                list.append(pool[random() % pool.size()]);
                break;
            case 1:
                list.removeAt(1 + random() % list.count());
                break;
            default:
                list.swap(1 + random() % list.count(), 1 + random() % list.count());
        }
        merger.CorrelateListviewsWrapper();
        ASSERT_EQ(candidates.texts(),
                  BuildCandidates(files.texts(), folders.texts(), fs, 1).candidates.toStrings())
            << "after step " << step;
    }
}

WatchReport Reported(std::vector<std::string> changed, std::vector<std::string> overflowed = {},
                     std::vector<std::string> unwatchable = {}) {
    WatchReport report;
    report.changedFolders = std::move(changed);
    report.overflowedRows = std::move(overflowed);
    report.unwatchableRows = std::move(unwatchable);
    return report;
}

class WatchedRowsTest : public CandidateMergerTest {
  protected:
    WatchedRowsTest() {
        desktop.threaded = true;
        fs.onList = [&](std::string_view folder) {
            const std::scoped_lock lock(listedMutex);
            listed.emplace_back(folder);
        };
        merger.watchWith(watch);
    }
    std::vector<std::string> fullMerge() {
        return BuildCandidates(files.texts(), folders.texts(), *real, 1).candidates.toStrings();
    }
    // Hands a report in and waits until the candidates are a full merge's again.
    void report(WatchReport report) {
        {
            const std::scoped_lock lock(listedMutex);
            listed.clear();
        }
        const std::size_t calls = watch->calls();
        watch->report(std::move(report));
        ASSERT_TRUE(desktop.settleUntil(
            [&] { return watch->calls() > calls && candidates.texts() == fullMerge(); }));
    }
    std::vector<std::string> listedFolders() {
        const std::scoped_lock lock(listedMutex);
        return listed;
    }

    std::shared_ptr<testing::FakeFolderWatch> watch = std::make_shared<testing::FakeFolderWatch>();
    std::unique_ptr<FileSystem> real = MakeNativeFileSystem();
    std::mutex listedMutex;
    std::vector<std::string> listed;
};

// A changed folder is read again alone; a folder with a new subfolder, a row whose events were
// lost and an unwatchable row at a refresh are walked again. What the user does meanwhile is
// kept too.
TEST_F(WatchedRowsTest, ChangesReachTheCandidatesWithoutAWalkOfTheirRow) {
    for (const char* file : {"A/a.txt", "A/Sub/s.txt", "B/b.txt"}) {
        tree.file(file);
    }
    folders.append(std::vector<std::string>{tree.path("A"), tree.path("B")});
    merger.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settleUntil([&] { return !watch->folders(tree.path("B")).empty(); }));
    EXPECT_THAT(watch->folders(tree.path("A")),
                ElementsAre(tree.folderRow("A"), tree.folderRow("A/Sub")));

    tree.file("A/Sub/t.txt");
    std::filesystem::remove(tree.at("A/a.txt"));
    report(Reported({tree.folderRow("A/Sub"), tree.folderRow("A")}));
    EXPECT_EQ(listedFolders().size(), 2u);

    tree.file("A/New/n.txt");
    report(Reported({tree.folderRow("A")}));
    EXPECT_THAT(watch->folders(tree.path("A")), ::testing::Contains(tree.folderRow("A/New")));

    tree.file("B/c.txt");
    files.append("/x.txt");  // an edit while the change is on its way: both come in
    watch->report(Reported({}, {tree.path("B")}));
    merger.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settleUntil([&] { return candidates.texts() == fullMerge(); }));

    report(Reported({}, {}, {tree.path("B")}));
    tree.file("B/d.txt");
    tree.file("A/Sub/u.txt");
    merger.refresh();
    const auto holds = [&](const std::string& file) {
        const std::vector<std::string> texts = candidates.texts();
        return std::find(texts.begin(), texts.end(), file) != texts.end();
    };
    ASSERT_TRUE(desktop.settleUntil([&] { return holds(tree.path("B/d.txt")); }));
    EXPECT_THAT(candidates.texts(), ::testing::Not(::testing::Contains(tree.path("A/Sub/u.txt"))));
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// The platform's own watch, end to end: a file saved into a watched row, or into a new folder
// below it, becomes a candidate without any edit or refresh.
TEST_F(CandidateMergerTest, FilesSavedIntoAWatchedRowBecomeCandidates) {
    std::shared_ptr<FolderWatch> watch = MakeNativeFolderWatch();
    if (watch == nullptr) {
        GTEST_SKIP() << "this system gives no folder watch";
    }
    desktop.threaded = true;
    merger.watchWith(watch);
    tree.file("R/a.txt");
    folders.append(tree.path("R"));
    merger.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settleUntil([&] { return candidates.count() == 1; }));
    // The watches are placed on the watch's worker: a file saved before then would go unseen.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    tree.file("R/b.txt");
    tree.file("R/New/c.txt");
    std::vector<std::string> expected{tree.path("R/a.txt"), tree.path("R/b.txt"),
                                      tree.path("R/New/c.txt")};
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(desktop.settleUntil([&] {
        std::vector<std::string> texts = candidates.texts();
        std::sort(texts.begin(), texts.end());
        return texts == expected;
    })) << ::testing::PrintToString(candidates.texts());
}

}  // namespace
}  // namespace gantrylux
