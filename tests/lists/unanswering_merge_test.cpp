#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

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

    // Hung reads are let go and their threads waited for, so that none outlives the test.
    ~UnansweringFolderTest() override { fs.letGoAndWait(); }

    // Until a merge is in the read of a dead folder, so that what follows overlaps it.
    void waitForAHungRead() const {
        while (fs.hungReads() == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    testing::TempTree tree;
    testing::FakeForm form;
    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    testing::FakeClock clock;
    std::shared_ptr<testing::HangingFileSystem> share =
        std::make_shared<testing::HangingFileSystem>(MakeNativeFileSystem());
    testing::HangingFileSystem& fs = *share;
    std::chrono::milliseconds deadline{1000};
    MainForm mainForm{form, desktop, store, share, clock, deadline};
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
    MainForm patient{form, desktop, store, share, clock, deadline};
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

// While a merge waits on a share, every removal acts at once on the rows shown.
TEST_F(UnansweringFolderTest, RemovalsDuringAMergeActAtOnce) {
    deadline = std::chrono::minutes(10);
    MainForm patient{form, desktop, store, share, clock, deadline};
    form.attach(patient);
    patient.fileList().append(std::vector<std::string>{"/1", "/2", "/3"});
    patient.folderList().append(std::vector<std::string>{tree.folderRow("dead"), "/x/", "/y/"});
    patient.CorrelateListviewsWrapper();
    ASSERT_TRUE(patient.busy().busy());
    ListCommands& commands = patient.commands();
    form.selected[0] = 1;
    commands.ListView1_KeyDown(kDeleteKey);
    form.selected[0] = 2;
    commands.ListView1_DblClick();
    form.selected[1] = 3;
    commands.ListView3_DblClick();
    EXPECT_THAT(patient.fileList().texts(), ElementsAre("/2"));
    EXPECT_THAT(patient.folderList().texts(), ElementsAre(tree.folderRow("dead"), "/x/"));
    commands.PushButton3_Click();
    commands.PushButton6_Click();
    EXPECT_THAT(patient.fileList().texts(), IsEmpty());
    EXPECT_THAT(patient.folderList().texts(), IsEmpty());
    fs.letGo();
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(patient.candidateList().texts(), IsEmpty());
}

// Rows removed during an endless run, while the merge that follows waits on a share: no file
// is drawn from them, and nothing is drawn until that merge is in.
TEST_F(UnansweringFolderTest, ARunNeverDrawsFromRowsRemovedWhileTheirMergeIsOut) {
    tree.file("slow/s.txt");
    form.endless = true;
    form.interval = "1";
    mainForm.fileList().append(std::vector<std::string>{"/gone.txt", "/kept.txt"});
    mainForm.folderList().append(
        std::vector<std::string>{tree.folderRow("live"), tree.folderRow("slow")});
    mainForm.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    std::size_t openedBefore = 0;
    desktop.events.push_back([&] {
        openedBefore = desktop.opened.size();
        fs.hang(tree.path("slow"));
        form.selected[0] = 1;
        form.selected[1] = 1;
        mainForm.commands().ListView1_KeyDown(kDeleteKey);
        mainForm.commands().ListView3_KeyDown(kDeleteKey);
    });
    desktop.events.push_back([&] {
        fs.letGo();
        ASSERT_TRUE(desktop.settle());
    });
    desktop.events.push_back([&] { mainForm.PushButton2_Click(); });
    desktop.onOpen = [&](const std::string&) { EXPECT_FALSE(mainForm.busy().busy()); };
    mainForm.PushButton2_Click();
    ASSERT_GT(desktop.opened.size(), openedBefore);
    for (std::size_t i = openedBefore; i < desktop.opened.size(); ++i) {
        EXPECT_THAT(desktop.opened[i].path, ::testing::AnyOf("/kept.txt", tree.path("slow/s.txt")));
    }
}

// A walk that ends after the user cleared its list adds nothing to it.
TEST_F(UnansweringFolderTest, AClearDuringASubfolderWalkIsNotUndoneByIt) {
    deadline = std::chrono::minutes(10);
    MainForm patient{form, desktop, store, share, clock, deadline};
    tree.file("dead/sub/d.txt");
    desktop.pickedFolders = {tree.path("dead")};
    patient.commands().PushButton21_Click();
    EXPECT_THAT(patient.folderList().texts(), ElementsAre(tree.folderRow("dead")));
    patient.commands().PushButton6_Click();
    fs.letGo();
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(patient.folderList().texts(), IsEmpty());
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

// The merge that finds a row dead may already be replaced by an edit: the user is told all the
// same, once, and later merges leave the row out without asking it again.
TEST_F(UnansweringFolderTest, ADeadRowFoundByAReplacedMergeIsToldOnce) {
    mainForm.folderList().append(
        std::vector<std::string>{tree.folderRow("dead"), tree.folderRow("live")});
    mainForm.CorrelateListviewsWrapper();
    waitForAHungRead();
    mainForm.fileList().append("/edit.txt");
    mainForm.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    mainForm.fileList().append("/again.txt");
    mainForm.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr(tree.folderRow("dead")));
    EXPECT_EQ(fs.hungReads(), 1);
    EXPECT_THAT(mainForm.candidateList().texts(),
                ElementsAre("/edit.txt", "/again.txt", tree.path("live/a.txt"),
                            tree.path("live/sub/b.txt")));
}

// Slow is not dead: a newer merge waits for an older one's call to a row that is still out,
// rather than asking the share again behind it.
TEST_F(UnansweringFolderTest, ANewerMergeDoesNotAskARowAnOlderOneIsStillReading) {
    deadline = std::chrono::minutes(10);
    MainForm patient{form, desktop, store, share, clock, deadline};
    patient.folderList().append(tree.folderRow("dead"));
    patient.CorrelateListviewsWrapper();
    waitForAHungRead();
    patient.fileList().append("/edit.txt");
    patient.CorrelateListviewsWrapper();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(fs.hungReads(), 1);
    fs.letGo();
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(patient.candidateList().texts(), ElementsAre("/edit.txt", tree.path("dead/c.txt")));
    EXPECT_THAT(desktop.boxes, IsEmpty());
}

// The sample folder is read on a worker: one that does not answer holds nothing up.
TEST_F(UnansweringFolderTest, SamplesOnAShareThatDoesNotAnswerHoldNothingUp) {
    tree.file("Samples/s.txt");
    fs.hang(tree.path("Samples"));
    desktop.programFolderPath = tree.path();
    mainForm.commands().PushButton5_Click();
    EXPECT_THAT(mainForm.fileList().texts(), IsEmpty());
    ASSERT_TRUE(desktop.settle());
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("nothing was added"));
    fs.letGo();
    desktop.boxes.clear();
    mainForm.commands().PushButton5_Click();
    ASSERT_TRUE(desktop.settle());
    EXPECT_THAT(mainForm.fileList().texts(), ElementsAre(tree.path("Samples/s.txt")));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("open the folder"));
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// An edit walks no row it did not touch, and "Start Opening" walks the rows again in the
// background while it opens the files it knows: here that walk does not even return.
TEST_F(UnansweringFolderTest, AStartAfterAnEditOpensTheKeptFilesWithoutWaitingForAWalk) {
    mainForm.folderList().append(tree.folderRow("live"));
    mainForm.CorrelateListviewsWrapper();
    ASSERT_TRUE(desktop.settle());
    fs.hang(tree.path("live"));
    mainForm.fileList().append("/chosen.txt");
    mainForm.CorrelateListviewsWrapper();
    form.interval = "0";
    mainForm.PushButton2_Click();
    desktop.settle();
    std::vector<std::string> opened;
    for (const auto& o : desktop.opened) {
        opened.push_back(o.path);
    }
    EXPECT_THAT(opened, ::testing::UnorderedElementsAre("/chosen.txt", tree.path("live/a.txt"),
                                                        tree.path("live/sub/b.txt")));
    waitForAHungRead();  // the start's walk, still out
}

}  // namespace
}  // namespace gantrylux
