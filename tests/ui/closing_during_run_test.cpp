#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>

#include "fakes/memory_settings_store.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/settle.hpp"

namespace gantrylux {
namespace {

// The real desktop, but files are only counted, never opened.
class CountingDesktop : public QtDesktop {
  public:
    std::string shellOpen(const std::string&, int) override {
        ++opened;
        return {};
    }
    int opened = 0;
};

TEST(ClosingDuringARun, StoresTheFoldersOpensNothingMoreAndReturnsAtOnce) {
    testing::TempTree tree;
    tree.file("a.txt");
    tree.file("b.txt");
    testing::MemorySettingsStore store;
    store.values = {
        {"ListView3", tree.folderRow() + ";"}, {"Interval", "30"}, {"Infinite Loop", "1"}};
    CountingDesktop desktop;
    const std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    const SystemClock clock;
    MainWindow window(desktop, store, fs, clock);
    desktop.setWindow(&window);
    window.show();
    ASSERT_TRUE(testing::Settle(desktop));  // the start-up merge runs once the window shows
    ASSERT_EQ(window.mainForm().candidateList().count(), 2u);

    store.writes.clear();
    QTimer::singleShot(100, &window, [&] { window.close(); });
    const auto start = std::chrono::steady_clock::now();
    window.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(desktop.opened, 1);
    ASSERT_FALSE(store.writes.empty());
    EXPECT_EQ(store.writes.front().first, "ListView3");
    EXPECT_EQ(store.writes.front().second, tree.folderRow() + ";");
}

}  // namespace
}  // namespace gantrylux
