#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_form.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_form.hpp"
#include "fakes/hanging_file_system.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// The window's core over a folder row whose share does not answer and one that does, with jobs
// on real workers. Deadlines are short here; the window's own is ten seconds.
class UnansweringFolderTest : public ::testing::Test {
  protected:
    UnansweringFolderTest() {
        form.attach(mainForm);
        tree.file("live/a.txt");
        tree.file("live/sub/b.txt");
        tree.file("dead/c.txt");
        fs.hang(tree.path("dead"));
        desktop.threaded = true;
        desktop.clock = &clock;
    }

    std::unique_ptr<FileSystem> native = MakeNativeFileSystem();
    testing::TempTree tree;
    testing::FakeForm form;
    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    testing::FakeClock clock;
    // Declared after what it reads and before what reads it: it goes first, letting go of the
    // hung reads and waiting for their threads while the lists are still there.
    testing::HangingFileSystem fs{*native};
    std::chrono::milliseconds deadline{1000};
    MainForm mainForm{form, desktop, store, fs, clock, deadline};
};

TEST_F(UnansweringFolderTest, TheOtherRowsGiveTheirFilesAndTheUserIsToldOnceUntilItAnswers) {
    mainForm.fileList().append("/chosen/file.txt");
    mainForm.folderList().append(
        std::vector<std::string>{tree.folderRow("dead"), tree.folderRow("live")});
    const auto merged = [&] {
        mainForm.CorrelateListviewsWrapper();
        EXPECT_TRUE(mainForm.busy().busy());
        ASSERT_TRUE(desktop.settle());
        EXPECT_FALSE(mainForm.busy().busy());
        EXPECT_THAT(
            mainForm.candidateList().texts(),
            ElementsAre("/chosen/file.txt", tree.path("live/a.txt"), tree.path("live/sub/b.txt")));
    };
    merged();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("does not answer"));
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr(tree.folderRow("dead")));
    EXPECT_THAT(desktop.boxes[0].text, ::testing::Not(HasSubstr(tree.folderRow("live"))));

    // While its call is still out, the row is left out at once: no new read, no new message.
    merged();
    EXPECT_EQ(fs.hungReads(), 1);
    EXPECT_EQ(desktop.boxes.size(), 1u);

    // It answers once, then hangs again: the user hears of it again.
    fs.letGoAndWait();
    fs.hang(tree.path("dead"));
    merged();
    EXPECT_EQ(fs.hungReads(), 2);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_THAT(desktop.boxes[1].text, HasSubstr(tree.folderRow("dead")));
}

// A newer merge never waits for an older one that hangs, and the older one's result, should it
// ever come, is not used.
TEST_F(UnansweringFolderTest, ANewerMergeReplacesOneThatHangsWithoutWaitingForIt) {
    deadline = std::chrono::minutes(10);
    MainForm patient{form, desktop, store, fs, clock, deadline};
    patient.folderList().append(tree.folderRow("dead"));
    patient.CorrelateListviewsWrapper();
    patient.folderList().clear();
    patient.folderList().append(tree.folderRow("live"));
    patient.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(patient.candidateList().texts(),
                ElementsAre(tree.path("live/a.txt"), tree.path("live/sub/b.txt")));
    EXPECT_FALSE(patient.busy().busy());
    EXPECT_THAT(desktop.boxes, IsEmpty());
    fs.letGoAndWait();
}

// "Start Opening" pressed during a merge reads "Stop" at once and opens that merge's candidates
// once they are in; the run holds no busy state, so removals work while it runs.
TEST_F(UnansweringFolderTest, ARunStartedDuringAMergeOpensItsCandidates) {
    form.interval = "0";
    mainForm.folderList().append(
        std::vector<std::string>{tree.folderRow("live"), tree.folderRow("dead")});
    mainForm.CorrelateListviewsWrapper();
    mainForm.PushButton2_Click();
    EXPECT_EQ(form.startCaption, "Stop");
    EXPECT_THAT(desktop.opened, IsEmpty());
    bool busyDuringTheRun = true;
    desktop.events.push_back([&] { busyDuringTheRun = mainForm.busy().busy(); });
    ASSERT_TRUE(desktop.settle());
    EXPECT_FALSE(busyDuringTheRun);
    std::vector<std::string> opened;
    for (const auto& o : desktop.opened) {
        opened.push_back(o.path);
    }
    EXPECT_THAT(opened, ::testing::UnorderedElementsAre(tree.path("live/a.txt"),
                                                        tree.path("live/sub/b.txt")));
    EXPECT_EQ(form.startCaption, "Start Opening");
}

TEST_F(UnansweringFolderTest, StopBeforeTheMergeIsInOpensNothing) {
    mainForm.folderList().append(tree.folderRow("live"));
    mainForm.CorrelateListviewsWrapper();
    mainForm.PushButton2_Click();
    mainForm.PushButton2_Click();
    EXPECT_EQ(form.startCaption, "Start Opening");
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(desktop.opened, IsEmpty());
    EXPECT_EQ(form.startCaption, "Start Opening");
}

// The candidates are read afresh for every file: a file-list change during an endless run's
// wait, merged on a worker, reaches the next draw.
TEST_F(UnansweringFolderTest, AListChangeDuringARunReachesTheNextDraw) {
    form.endless = true;
    form.interval = "1";
    mainForm.fileList().append("/first.txt");
    mainForm.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    desktop.events.push_back([&] {
        form.selected[0] = 1;
        mainForm.commands().ListView1_KeyDown(kDeleteKey);
        mainForm.fileList().append("/second.txt");
        mainForm.CorrelateListviewsWrapper();
        ASSERT_TRUE(desktop.settle());
    });
    desktop.events.push_back([&] { mainForm.PushButton2_Click(); });
    mainForm.PushButton2_Click();
    ASSERT_EQ(desktop.opened.size(), 2u);
    EXPECT_EQ(desktop.opened[0].path, "/first.txt");
    EXPECT_EQ(desktop.opened[1].path, "/second.txt");
}

}  // namespace
}  // namespace gantrylux
