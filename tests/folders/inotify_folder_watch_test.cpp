#include "folders/inotify_folder_watch.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>

#include "fakes/temp_tree.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

// The next report, or an empty one when nothing comes within a generous wait.
WatchReport NextReport(FolderWatch& watch) {
    std::stop_source stop;
    auto report = std::async(std::launch::async, [&] { return watch.next(stop.get_token()); });
    if (report.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        stop.request_stop();
    }
    return report.get();
}

WatchedRow Row(std::string row, std::vector<std::string> folders) {
    return {std::move(row), std::make_shared<const std::vector<std::string>>(std::move(folders))};
}

// watch() only leaves the rows for the worker. A row that cannot be watched goes along: once it
// is told of, the worker has placed every watch, and changes made from then on are seen.
class InotifyFolderWatchTest : public ::testing::Test {
  protected:
    void watchPlaced(std::vector<WatchedRow> rows) {
        rows.push_back(missing_);
        watch_->watch(std::move(rows));
        ASSERT_THAT(NextReport(*watch_).unwatchableRows, ElementsAre(missing_.row));
    }

    testing::TempTree tree_;
    std::shared_ptr<InotifyFolderWatch> watch_ = InotifyFolderWatch::Open();
    WatchedRow missing_ = Row("missing", {tree_.folderRow("missing")});
};

TEST_F(InotifyFolderWatchTest, EntriesThatComeGoOrAreRenamedReportTheirFolders) {
    struct Case {
        const char* what;
        std::function<void(const testing::TempTree&)> change;
        std::vector<std::string> folders;
    };
    namespace fs = std::filesystem;
    const Case cases[] = {
        {"a file made in the root", [](auto& t) { t.file("new.txt"); }, {""}},
        {"a folder made in a subfolder", [](auto& t) { t.folder("sub/new"); }, {"sub"}},
        {"a file deleted in the root", [](auto& t) { fs::remove(t.at("old.txt")); }, {""}},
        {"a file deleted in a subfolder",
         [](auto& t) { fs::remove(t.at("sub/old.txt")); },
         {"sub"}},
        {"a file renamed in a subfolder",
         [](auto& t) { fs::rename(t.at("sub/old.txt"), t.at("sub/new.txt")); },
         {"sub"}},
        {"a file moved from a subfolder to the root",
         [](auto& t) { fs::rename(t.at("sub/old.txt"), t.at("moved.txt")); },
         {"", "sub"}},
        {"a subfolder deleted", [](auto& t) { fs::remove_all(t.at("sub")); }, {"", "sub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempTree tree;
        watch_ = InotifyFolderWatch::Open();
        tree.file("old.txt");
        tree.file("sub/old.txt");
        watchPlaced({Row(tree.folderRow(), {tree.folderRow(), tree.folderRow("sub")})});
        c.change(tree);
        std::vector<std::string> expected;
        for (const std::string& folder : c.folders) {
            expected.push_back(tree.folderRow(folder));
        }
        const WatchReport report = NextReport(*watch_);
        EXPECT_THAT(report.changedFolders, UnorderedElementsAreArray(expected));
        EXPECT_THAT(report.unwatchableRows, IsEmpty());
    }
}

// One folder may stand in several rows, and under two paths: dropping one row keeps the watch
// the other needs, under its own path only.
TEST_F(InotifyFolderWatchTest, ADroppedRowIsNoLongerReportedAndKeepsNoOtherRowFromIt) {
    tree_.folder("a");
    tree_.folder("b");
    std::filesystem::create_directory_symlink(tree_.at("a"), tree_.at("link"));
    const WatchedRow kept = Row("a", {tree_.folderRow("a")});
    const WatchedRow dropped = Row("link", {tree_.folderRow("link"), tree_.folderRow("b")});
    watchPlaced({kept, dropped});
    tree_.file("a/1.txt");
    EXPECT_THAT(NextReport(*watch_).changedFolders,
                UnorderedElementsAre(tree_.folderRow("a"), tree_.folderRow("link")));

    // The unwatchable row is given again as it was: it is not told of again.
    watch_->watch({kept, missing_});
    tree_.file("b/2.txt");
    tree_.file("a/2.txt");
    const WatchReport report = NextReport(*watch_);
    EXPECT_THAT(report.changedFolders, ElementsAre(tree_.folderRow("a")));
    EXPECT_THAT(report.unwatchableRows, IsEmpty());
}

TEST_F(InotifyFolderWatchTest, StopEndsAWaitingNextWithAnEmptyReport) {
    watchPlaced({Row(tree_.folderRow(), {tree_.folderRow()})});
    std::stop_source stop;
    auto report = std::async(std::launch::async, [&] { return watch_->next(stop.get_token()); });
    ASSERT_EQ(report.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    stop.request_stop();
    ASSERT_EQ(report.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_TRUE(report.get().empty());
}

// More changes than the kernel queues at once: what was lost is told as the whole row.
TEST_F(InotifyFolderWatchTest, AQueueThatRanOverReportsEveryWatchedRow) {
    int queued = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queued;
    if (queued <= 0 || queued > 100000) {
        GTEST_SKIP() << "the kernel queues " << queued << " events";
    }
    tree_.folder("quiet");
    const WatchedRow busy = Row("busy", {tree_.folderRow()});
    const WatchedRow quiet = Row("quiet", {tree_.folderRow("quiet")});
    watchPlaced({busy, quiet});
    for (int i = 0; i <= queued; ++i) {
        std::ofstream(tree_.at(std::to_string(i)));
    }
    WatchReport report = NextReport(*watch_);
    EXPECT_THAT(report.overflowedRows, UnorderedElementsAre(busy.row, quiet.row));
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// A folder that joins a watched row may have been filled before its watch was placed: it is
// reported once, so that it is read again; the row's other folders are not.
TEST_F(InotifyFolderWatchTest, AFolderNewToAWatchedRowIsReportedOnceWatched) {
    tree_.file("sub/early.txt");
    watchPlaced({Row("row", {tree_.folderRow()})});
    watch_->watch({Row("row", {tree_.folderRow(), tree_.folderRow("sub")}), missing_});
    EXPECT_THAT(NextReport(*watch_).changedFolders, ElementsAre(tree_.folderRow("sub")));
}

}  // namespace
}  // namespace gantrylux
