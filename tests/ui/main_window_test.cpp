#include "ui/main_window.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <atomic>
#include <mutex>
#include <thread>
#include <tuple>

#include "app/window_layout.hpp"
#include "fakes/faulty_file_system.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/qt_settings_store.hpp"
#include "ui/settle.hpp"
#include "ui/twips.hpp"

namespace gantrylux {
namespace {

using testing::MemorySettingsStore;
using testing::RecordingDesktop;

class MainWindowTest : public ::testing::Test {
  protected:
    void open() {
        window = std::make_unique<MainWindow>(desktop, store, fs, clock);
        window->show();
        window->activateWindow();
        QApplication::processEvents();
    }

    template <typename Widget = QWidget>
    Widget* control(const char* name) {
        auto* found = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The name of the control that has the focus after pressing Tab.
    QString tab() {
        QWidget* focus = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        QApplication::processEvents();
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    RecordingDesktop desktop;
    MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    SystemClock clock;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, TheWindowIsFixedAtItsSizeWithoutAMaximizeButton) {
    open();
    EXPECT_EQ(window->windowTitle(), "Gantrylux Software");
    EXPECT_EQ(window->size(), QSize(536, 533));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesWithTheirCaptionsAndFonts) {
    open();
    const struct {
        const char* name;
        QRect geometry;
        const char* caption;
        double points;
    } cases[] = {
        {"ListView1", {8, 8, 520, 146}, nullptr, 9},
        {"PushButton1", {8, 160, 256, 27}, "Add File(s)", 11.25},
        {"PushButton4", {272, 160, 256, 27}, "Add All File(s) In Folder", 11.25},
        {"PushButton5", {272, 194, 256, 27}, "Load Sample/Example Files", 11.25},
        {"ListView3", {8, 228, 520, 89}, nullptr, 9},
        {"PushButton21", {272, 323, 256, 27}, "Add All Subfolders In Folder", 11.25},
        {"PushButton7", {272, 357, 256, 27}, "Help", 11.25},
        {"Frame2", {272, 388, 256, 50}, "Seconds Between Opening Next", 9},
        {"Text1", {15, 17, 225, 23}, "1", 9},
        {"Check3", {16, 20, 94, 19}, " Yes", 9},
        {"Option3", {296, 20, 89, 17}, "Minimized", 9},
        {"PushButton2", {8, 498, 520, 27}, "Start Opening", 11.25},
    };
    for (const auto& c : cases) {
        QWidget* widget = control(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        EXPECT_EQ(widget->font().family(), "Arial") << c.name;
        EXPECT_TRUE(widget->font().bold()) << c.name;
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), c.points) << c.name;
        if (c.caption == nullptr) {
            continue;
        }
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            caption = button->text().remove('&');
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            caption = frame->title();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            caption = edit->text();
        }
        EXPECT_EQ(caption, c.caption) << c.name;
    }
}

TEST_F(MainWindowTest, EveryControlOfTheLayoutTableSitsWhereItSays) {
    open();
    for (const ControlLayout& c : kWindowLayout) {
        QWidget* widget = control(std::string(c.name).c_str());
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(QRect(widget->mapTo(window.get(), QPoint()), widget->size()),
                  TwipsRect(c.left, c.top, c.width, c.height))
            << c.name;
    }
}

TEST_F(MainWindowTest, ListsShowTheirColumnsAndOnlyTheFileListHasATip) {
    open();
    auto* files = control<QTreeView>("ListView1");
    auto* folders = control<QTreeView>("ListView3");
    EXPECT_TRUE(files->uniformRowHeights());
    EXPECT_EQ(files->model()->headerData(0, Qt::Horizontal).toString(), "File(s)");
    EXPECT_EQ(files->columnWidth(0), 467);
    EXPECT_EQ(folders->model()->columnCount(), 2);
    EXPECT_EQ(folders->model()->headerData(0, Qt::Horizontal).toString(), "Folder(s)");
    EXPECT_EQ(folders->columnWidth(1), 0);
    EXPECT_THAT(files->toolTip().toStdString(),
                ::testing::StartsWith("Drag and drop files here. Double-click item to remove it."));
    EXPECT_TRUE(folders->toolTip().isEmpty());

    window->mainForm().folderList().append("/music/");
    ASSERT_EQ(folders->model()->rowCount(), 1);
    EXPECT_EQ(folders->model()->index(0, 0).data().toString(), "/music/");
    // The candidate list has no view at all.
    EXPECT_EQ(window->findChildren<QTreeView*>().size(), 2);
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTheirOrderAndSkipsFrames) {
    store.values["Option2"] = "True";
    open();
    control("ListView1")->setFocus();
    QStringList visited;
    for (int i = 0; i < 14; ++i) {
        visited << tab();
    }
    EXPECT_EQ(visited.join(' ').toStdString(),
              "PushButton1 PushButton4 PushButton2 PushButton3 PushButton5 Text1 Option2 Check3 "
              "PushButton15 PushButton21 ListView3 PushButton6 PushButton7 ListView1");

    // Within the options the arrow keys move the selection, and Tab then stops at the new one.
    auto* maximized = control("Option2");
    maximized->setFocus();
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(maximized, &right);
    EXPECT_TRUE(control<QRadioButton>("Option3")->isChecked());
    control("Text1")->setFocus();
    EXPECT_EQ(tab(), "Option3");
}

TEST_F(MainWindowTest, ControlsStoreTheirStateWhenTheUserChangesThem) {
    open();
    store.writes.clear();
    control<QCheckBox>("Check3")->click();
    control<QRadioButton>("Option3")->click();
    EXPECT_THAT(store.writes, ::testing::ElementsAre(::testing::Pair("Infinite Loop", "1"),
                                                     ::testing::Pair("Option1", "False"),
                                                     ::testing::Pair("Option2", "False"),
                                                     ::testing::Pair("Option3", "True")));
}

TEST_F(MainWindowTest, ALongStoredIntervalIsShownWhole) {
    const std::string interval = "1." + std::string(40000, '5');
    store.values["Interval"] = interval;
    open();
    EXPECT_EQ(control<QLineEdit>("Text1")->text().toStdString(), interval);
}

TEST_F(MainWindowTest, LeavingANonNumericIntervalComplainsAndTakesTheFocusBack) {
    open();
    auto* interval = control<QLineEdit>("Text1");
    interval->setFocus();
    interval->setText(QStringLiteral("12a"));
    control("PushButton1")->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "Must be a numeric entry.");
    EXPECT_EQ(QApplication::focusWidget(), interval);
    EXPECT_EQ(store.values["Interval"], "12a");
}

// Press and release arrive together, before the check the focus change queued: the check runs
// at the press, and its complaint swallows the click instead of stacking on the run's report.
TEST_F(MainWindowTest, AQuickClickAfterANonNumericIntervalOnlyComplains) {
    open();
    auto* interval = control<QLineEdit>("Text1");
    interval->setFocus();
    interval->setText(QStringLiteral("abc"));
    QApplication::processEvents();
    auto* start = control<QPushButton>("PushButton2");
    QTest::mouseClick(start, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "Must be a numeric entry.");
    EXPECT_EQ(window->startButtonCaption(), "Start Opening");
}

TEST_F(MainWindowTest, AnotherWindowTakingTheFocusIsNoReasonToComplain) {
    open();
    auto* interval = control<QLineEdit>("Text1");
    interval->setFocus();
    interval->setText(QStringLiteral("12a"));
    QApplication::processEvents();
    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    elsewhere.setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(MainWindowTest, DeleteAndDoubleClickRemoveTheSelectedRow) {
    open();
    for (const char* path : {"/a", "/b", "/c"}) {
        window->mainForm().fileList().append(path);
        window->mainForm().folderList().append(path);
    }
    auto* files = control<QTreeView>("ListView1");
    files->setFocus();
    files->setCurrentIndex(files->model()->index(1, 0));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(files, &del);
    EXPECT_EQ(window->mainForm().fileList().texts(), (std::vector<std::string>{"/a", "/c"}));

    auto* folders = control<QTreeView>("ListView3");
    folders->setCurrentIndex(folders->model()->index(2, 0));
    const QPoint row = folders->visualRect(folders->model()->index(2, 0)).center();
    QMouseEvent twice(QEvent::MouseButtonDblClick, row, folders->viewport()->mapToGlobal(row),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(folders->viewport(), &twice);
    EXPECT_EQ(window->mainForm().folderList().texts(), (std::vector<std::string>{"/a", "/b"}));
}

TEST_F(MainWindowTest, EnterPressesTheFocusedButtonAndRemovesNoRowInAList) {
    open();
    window->mainForm().fileList().append("/a");
    const auto pressEnter = [&](const char* name) {
        QWidget* focused = control(name);
        focused->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focused, &enter);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focused, &release);
    };
    pressEnter("ListView1");
    EXPECT_EQ(window->mainForm().fileList().count(), 1u);
    pressEnter("PushButton3");  // Clear List under the files
    EXPECT_TRUE(window->mainForm().fileList().empty());
}

TEST_F(MainWindowTest, TheStartButtonsTipNamesTheLastFileOpened) {
    testing::TempTree tree;
    tree.file("only.txt");
    open();
    auto* start = control<QPushButton>("PushButton2");
    EXPECT_TRUE(start->toolTip().isEmpty());
    window->mainForm().commands().ListView1_OLEDragDrop({tree.path("only.txt")});
    control<QLineEdit>("Text1")->setText(QStringLiteral("0"));
    start->click();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(start->toolTip().toStdString(), tree.path("only.txt"));
}

// Opens the menu a right click at `at` on `widget` shows, and triggers its item of that text
// (in a submenu when `submenu` is given).
void Choose(QWidget* widget, QPoint at, const QString& item, const QString& submenu = {}) {
    QTimer::singleShot(0, [item, submenu] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QMenu* holder = menu;
        for (QAction* action : menu->actions()) {
            if (!submenu.isEmpty() && action->text() == submenu) {
                holder = action->menu();
            }
        }
        for (QAction* action : holder->actions()) {
            if (action->text() == item) {
                action->trigger();
            }
        }
        menu->close();
    });
    emit widget->customContextMenuRequested(at);
}

