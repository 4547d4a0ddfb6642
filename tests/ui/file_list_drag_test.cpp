#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>

#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"

namespace gantrylux {
namespace {

class FileListDragTest : public ::testing::Test {
  protected:
    FileListDragTest() { window.show(); }

    void fill(std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            window.mainForm().fileList().append(text);
        }
    }
    // A press, move or release over the centre of a row, with the buttons held after it.
    void mouse(QEvent::Type type, int row, Qt::MouseButtons held) {
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QMouseEvent event(type, at, viewport->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    const FileListReorder& reorder() { return window.mainForm().reorder(); }
    const PathList& files() { return window.mainForm().fileList(); }

    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    SystemClock clock;
    MainWindow window{desktop, store, fs, clock};
    QTreeView* list = window.findChild<QTreeView*>(QStringLiteral("ListView1"));
    QWidget* viewport = list->viewport();
};

TEST_F(FileListDragTest, DraggingARowCarriesItDownAndScrollsAtTheBottomEdge) {
    for (int i = 1; i <= 40; ++i) {
        window.mainForm().fileList().append("/row" + std::to_string(i));
    }
    const int merges = desktop.backgroundJobs;
    mouse(QEvent::MouseButtonPress, 1, Qt::LeftButton);
    mouse(QEvent::MouseMove, 2, Qt::LeftButton);
    mouse(QEvent::MouseMove, 3, Qt::LeftButton);
    EXPECT_EQ(files().at(2), "/row3");
    EXPECT_EQ(files().at(3), "/row4");
    EXPECT_EQ(files().at(4), "/row2");
    EXPECT_EQ(list->currentIndex().row(), 3);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);

    // Onto the last row that is fully in view, within a row's height of the bottom edge: the
    // row below it scrolls into view.
    int last = 0;
    while (last + 1 < 40 &&
           list->visualRect(list->model()->index(last + 1, 0)).bottom() < viewport->height()) {
        ++last;
    }
    const int row = last;
    mouse(QEvent::MouseMove, row, Qt::LeftButton);
    EXPECT_EQ(files().at(static_cast<std::size_t>(row) + 1), "/row2");
    EXPECT_GT(list->verticalScrollBar()->value(), 0);
    mouse(QEvent::MouseButtonRelease, row, Qt::NoButton);
    EXPECT_FALSE(reorder().pressed());
    EXPECT_EQ(desktop.backgroundJobs, merges);  // a reorder runs no merge
}

// A message box that comes up between a press on the list and its release takes the release;
// the moves over the list that follow hold no button.
TEST_F(FileListDragTest, AMoveWithNoButtonHeldEndsAPressWhoseReleaseWentElsewhere) {
    fill({"/a", "/b", "/c"});
    mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    mouse(QEvent::MouseMove, 2, Qt::NoButton);
    EXPECT_EQ(files().texts(), (std::vector<std::string>{"/a", "/b", "/c"}));
    EXPECT_FALSE(reorder().pressed());
    EXPECT_FALSE(list->testAttribute(Qt::WA_SetCursor));  // the drag pointer is gone
}

TEST_F(FileListDragTest, TheFocusLeavingTheWindowDeactivatingOrAModalBoxEndsThePress) {
    fill({"/a", "/b"});
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QEvent deactivate(QEvent::WindowDeactivate);
    QEvent blocked(QEvent::WindowBlocked);  // a modal box came up
    const std::pair<QWidget*, QEvent*> endings[] = {
        {list, &focusOut}, {&window, &deactivate}, {&window, &blocked}};
    for (const auto& [target, ending] : endings) {
        mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
        ASSERT_TRUE(reorder().pressed());
        QApplication::sendEvent(target, ending);
        EXPECT_FALSE(reorder().pressed()) << ending->type();
        EXPECT_FALSE(list->testAttribute(Qt::WA_SetCursor)) << ending->type();
    }
}

}  // namespace
}  // namespace gantrylux
