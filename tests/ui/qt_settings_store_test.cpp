#include "ui/qt_settings_store.hpp"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace gantrylux {
namespace {

class QtSettingsStoreTest : public ::testing::Test {
  protected:
    QString file() const { return dir.filePath(QStringLiteral("Quillmere.ini")); }
    // QSettings shares what it has read of a file between instances in one process, so a
    // reader proves what is on disk only when it opens a copy that no instance has seen.
    QString diskCopy() {
        const QString copy = dir.filePath(QStringLiteral("copy-%1.ini").arg(++copies_));
        EXPECT_TRUE(QFile::copy(file(), copy));
        return copy;
    }
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

TEST_F(QtSettingsStoreTest, AbsentKeysGiveTheDefault) {
    QtSettingsStore store(file());
    EXPECT_EQ(store.read("Extension", "txt"), "txt");
    store.write("Extension", "");
    EXPECT_EQ(store.read("Extension", "txt"), "");
}

TEST_F(QtSettingsStoreTest, AWriteThatCannotReachTheDiskThrows) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("blocked")));
    // A folder where the file should be: nothing can be written there, also as root.
    QtSettingsStore store(dir.filePath(QStringLiteral("blocked")));
    EXPECT_THROW(store.write("Interval", "2"), std::runtime_error);
}

TEST(QtSettingsStoreLocation, TheUsersStoreIsOneIniFileNamedForTheMaker) {
    QtSettingsStore store;
    EXPECT_TRUE(store.location().endsWith(QStringLiteral("/Quillmere.ini")))
        << store.location().toStdString();
    EXPECT_TRUE(store.location().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
}

}  // namespace
}  // namespace gantrylux