TEST_F(MainWindowTest, TheRowMenuActsOnTheRowItIsOpenedOn) {
    open();
    for (const char* path : {"/a", "/b"}) {
        window->mainForm().fileList().append(path);
    }
    auto* files = control<QTreeView>("ListView1");
    const auto row = [files](int i) {
        return files->visualRect(files->model()->index(i, 0)).center();
    };
    Choose(files, row(1), QStringLiteral("Copy Path"));
    Choose(files, row(0), QStringLiteral("Show in Folder"));
    Choose(files, row(0), QStringLiteral("Open"));
    EXPECT_EQ(desktop.copied, std::vector<std::string>{"/b"});
    EXPECT_EQ(desktop.shownInFolder, std::vector<std::string>{"/a"});
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].path, "/a");
    {
        const BusyGuard busy(window->mainForm().busy());
        Choose(files, row(1), QStringLiteral("Remove"));  // as Delete, also while a job runs
    }
    EXPECT_EQ(window->mainForm().fileList().texts(), std::vector<std::string>{"/a"});
}

TEST_F(MainWindowTest, TheStartButtonsMenuOpensAFileOpenedBeforeAgain) {
    testing::TempTree tree;
    tree.file("only.txt");
    open();
    window->mainForm().commands().ListView1_OLEDragDrop({tree.path("only.txt")});
    control<QLineEdit>("Text1")->setText(QStringLiteral("0"));
    auto* start = control<QPushButton>("PushButton2");
    start->click();
    Choose(start, QPoint(5, 5), QStringLiteral("Open Again"),
           QString::fromStdString(tree.path("only.txt")));
    ASSERT_EQ(desktop.opened.size(), 2u);
    EXPECT_EQ(desktop.opened[1].path, tree.path("only.txt"));
}

