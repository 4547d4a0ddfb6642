#include "ui/qt_settings_store.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/file_content.hpp"
#include "fakes/ordinary_user.hpp"

namespace gantrylux {
namespace {

using ::testing::HasSubstr;

bool Put(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

class QtSettingsStoreTest : public ::testing::Test {
  protected:
    QString file() const { return dir.filePath(QStringLiteral("Quillmere.ini")); }
    // QSettings shares what it has read of a file between instances in one process, so a
    // reader proves what is on disk only when it opens a copy that no instance has seen.
    QString diskCopy(const QString& of) {
        const QString copy = dir.filePath(QStringLiteral("copy-%1.ini").arg(++copies_));
        EXPECT_TRUE(QFile::copy(of, copy));
        return copy;
    }
    QString diskCopy() { return diskCopy(file()); }
    QTemporaryDir dir;

  private:
    int copies_ = 0;
};

TEST_F(QtSettingsStoreTest, TextsComeBackExactlyThroughAnotherStoreOnTheSameFile) {
    const std::string texts[] = {"C:\\A;D:\\B b;",
                                 "",
                                 "  1 ",
                                 "a,b",
                                 "@x",
                                 "x=y",
                                 "Ünïcødé ✓",
                                 "two\nlines",
                                 "[section]",
                                 "\"quoted\"",
                                 "#not a comment",
                                 "tab\there",
                                 "50%"};
    {
        QtSettingsStore writer(file());
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            writer.write("Key " + std::to_string(i), texts[i]);
        }
    }
    QtSettingsStore reader(diskCopy());
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(reader.read("Key " + std::to_string(i), "default"), texts[i]) << texts[i];
    }
}

TEST_F(QtSettingsStoreTest, AWriteIsOnDiskWhenItReturns) {
    QtSettingsStore writer(file());
    writer.write("Interval", "15");
    QtSettingsStore reader(diskCopy());  // taken while the writer still lives
    EXPECT_EQ(reader.read("Interval", "1"), "15");
    QFile ini(file());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray content = ini.readAll();
    EXPECT_TRUE(content.contains("[Gantrylux%20Software]")) << content.toStdString();
}

// Two windows, each its own process: B adds a folder while A is open, A changes a choice
// (reading B's row back) and closes, then B closes. B's close must store B's list, although
// its copy of the file already held that text before A's close replaced it.
TEST_F(QtSettingsStoreTest, TheLastOfTwoWindowsClosedLeavesItsFolderListStored) {
    ASSERT_TRUE(Put(file(), "[Gantrylux%20Software]\nListView3=/t/a/;\n"));
    const std::string both = "/t/a/;/t/b/;";
    QtSettingsStore a(file());
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    const pid_t b = fork();
    ASSERT_GE(b, 0);
    if (b == 0) {
        char step = 0;
        try {
            QtSettingsStore store(file());
            store.write("ListView3", both);
            step = write(toParent[1], "1", 1) == 1 && read(toChild[0], &step, 1) == 1;
            store.write("ListView3", both);
        } catch (...) {
            step = 0;
        }
        _exit(step ? 0 : 1);
    }
    char step = 0;
    ASSERT_EQ(read(toParent[0], &step, 1), 1);
    a.write("Infinitely Loop?", "True");
    EXPECT_EQ(a.read("ListView3", ""), both);
    a.write("ListView3", "/t/a/;");
    ASSERT_EQ(write(toChild[1], "2", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(b, &status, 0), b);
    EXPECT_EQ(status, 0);
    for (const int end : {toParent[0], toParent[1], toChild[0], toChild[1]}) {
        close(end);
    }
    QtSettingsStore reader(diskCopy());
    EXPECT_EQ(reader.read("ListView3", ""), both);
    EXPECT_EQ(reader.read("Infinitely Loop?", ""), "True");
}

TEST_F(QtSettingsStoreTest, AbsentKeysGiveTheDefault) {
    QtSettingsStore store(file());
    EXPECT_FALSE(store.readFailure());  // no file yet is no failure
    EXPECT_EQ(store.read("Extension", "txt"), "txt");
    store.write("Extension", "");
    EXPECT_EQ(store.read("Extension", "txt"), "");
}

// The store tells once, when opened, why the file cannot be read, gives what it could read,
// and leaves the file as it is.
TEST_F(QtSettingsStoreTest, AFileThatCannotBeReadSaysWhy) {
    const struct {
        const char* name;
        const char* content;  // a folder in the file's place when null
        const char* reason;   // readable when null
        const char* interval;
    } cases[] = {
        {"folder.ini", nullptr, "Is a directory", "1"},
        {"bad.ini", "[Gantrylux%20Software]\nInterval=15\n[unterminated\n", "format error", "15"},
        {"good.ini", "[Gantrylux%20Software]\nInterval=15\n", nullptr, "15"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(c.content ? Put(path, c.content) : QDir(dir.path()).mkdir(c.name));
        QtSettingsStore store(path);
        EXPECT_EQ(store.read("Interval", "1"), c.interval) << c.name;
        if (c.reason == nullptr) {
            EXPECT_FALSE(store.readFailure()) << c.name;
        } else {
            ASSERT_TRUE(store.readFailure()) << c.name;
            EXPECT_THAT(*store.readFailure(), HasSubstr(path.toStdString()));
            EXPECT_THAT(*store.readFailure(), HasSubstr(c.reason));
        }
        if (c.content) {
            EXPECT_EQ(testing::FileContent(path), c.content) << c.name;
        }
    }
}

// QSettings' status keeps its first error for good; only the file tells whether a write
// reached it.
TEST_F(QtSettingsStoreTest, OnlyAWriteThatDidNotReachTheFileFailsAndItSaysWhy) {
    const QString bad = dir.filePath(QStringLiteral("bad.ini"));
    ASSERT_TRUE(Put(bad, "[Gantrylux%20Software]\nInterval=15\n[unterminated\n"));
    {
        QtSettingsStore store(bad);
        EXPECT_NO_THROW(store.write("Interval", "16"));
        EXPECT_NO_THROW(store.write("Extension", "doc"));
    }
    QtSettingsStore reader(diskCopy(bad));
    EXPECT_EQ(reader.read("Interval", "1"), "16");
    EXPECT_EQ(reader.read("Extension", "txt"), "doc");

    // A folder where the file should be: nothing can be written there, also as root.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Quillmere.ini")));
    QtSettingsStore store(file());
    try {
        store.write("Interval", "2");
        ADD_FAILURE() << "the write did not throw";
    } catch (const std::runtime_error& failure) {
        EXPECT_THAT(failure.what(), HasSubstr(file().toStdString() + ": Is a directory"));
    }
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("Quillmere.ini")));
    EXPECT_NO_THROW(store.write("Interval", "2"));  // the text that failed, not yet stored
    EXPECT_EQ(QtSettingsStore(diskCopy()).read("Interval", "1"), "2");
}

// Root may read and write anything: what an ordinary user meets is checked as one.
TEST_F(QtSettingsStoreTest, AnOrdinaryUserIsToldWhyTheFileCannotBeReadOrWritten) {
    const QByteArray stored = "[Gantrylux%20Software]\nInterval=15\n";
    const QString unreadable = dir.filePath(QStringLiteral("unreadable.ini"));
    ASSERT_TRUE(Put(unreadable, stored) && QFile::setPermissions(unreadable, {}));
    // This file could be written in place, but no new one can be put beside it.
    ASSERT_TRUE(Put(file(), stored));
    ASSERT_TRUE(QFile::setPermissions(
        file(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::ExeOther));
    const int result = testing::RunAsOrdinaryUser([&] {
        const QtSettingsStore cannotRead(unreadable);
        const auto failure = cannotRead.readFailure();
        if (!failure || !failure->ends_with(": Permission denied") ||
            cannotRead.read("Interval", "1") != "1") {
            return 1;
        }
        QtSettingsStore store(file());
        try {
            store.write("Interval", "15");  // already stored: nothing to write
        } catch (const std::runtime_error&) {
            return 2;
        }
        try {
            store.write("Interval", "16");
            return 3;
        } catch (const std::runtime_error& failure) {
            return std::string(failure.what()).ends_with(": Permission denied") ? 0 : 4;
        }
    });
    if (result < 0) {
        GTEST_SKIP() << "no ordinary user to run the check as";
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(testing::FileContent(file()), stored);
}

TEST(QtSettingsStoreLocation, TheUsersStoreIsOneIniFileNamedForTheMaker) {
    QtSettingsStore store;
    EXPECT_TRUE(store.location().endsWith(QStringLiteral("/Quillmere.ini")))
        << store.location().toStdString();
    EXPECT_TRUE(store.location().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
}

}  // namespace
}  // namespace gantrylux

namespace gantrylux {
namespace {

// The XDG rules ignore a relative XDG_CONFIG_HOME; the store is then ~/.config/Quillmere.ini,
// never a file under whatever folder the program was started in.
TEST(QtSettingsStoreLocation, ARelativeConfigHomeIsIgnored) {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const QByteArray home = qgetenv("HOME");
    const QTemporaryDir fakeHome;
    qputenv("HOME", fakeHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", "relative/config");
    const QString location = QtSettingsStore().location();
    qputenv("XDG_CONFIG_HOME", configHome);
    qputenv("HOME", home);
    EXPECT_EQ(location.toStdString(),
              (fakeHome.path() + QStringLiteral("/.config/Quillmere.ini")).toStdString());
}

}  // namespace
}  // namespace gantrylux
