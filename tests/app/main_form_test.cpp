#include "app/main_form.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/procedure.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_form.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using testing::FakeForm;
using ::testing::HasSubstr;
using testing::MemorySettingsStore;
using ::testing::Pair;
using testing::RecordingDesktop;

class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest() { form.attach(mainForm); }

    void load() {
        mainForm.Form_Load();
        store.writes.clear();
    }

    FakeForm form;
    RecordingDesktop desktop;
    MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    testing::FakeClock clock;
    MainForm mainForm{form, desktop, store, fs, clock};
};

TEST_F(MainFormTest, FirstStartWithAnEmptyStore) {
    load();
    EXPECT_EQ(form.caption, "Gantrylux Software");
    EXPECT_FALSE(form.endless);
    EXPECT_EQ(form.interval, "1");
    EXPECT_EQ(form.option, DisplayOption::Normal);
    EXPECT_EQ(mainForm.folderList().count(), 0u);
    EXPECT_EQ(mainForm.fileList().count(), 0u);
    EXPECT_TRUE(desktop.boxes.empty());
    ASSERT_EQ(form.columns[0].size(), 1u);
    EXPECT_EQ(form.columns[0][0].heading, "File(s)");
    EXPECT_EQ(form.columns[0][0].twips, 7000);
    ASSERT_EQ(form.columns[1].size(), 2u);
    EXPECT_EQ(form.columns[1][0].twips, 6800);
    EXPECT_EQ(form.columns[1][1].heading, "");
    EXPECT_EQ(form.columns[1][1].twips, 1);
}

TEST_F(MainFormTest, RestoresStoredControls) {
    store.values = {{"Infinite Loop", " 1 "},
                    {"Interval", "  1 "},
                    {"Option1", "False"},
                    {"Option2", "True"},
                    {"Option3", "False"}};
    mainForm.Form_Load();
    EXPECT_TRUE(form.endless);
    EXPECT_EQ(form.interval, "  1 ");
    EXPECT_EQ(form.option, DisplayOption::Maximized);
    EXPECT_TRUE(store.writes.empty());  // not even " 1 " tidied into "1"
}

TEST_F(MainFormTest, StoredOptionsAlwaysLeaveExactlyOneSelected) {
    const struct {
        const char *o1, *o2, *o3;
        DisplayOption expected;
    } cases[] = {{"False", "False", "False", DisplayOption::Normal},
                 {"0", "0", "0", DisplayOption::Normal},
                 {"False", "False", "True", DisplayOption::Minimized},
                 {"True", "True", "False", DisplayOption::Maximized},
                 {"True", "False", "False", DisplayOption::Normal}};
    for (const auto& c : cases) {
        FakeForm freshForm;
        MemorySettingsStore freshStore;
        freshStore.values = {{"Option1", c.o1}, {"Option2", c.o2}, {"Option3", c.o3}};
        MainForm fresh{freshForm, desktop, freshStore, fs, clock};
        freshForm.attach(fresh);
        fresh.Form_Load();
        EXPECT_EQ(freshForm.option, c.expected) << c.o1 << c.o2 << c.o3;
    }
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(MainFormTest, UnreadableStoredValuesAreReportedAndStartUpGoesOn) {
    store.values = {{"Infinite Loop", "yes"},
                    {"Interval", "abc"},
                    {"Option2", "maybe"},
                    {"ListView3", "/music/;"}};
    load();
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Form_Load at line 150"));
    EXPECT_THAT(desktop.boxes[1].text, HasSubstr("Form_Load at line 156"));
    EXPECT_FALSE(form.endless);
    EXPECT_EQ(form.interval, "abc");  // shown as stored, checked only when used
    EXPECT_EQ(form.option, DisplayOption::Normal);
    EXPECT_THAT(mainForm.folderList().texts(), ElementsAre("/music/"));
}

TEST_F(MainFormTest, AStoreThatCouldNotBeReadIsReportedOnceAndWhatItGaveIsUsed) {
    store.failedRead = "Cannot read the settings from /c/Quillmere.ini: format error";
    store.values = {{"ListView3", "/music/;"}, {"Interval", "15"}, {"Option3", "True"}};
    mainForm.Form_Load();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr(*store.failedRead));
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Form_Load at line 136"));
    EXPECT_THAT(mainForm.folderList().texts(), ElementsAre("/music/"));
    EXPECT_EQ(form.interval, "15");
    EXPECT_EQ(form.option, DisplayOption::Minimized);
}

