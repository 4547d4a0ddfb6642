#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application_title.hpp"
#include "app/main_form.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_form.hpp"
#include "fakes/faulty_file_system.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "lists/file_list_reorder.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ApplicationTitle, LosesItsLastWordAndThenWordsUntilFortyCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Gantrylux Software", "Gantrylux"},
        {"Quillmere Random Opener", "Quillmere Random"},
        {"One two three four five six seven eight nine tenth",
         "One two three four five six seven eight"},
        {"Single", "Single"}};
    for (const auto& [name, title] : cases) {
        EXPECT_EQ(MakeApplicationTitle(name), title) << name;
    }
    EXPECT_EQ(std::string_view("One two three four five six seven eight nine tenth").size(), 50u);
}

class ReorderTest : public ::testing::Test {
  protected:
    ReorderTest() {
        for (const char* text : {"A", "B", "C", "D"}) {
            files.append(text);
        }
    }
    PathList files;
    FileListReorder reorder{files};
};

TEST_F(ReorderTest, TheDraggedTextTravelsRowByRow) {
    reorder.press();
    reorder.itemClick(2);
    EXPECT_EQ(reorder.moveOver(3, true), 3u);
    EXPECT_EQ(reorder.moveOver(4, true), 4u);
    EXPECT_THAT(files.texts(), ElementsAre("A", "C", "D", "B"));
    EXPECT_EQ(reorder.draggedRow(), 4u);
}

// A move that lands several rows away (a fast pointer, or the list scrolling under it) passes
// the rows between one by one, down and back up, so they keep their order.
TEST_F(ReorderTest, AMoveThatSkipsRowsKeepsTheirOrder) {
    reorder.press();
    reorder.itemClick(1);
    EXPECT_EQ(reorder.moveOver(4, true), 4u);
    EXPECT_THAT(files.texts(), ElementsAre("B", "C", "D", "A"));
    EXPECT_EQ(reorder.moveOver(2, true), 2u);
    EXPECT_THAT(files.texts(), ElementsAre("B", "A", "C", "D"));
    EXPECT_EQ(reorder.draggedRow(), 2u);
}

TEST_F(ReorderTest, NothingMovesWithoutAPressARowOrADifferentText) {
    reorder.itemClick(2);
    EXPECT_EQ(reorder.moveOver(3, true), std::nullopt);  // not pressed
    reorder.press();
    EXPECT_EQ(reorder.moveOver(std::nullopt, true), std::nullopt);  // below the last row
    files.setAt(3, "B");
    EXPECT_EQ(reorder.moveOver(3, true), std::nullopt);  // the same text
    EXPECT_EQ(reorder.moveOver(2, true), std::nullopt);  // still over itself
    // A move with no button held ends a press whose release went elsewhere.
    EXPECT_EQ(reorder.moveOver(4, false), std::nullopt);
    EXPECT_FALSE(reorder.pressed());
    EXPECT_EQ(reorder.moveOver(4, true), std::nullopt);
    EXPECT_THAT(files.texts(), ElementsAre("A", "B", "B", "D"));
}

TEST_F(ReorderTest, ARemovedDraggedRowIsForgottenAndOthersFollow) {
    reorder.press();
    reorder.itemClick(3);
    files.removeAt(1);
    EXPECT_EQ(reorder.draggedRow(), 2u);  // "C" moved up
    files.removeAt(2);
    EXPECT_EQ(reorder.draggedRow(), std::nullopt);
    EXPECT_EQ(reorder.moveOver(1, true), std::nullopt);
    EXPECT_THAT(files.texts(), ElementsAre("B", "D"));
}

class StartUpLooksTest : public ::testing::Test {
  protected:
    StartUpLooksTest() {
        desktop.programFolderPath = tree.path();
        form.attach(mainForm);
    }
    testing::TempTree tree;
    testing::FakeForm form;
    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    testing::FakeClock clock;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    MainForm mainForm{form, desktop, store, fs, clock};
};

TEST_F(StartUpLooksTest, TheSkinAndThePointerComeFromFilesBesideTheProgram) {
    tree.file("x/o.cjs");
    tree.file("HAND-M.CUR");
    mainForm.Form_Load();
    EXPECT_EQ(form.skin, tree.path("x/o.cjs"));
    EXPECT_EQ(form.customPointer, tree.path("HAND-M.CUR"));
    EXPECT_TRUE(form.iconShown);
    EXPECT_EQ(desktop.applicationTitle, "Gantrylux");
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(StartUpLooksTest, AFolderNamedLikeTheSkinIsNoSkin) {
    tree.folder("x/o.cjs");
    mainForm.Form_Load();
    EXPECT_EQ(form.skin, "");
    EXPECT_EQ(form.customPointer, "");
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(StartUpLooksTest, AHiddenOrSystemSkinIsNoSkin) {
    tree.file("x/o.cjs");
    const auto markedOwner = std::make_shared<testing::FaultyFileSystem>(fs);
    testing::FaultyFileSystem& marked = *markedOwner;
    for (const std::uint32_t bits :
         {attribute::kHidden | attribute::kArchive, attribute::kSystem}) {
        marked.attributesOf[tree.path("x/o.cjs")] = bits;
        testing::FakeForm looks;
        MainForm withMarkedSkin{looks, desktop, store, markedOwner, clock};
        looks.attach(withMarkedSkin);
        withMarkedSkin.Form_Load();
        EXPECT_EQ(looks.skin, "") << bits;
    }
}

TEST_F(StartUpLooksTest, UnreadableFilesAreReportedAndStartUpGoesOn) {
    tree.file("x/o.cjs");
    tree.file("HAND-M.CUR");
    form.failSkin = true;
    form.failPointer = true;
    mainForm.Form_Load();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Form_Load at line 100"));
    EXPECT_THAT(desktop.boxes[1].text, HasSubstr("Form_Load at line 104"));
    EXPECT_EQ(form.caption, "Gantrylux Software");
}

TEST_F(StartUpLooksTest, TheHandNeverReplacesTheHourglass) {
    mainForm.PushButton_MouseMove();
    EXPECT_EQ(form.pointer, WindowPointer::Custom);
    mainForm.Form_MouseMove();
    EXPECT_EQ(form.pointer, WindowPointer::Default);
    {
        BusyGuard busy(mainForm.busy());
        mainForm.PushButton_MouseMove();
        EXPECT_EQ(form.pointer, WindowPointer::Hourglass);
        mainForm.Form_MouseMove();
        EXPECT_EQ(form.pointer, WindowPointer::Hourglass);
    }
    EXPECT_EQ(form.pointer, WindowPointer::Default);
}

}  // namespace
}  // namespace gantrylux
