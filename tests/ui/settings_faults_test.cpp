#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "app/folder_list_text.hpp"
#include "fakes/file_content.hpp"
#include "ports/settings_store.hpp"
#include "ui/qt_settings_store.hpp"

namespace gantrylux {
namespace {

using ::testing::HasSubstr;

std::string FolderList(const std::string& stem, int rows) {
    PackedTexts texts;
    for (int i = 0; i < rows; ++i) {
        texts.push_back("/media/" + stem + "/folder " + std::to_string(i) + "/");
    }
    return JoinFolderList(texts);
}

// What a second program would read from the file now: QSettings shares what it has read of a
// path within a process, so each look goes through a copy no instance has seen.
std::optional<std::string> StoredFolderList(const QString& file) {
    static int copies = 0;
    const QString copy = file + QStringLiteral(".seen-%1").arg(++copies);
    if (!QFile::copy(file, copy)) {
        return std::nullopt;
    }
    const QtSettingsStore reader(copy);
    QFile::remove(copy);
    if (reader.readFailure()) {
        return std::nullopt;
    }
    return reader.read(setting::kFolderList, "<none>");
}

// A tmpfs of a few pages, which only root can mount.
class SmallDisk {
  public:
    SmallDisk() {
        if (geteuid() == 0 && dir_.isValid()) {
            mounted_ = mount("gantrylux-test", dir_.path().toLocal8Bit().constData(), "tmpfs",
                             MS_NOSUID | MS_NODEV, "size=64k") == 0;
        }
    }
    ~SmallDisk() {
        if (mounted_) {
            umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Writes a filler until not one byte more fits.
    void fill() {
        QFile filler(filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("f", 1) == 1) {
        }
    }
    void makeRoom() { ASSERT_TRUE(QFile::remove(filePath(QStringLiteral("filler")))); }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

TEST(SettingsOnAFullDisk, TheFailureIsToldTheOldFileStaysAndTheNextWriteStoresAll) {
    SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a small tmpfs (root only)";
    }
    const QString file = disk.filePath(QStringLiteral("Quillmere.ini"));
    QtSettingsStore store(file);
    store.write(setting::kFolderList, FolderList("old", 3));
    const QByteArray before = testing::FileContent(file);

    disk.fill();
    try {
        store.write(setting::kFolderList, FolderList("new", 40));
        ADD_FAILURE() << "a write onto a full disk did not fail";
    } catch (const std::runtime_error& failure) {
        EXPECT_THAT(failure.what(), HasSubstr(file.toStdString() + ": No space left on device"));
    }
    EXPECT_EQ(testing::FileContent(file), before);

    disk.makeRoom();
    store.write(setting::kInterval, "7");
    EXPECT_EQ(StoredFolderList(file), FolderList("new", 40));
}

// The file is replaced whole or not at all: a writer killed at any moment leaves one list.
TEST(SettingsWriteKilled, LeavesAFileThatHoldsTheOldOrTheNewList) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Quillmere.ini"));
    const std::string lists[] = {FolderList("first", 300), FolderList("second", 200)};
    // The kills fall up to three writes' time after the first write: a write takes from a
    // millisecond to tens of them, as busy as the disk is.
    const auto started = std::chrono::steady_clock::now();
    QtSettingsStore(file).write(setting::kFolderList, lists[1]);
    QtSettingsStore(file).write(setting::kFolderList, lists[0]);
    const auto oneWrite = (std::chrono::steady_clock::now() - started) / 2;
    std::mt19937 random(12345);
    std::uniform_int_distribution<long long> delay(
        0, std::max<long long>(
               1000, 3 * std::chrono::duration_cast<std::chrono::microseconds>(oneWrite).count()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    int kills = 0;
    int amongWrites = 0;  // kills that fell after the writer's first write
    while (std::chrono::steady_clock::now() < deadline && kills < 200) {
        // The writer tells when its first write is done, so the kills fall among the writes
        // that follow and not while it is still starting, however slow the build.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            close(ready[0]);
            QtSettingsStore store(file);
            for (int i = 1;; ++i) {
                try {
                    store.write(setting::kFolderList, lists[i % 2]);
                } catch (...) {
                    _exit(1);
                }
                if (i == 1 && write(ready[1], "r", 1) != 1) {
                    _exit(1);
                }
            }
        }
        close(ready[1]);
        pollfd first{ready[0], POLLIN, 0};
        const bool wrote = poll(&first, 1, 5000) == 1;
        close(ready[0]);
        if (wrote) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            ++amongWrites;
        }
        kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";
        ++kills;
        const std::optional<std::string> stored = StoredFolderList(file);
        ASSERT_TRUE(stored == lists[0] || stored == lists[1])
            << "after " << kills << " kills: " << stored.value_or("<does not parse>");
    }
    // Which list a kill leaves, and how many kills fit in the time, depend on how busy the
    // machine is (a killed writer's lock must be found stale first); what counts is that every
    // kill left one whole list and that kills fell among the writes.
    EXPECT_GE(amongWrites, 1);
}

}  // namespace
}  // namespace gantrylux