TEST_F(MainFormTest, RestoresTheFolderListAndKeepsItStoredAsItChanges) {
    store.values = {{"ListView3", "C:\\A; ;C:\\B"}};
    load();
    EXPECT_THAT(mainForm.folderList().texts(), ElementsAre("C:\\A", "C:\\B"));
    mainForm.folderList().append("D:\\B b");
    EXPECT_EQ(store.values["ListView3"], "C:\\A;C:\\B;D:\\B b;");
    mainForm.folderList().removeAt(1);
    EXPECT_EQ(store.values["ListView3"], "C:\\B;D:\\B b;");
    mainForm.folderList().clear();
    EXPECT_EQ(store.values["ListView3"], "");
}

TEST_F(MainFormTest, ClosingStoresTheFolderListAlsoWhenEmpty) {
    load();
    mainForm.Form_QueryUnload();
    EXPECT_THAT(store.writes, ElementsAre(Pair("ListView3", "")));
    mainForm.folderList().append("C:\\A");
    mainForm.folderList().append("D:\\B b");
    store.writes.clear();
    mainForm.Form_QueryUnload();
    EXPECT_THAT(store.writes, ElementsAre(Pair("ListView3", "C:\\A;D:\\B b;")));
}

TEST_F(MainFormTest, ChoicesAreStoredAsTheyChange) {
    load();
    form.setEndlessChecked(true);
    form.setEndlessChecked(false);
    form.setIntervalText("");
    form.setIntervalText("1");
    form.setIntervalText("15");
    form.selectDisplayOption(DisplayOption::Maximized);
    EXPECT_THAT(store.writes, ElementsAre(Pair("Infinite Loop", "1"), Pair("Infinite Loop", "0"),
                                          Pair("Interval", ""), Pair("Interval", "1"),
                                          Pair("Interval", "15"), Pair("Option1", "False"),
                                          Pair("Option2", "True"), Pair("Option3", "False")));
}

TEST_F(MainFormTest, ANonNumericIntervalIsRefusedWhenTheFocusLeaves) {
    load();
    form.setIntervalText("12a");
    mainForm.Text1_LostFocus();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "Must be a numeric entry.");
    EXPECT_EQ(desktop.boxes[0].style, 0);
    EXPECT_EQ(desktop.boxes[0].title, "");
    EXPECT_TRUE(form.intervalFocused);
    EXPECT_EQ(store.values["Interval"], "12a");

    form.intervalFocused = false;
    form.setIntervalText(" 2.5 ");
    mainForm.Text1_LostFocus();
    EXPECT_EQ(desktop.boxes.size(), 1u);
    EXPECT_FALSE(form.intervalFocused);
}

TEST_F(MainFormTest, HelpNamesTheContactPage) {
    mainForm.PushButton7_Click();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text,
              "Questions? Please contact Team Quillmere at https://www.quillmere.com/contact");
    EXPECT_EQ(desktop.boxes[0].style, 0);
}

TEST_F(MainFormTest, AStoreThatCannotBeWrittenIsReportedNotFatal) {
    load();
    store.failWrites = true;
    form.setEndlessChecked(true);
    for (const DisplayOption option :
         {DisplayOption::Maximized, DisplayOption::Minimized, DisplayOption::Normal}) {
        form.selectDisplayOption(option);
    }
    mainForm.Form_QueryUnload();
    ASSERT_EQ(desktop.boxes.size(), 5u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Form1.Check3_Click at line 0"));
    EXPECT_THAT(desktop.boxes[1].text, HasSubstr("Form1.Option2_Click at line 0"));
    EXPECT_THAT(desktop.boxes[2].text, HasSubstr("Form1.Option3_Click at line 0"));
    EXPECT_THAT(desktop.boxes[3].text, HasSubstr("Form1.Option1_Click at line 0"));
    EXPECT_THAT(desktop.boxes[4].text, HasSubstr("Form_QueryUnload at line 108"));
}

TEST_F(MainFormTest, BusyShowsTheHourglassUntilTheOutermostOperationEnds) {
    {
        BusyGuard outer(mainForm.busy());
        { BusyGuard inner(mainForm.busy()); }
        EXPECT_EQ(form.pointer, WindowPointer::Hourglass);
    }
    EXPECT_EQ(form.pointer, WindowPointer::Default);
}

}  // namespace
}  // namespace gantrylux
