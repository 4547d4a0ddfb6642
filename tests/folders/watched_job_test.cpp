#include "folders/watched_job.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/faulty_file_system.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux {
namespace {

using std::chrono::milliseconds;

// Slow is not dead: work whose calls keep returning runs to its end however long it takes in
// all; only one call out past the deadline makes it not answering.
TEST(WatchedJobTest, OnlyOneCallOutPastTheDeadlineIsNotAnswering) {
    const auto owner = std::make_shared<testing::FaultyFileSystem>(
        std::shared_ptr<const FileSystem>(MakeNativeFileSystem()));
    testing::FaultyFileSystem& fs = *owner;
    testing::TempTree tree;
    tree.file("a/x.txt");
    const auto run = [&](milliseconds eachCall, int calls) {
        fs.onList = [eachCall](std::string_view) { std::this_thread::sleep_for(eachCall); };
        return WatchedJob::Run(
                   owner, milliseconds(1000), {},
                   [folder = tree.path("a"), calls](const FileSystem& watched, std::stop_token) {
                       for (int i = 0; i < calls; ++i) {
                           (void)watched.listFolder(folder);
                       }
                   })
            .end();
    };
    EXPECT_EQ(run(milliseconds(100), 15), WatchedJob::End::Done);
    EXPECT_EQ(run(milliseconds(2500), 1), WatchedJob::End::NotAnswering);
    ASSERT_TRUE(JoinWorkers(std::chrono::seconds(20)));  // the left call still reads `fs`
}

}  // namespace
}  // namespace gantrylux
