#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <filesystem>

#include "app/main_form.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/fake_form.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/qt_settings_store.hpp"

// What a user without privileges meets: folders and settings the system refuses. Root is
// refused nothing, so these run as an ordinary user (run-as-ordinary-user does that for root).
namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

QByteArray Content(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Mode(const std::filesystem::path& path, mode_t mode) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0) << path;
}

class OrdinaryUserFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (geteuid() == 0) {
            GTEST_SKIP() << "root is refused nothing; run-as-ordinary-user runs these as another";
        }
    }

    // The window's core over the given store, started as the program starts.
    void start(SettingsStore& store) {
        mainForm = std::make_unique<MainForm>(form, desktop, store, fs, clock);
        form.attach(*mainForm);
        mainForm->Form_Load();
        mainForm->mergeAtStartUp();
    }

    testing::TempTree tree;
    testing::FakeForm form;
    testing::RecordingDesktop desktop;
    testing::FakeClock clock;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    std::unique_ptr<MainForm> mainForm;
};

// A folder that cannot be listed, or whose files cannot be opened, adds no file; the others
// still do, and the folder list keeps every row.
TEST_F(OrdinaryUserFaults, FoldersThatCannotBeListedOrSearchedAddNothingAndLoseNothing) {
    for (const mode_t mode : {0000, 0300, 0644}) {
        SCOPED_TRACE(mode);
        tree.file("Open/a.txt");
        tree.file("Shut/b.txt");
        tree.file("Shut/Below/c.txt");
        Mode(tree.at("Shut"), mode);
        testing::MemorySettingsStore store;
        const std::string stored = tree.folderRow("Open") + ";" + tree.folderRow("Shut") + ";";
        store.values[std::string(setting::kFolderList)] = stored;
        desktop.boxes.clear();

        start(store);
        EXPECT_THAT(mainForm->candidateList().texts(), ElementsAre(tree.path("Open/a.txt")));
        EXPECT_THAT(mainForm->folderList().texts(),
                    ElementsAre(tree.folderRow("Open"), tree.folderRow("Shut")));
        EXPECT_EQ(store.values[std::string(setting::kFolderList)], stored);
        // A folder the user may not read is left out as a missing one is: without a report.
        EXPECT_TRUE(desktop.boxes.empty()) << desktop.boxes.front().text;
        Mode(tree.at("Shut"), 0755);
    }
}

class OrdinaryUserSettingsFaults : public OrdinaryUserFaults {
  protected:
    void SetUp() override {
        OrdinaryUserFaults::SetUp();
        tree.file("Open/a.txt");
        tree.folder("Settings");
        tree.folder("Dropped");
        std::ofstream(settings()) << "[Gantrylux%20Software]\nListView3=" << tree.folderRow("Open")
                                  << ";\n";
        stored = Content(settings());
    }
    std::filesystem::path settings() const { return tree.at("Settings/Quillmere.ini"); }

    // A folder added by the user: its row stays in the list though it could not be stored, and
    // the one failure is told once.
    void addFolderAndExpectOneFailure() {
        desktop.boxes.clear();
        mainForm->commands().ListView3_OLEDragDrop({tree.path("Dropped")});
        EXPECT_THAT(mainForm->folderList().texts(), ::testing::Contains(tree.folderRow("Dropped")));
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Cannot write the settings to " +
                                                     settings().string() + ": Permission denied"));
    }

    QByteArray stored;
};

TEST_F(OrdinaryUserSettingsFaults, AReadOnlySettingsFolderKeepsTheStoredList) {
    Mode(tree.at("Settings"), 0555);
    QtSettingsStore store(QString::fromStdString(settings().string()));
    start(store);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_THAT(mainForm->folderList().texts(), ElementsAre(tree.folderRow("Open")));
    addFolderAndExpectOneFailure();
    Mode(tree.at("Settings"), 0755);
    EXPECT_EQ(Content(settings()), stored);
}

// The list that could not be read is not overwritten by the smaller one of this session.
TEST_F(OrdinaryUserSettingsFaults, AnUnreadableSettingsFileIsToldOfOnceAndKept) {
    Mode(settings(), 0200);
    QtSettingsStore store(QString::fromStdString(settings().string()));
    start(store);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("Cannot read the settings from " +
                                                 settings().string() + ": Permission denied"));
    EXPECT_EQ(mainForm->folderList().count(), 0u);
    addFolderAndExpectOneFailure();
    Mode(settings(), 0600);
    EXPECT_EQ(Content(settings()), stored);
}

}  // namespace
}  // namespace gantrylux
