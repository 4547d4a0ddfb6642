#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QUrl>
#include <chrono>
#include <thread>

#include "fakes/fake_xdg_open.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/list_view_events.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/settle.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;

std::unique_ptr<QMimeData> FileData(const std::vector<std::string>& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& path : paths) {
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
    }
    data->setUrls(urls);
    return data;
}

// Sends a drag-enter and, when it was accepted, the drop; tells whether it was accepted.
bool Drop(QTreeView* list, const QMimeData* data) {
    QWidget* target = list->viewport();
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(middle), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

template <typename DesktopType>
class Window {
  public:
    explicit Window(DesktopType& desktop) : window(desktop, store, fs, clock) { window.show(); }
    QTreeView* list(const char* name) { return window.findChild<QTreeView*>(name); }

    testing::MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    SystemClock clock;
    MainWindow window;
};

TEST(Drops, FilesAndFoldersBecomeRowsAndTextIsRefused) {
    testing::TempTree tree;
    tree.file("one.txt");
    tree.file("two.txt");
    tree.file("Folder/a.txt");
    tree.file("Folder/~skip.txt");
    testing::RecordingDesktop desktop;
    Window<testing::RecordingDesktop> w(desktop);

    QMimeData text;
    text.setText(QStringLiteral("just words"));
    EXPECT_FALSE(Drop(w.list("ListView1"), &text));
    EXPECT_FALSE(Drop(w.list("ListView3"), &text));

    const auto files = FileData({tree.path("one.txt"), tree.path("Folder"), tree.path("two.txt")});
    EXPECT_TRUE(Drop(w.list("ListView1"), files.get()));
    EXPECT_THAT(w.window.mainForm().fileList().texts(),
                ElementsAre(tree.path("one.txt"), tree.path("Folder/a.txt"), tree.path("two.txt")));

    const auto folders = FileData({tree.path("Folder"), tree.path("one.txt")});
    EXPECT_TRUE(Drop(w.list("ListView3"), folders.get()));
    EXPECT_THAT(w.window.mainForm().folderList().texts(), ElementsAre(tree.folderRow("Folder")));
    EXPECT_EQ(w.window.mainForm().candidateList().count(), 4u);
}

TEST(Drops, TheDroppedSamplesOpenEachOnceWhenStarted) {
    testing::FakeXdgOpen xdgOpen;
    QtDesktop desktop;
    Window<QtDesktop> w(desktop);
    desktop.setWindow(&w.window);
    w.window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("0"));
    const auto samples = FileData({GANTRYLUX_SAMPLES_DIR});
    ASSERT_TRUE(Drop(w.list("ListView1"), samples.get()));
    ASSERT_TRUE(testing::Settle(desktop));
    const std::vector<std::string> expected = w.window.mainForm().candidateList().texts();
    ASSERT_EQ(expected.size(), 6u);

    w.window.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    EXPECT_THAT(xdgOpen.opened(expected.size()), ::testing::UnorderedElementsAreArray(expected));
}

// Names a shell would split, expand or read as options reach the opener each as one argument,
// byte for byte.
TEST(Drops, HostileNamesReachTheOpenerUnchanged) {
    testing::TempTree tree;
    const std::vector<std::string> names = {"-n",          "--help",         "two  spaces ",
                                            "quote\"d'it", "$(touch pwned)", "`touch pwned`",
                                            "new\nline",   "été 日本 😀",     "semi;amp&pipe|star*",
                                            "back\\slash"};
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        tree.file("Hostile/" + name);
        paths.push_back(tree.path("Hostile/" + name));
    }
    testing::FakeXdgOpen xdgOpen;
    QtDesktop desktop;
    Window<QtDesktop> w(desktop);
    desktop.setWindow(&w.window);
    w.window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("0"));
    const auto dropped = FileData(paths);
    ASSERT_TRUE(Drop(w.list("ListView1"), dropped.get()));
    ASSERT_TRUE(testing::Settle(desktop));
    ASSERT_THAT(w.window.mainForm().candidateList().texts(),
                ::testing::UnorderedElementsAreArray(paths));

    w.window.findChild<QPushButton*>(QStringLiteral("PushButton2"))->click();
    ASSERT_EQ(xdgOpen.opened(paths.size()).size(), paths.size());
    // A name split into two calls that each still had one argument would show as one more.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_THAT(xdgOpen.opened(0), ::testing::UnorderedElementsAreArray(paths));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/pwned")));
    EXPECT_FALSE(QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// A dropped URL is read as the command line reads one: escapes are the name's bytes, and a URL
// of another host (or anything but a file) makes the drop one that cannot land.
TEST(DroppedUrls, NameLocalFilesByTheirBytes) {
    const auto dropped = [](const char* url) {
        QMimeData data;
        data.setUrls({QUrl::fromEncoded(url)});
        return ListViewEvents::DroppedPaths(&data);
    };
    using Paths = std::vector<std::string>;
    EXPECT_EQ(dropped("file:///t/a%FF%FE.txt"), Paths{"/t/a\xff\xfe.txt"});
    EXPECT_EQ(dropped("file://localhost/t/My%20File"), Paths{"/t/My File"});
    EXPECT_EQ(dropped("file://etc/hostname"), Paths{});
    EXPECT_EQ(dropped("http://example.com/x"), Paths{});
}

}  // namespace
}  // namespace gantrylux