TEST_F(MainWindowTest, ClosingStoresTheFolderList) {
    open();
    window->mainForm().folderList().append("/a b/");
    store.writes.clear();
    window->close();
    EXPECT_THAT(store.writes, ::testing::ElementsAre(::testing::Pair("ListView3", "/a b/;")));
}

TEST(StartUp, LeavesTheSettingsFileAsItIs) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillmere.ini"));
    const QByteArray stored =
        "[Gantrylux%20Software]\nInfinite%20Loop=\" 1 \"\nInterval=15\nOption1=true\n"
        "Option2=True\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
    }
    const auto stamp = [&] {
        struct stat status {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        return std::tuple(status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    };
    const auto before = stamp();
    QtSettingsStore store(path);
    RecordingDesktop desktop;
    const std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    const SystemClock clock;
    MainWindow window(desktop, store, fs, clock);
    window.show();
    QApplication::processEvents();
    EXPECT_TRUE(window.findChild<QCheckBox*>(QStringLiteral("Check3"))->isChecked());
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), "15");
    EXPECT_TRUE(window.findChild<QRadioButton*>(QStringLiteral("Option2"))->isChecked());
    EXPECT_EQ(stamp(), before);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), stored);
    EXPECT_TRUE(desktop.boxes.empty());
}

// In the INI file an unquoted ";" starts a comment: the stored list must be quoted.
TEST(StartUp, TheFolderListStoredAtClosingComesBackWhole) {
    testing::TempTree tree;
    tree.folder("a b");
    tree.folder("c");
    const std::vector<std::string> rows = {tree.folderRow("a b"), tree.folderRow("c")};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillmere.ini"));
    RecordingDesktop desktop;
    const std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    const SystemClock clock;
    {
        QtSettingsStore store(path);
        MainWindow window(desktop, store, fs, clock);
        window.show();
        for (const std::string& row : rows) {
            window.mainForm().folderList().append(row);
        }
        window.close();
    }
    // Another store on the same file would see what QSettings kept of it, not the disk.
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    ASSERT_TRUE(QFile::copy(path, copy));
    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains(
        QByteArray::fromStdString("ListView3=\"" + rows[0] + ";" + rows[1] + ";\"")));
    QtSettingsStore store(copy);
    MainWindow window(desktop, store, fs, clock);
    EXPECT_EQ(window.mainForm().folderList().texts(), rows);
    EXPECT_TRUE(desktop.boxes.empty());
}

