// The window over a real mount whose folder "dead" never answers (tests/fuse), run by
// tests/fuse/with-hanging-share, which names the mount in GANTRYLUX_HANGING_SHARE.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "fakes/fake_xdg_open.hpp"
#include "fakes/memory_settings_store.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/settle.hpp"

namespace gantrylux {
namespace {

// The real desktop, with its message boxes recorded and answered "No" instead of shown.
class AnsweringDesktop : public QtDesktop {
  public:
    int messageBox(const std::string& text, int, const std::string&) override {
        boxes.push_back(text);
        return message_answer::kNo;
    }
    std::vector<std::string> boxes;
};

// The window over the share, its folder list "dead" then "live", interval 0, opening through a
// recording xdg-open. Skipped where the share is not mounted.
class UnansweringShare : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* share = std::getenv("GANTRYLUX_HANGING_SHARE");
        if (share == nullptr) {
            GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
        }
        dead = std::string(share) + "/dead/";
        live = std::string(share) + "/live/";
        store.values = {{"ListView3", dead + ";" + live + ";"}, {"Interval", "0"}};
        window = std::make_unique<MainWindow>(desktop, store, MakeNativeFileSystem(), clock);
        desktop.setWindow(window.get());
    }

    std::string dead;
    std::string live;
    testing::FakeXdgOpen xdgOpen;
    testing::MemorySettingsStore store;
    AnsweringDesktop desktop;
    const SystemClock clock;
    std::unique_ptr<MainWindow> window;
};

TEST_F(UnansweringShare, TheWindowKeepsServingAndTheOtherRowsFilesOpen) {
    MainWindow& window = *this->window;
    const auto button = [&](const char* name) {
        return window.findChild<QPushButton*>(QString::fromLatin1(name));
    };

    // The window shows while the start-up merge waits on the share, and "Start Opening" pressed
    // meanwhile starts the run with that merge's candidates.
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    button("PushButton2")->click();
    EXPECT_EQ(window.startButtonCaption(), "Stop");
    ASSERT_TRUE(testing::Settle(desktop));
    EXPECT_THAT(xdgOpen.opened(2),
                ::testing::UnorderedElementsAre(live + "one.txt", live + "two.txt"));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_THAT(desktop.boxes[0], ::testing::HasSubstr(dead));

    // "Clear List", then a run of the file list.
    button("PushButton6")->click();
    window.mainForm().fileList().append(std::string(GANTRYLUX_SAMPLES_DIR) +
                                        "/Welcome to Gantrylux.txt");
    window.mainForm().CorrelateListviewsWrapper();
    ASSERT_TRUE(testing::Settle(desktop));
    button("PushButton2")->click();
    EXPECT_EQ(xdgOpen.opened(3).size(), 3u);

    // Nothing looks at a file before its opener is started: one on the share opens at once.
    const auto opening = std::chrono::steady_clock::now();
    EXPECT_EQ(desktop.shellOpen(dead + "gone.txt", 1), "");
    EXPECT_LT(std::chrono::steady_clock::now() - opening, std::chrono::seconds(1));
    EXPECT_THAT(xdgOpen.opened(4), ::testing::Contains(dead + "gone.txt"));

    // The close stores the rows at once, whatever the worker is stuck in.
    window.mainForm().folderList().append(dead);
    store.writes.clear();
    const auto start = std::chrono::steady_clock::now();
    window.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_FALSE(store.writes.empty());
    EXPECT_EQ(store.writes.back().second, dead + ";");
}

// While the start-up merge waits on the share, Delete removes rows at once, and the run that
// follows opens only what the lists still hold.
TEST_F(UnansweringShare, RowsRemovedDuringAMergeAreGoneAndNeverOpened) {
    MainWindow& window = *this->window;
    window.mainForm().fileList().append(std::vector<std::string>{"/gone.txt", live + "one.txt"});
    window.show();
    QApplication::processEvents();
    ASSERT_TRUE(window.mainForm().busy().busy());

    const auto pressDelete = [&](const char* list, int row) {
        auto* view = window.findChild<QTreeView*>(QString::fromLatin1(list));
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, 0));
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(view, &del);
    };
    pressDelete("ListView1", 0);
    pressDelete("ListView3", 1);
    EXPECT_EQ(window.mainForm().fileList().texts(), std::vector<std::string>{live + "one.txt"});
    EXPECT_EQ(window.mainForm().folderList().texts(), std::vector<std::string>{dead});

    window.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    ASSERT_TRUE(testing::Settle(desktop));
    EXPECT_EQ(xdgOpen.opened(1), std::vector<std::string>{live + "one.txt"});
    window.close();
}

}  // namespace
}  // namespace gantrylux