// A slow walk at start-up (a huge or looping folder tree) must not keep the window from showing.
TEST(StartUp, TheWindowShowsWithTheHourglassWhileASlowMergeRunsAndTheCandidatesFollow) {
    testing::TempTree tree;
    tree.file("a.txt");
    tree.file("sub/b.txt");
    MemorySettingsStore store;
    store.values["ListView3"] = tree.folderRow() + ";";
    const auto owner = std::make_shared<testing::FaultyFileSystem>(
        std::shared_ptr<const FileSystem>(MakeNativeFileSystem()));
    testing::FaultyFileSystem& slow = *owner;
    QtDesktop desktop;
    const SystemClock clock;
    std::unique_ptr<MainWindow> window;

    // The walk holds on until the window has been looked at from the window's own thread.
    std::atomic<bool> lookedAt = false;
    std::once_flag look;
    bool visible = false;
    bool hourglass = false;
    std::size_t candidatesMeanwhile = 0;
    slow.onList = [&](std::string_view) {
        std::call_once(look, [&] {
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    visible = window && window->isVisible();
                    hourglass = window && window->cursor().shape() == Qt::WaitCursor;
                    candidatesMeanwhile = window ? window->mainForm().candidateList().count() : 0;
                    lookedAt = true;
                },
                Qt::QueuedConnection);
        });
        while (!lookedAt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    window = std::make_unique<MainWindow>(desktop, store, owner, clock);
    desktop.setWindow(window.get());
    window->show();
    ASSERT_TRUE(testing::Settle(desktop));  // the start-up merge runs once the window shows
    EXPECT_TRUE(visible);
    EXPECT_TRUE(hourglass);
    EXPECT_EQ(candidatesMeanwhile, 0u);
    EXPECT_THAT(window->mainForm().candidateList().texts(),
                ::testing::ElementsAre(tree.path("a.txt"), tree.path("sub/b.txt")));
    EXPECT_NE(window->cursor().shape(), Qt::WaitCursor);
}

}  // namespace
}  // namespace gantrylux
