#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/temp_tree.hpp"
#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/native_file_system.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gantrylux {
namespace {

using ::testing::UnorderedElementsAre;

class FileSystemTest : public ::testing::Test {
  protected:
    std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    testing::TempTree tree;
};

TEST_F(FileSystemTest, ExistenceAndFolderTests) {
    tree.file("a.txt");
    tree.folder("sub");
    const struct {
        std::string path;
        bool file, exists, folder;
    } cases[] = {
        {tree.path("a.txt"), true, true, false},
        {tree.path("sub"), false, true, true},
        {tree.folderRow("sub"), false, true, true},
        {tree.path("missing"), false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(*fs, c.path), c.file) << c.path;
        EXPECT_EQ(PathExists(*fs, c.path), c.exists) << c.path;
        EXPECT_EQ(IsFolder(*fs, c.path), c.folder) << c.path;
    }
}

TEST_F(FileSystemTest, EnumerationGivesFilesOnlyMatchingThePattern) {
    tree.file("a.txt");
    tree.file("B.TXT");
    tree.file("noext");
    tree.folder("sub.txt");
    EXPECT_THAT(GetFilesInFolder(*fs, tree.path(), "*.*"),
                UnorderedElementsAre("a.txt", "B.TXT", "noext"));
    EXPECT_THAT(GetFilesInFolder(*fs, tree.folderRow(), "*.txt"),
                UnorderedElementsAre("a.txt", "B.TXT"));
    EXPECT_TRUE(GetFilesInFolder(*fs, tree.path("missing"), "*.*").empty());
}

TEST(MatchesPattern, WildcardsAsADirectorySearchHasThem) {
    const struct {
        const char *name, *pattern;
        bool matches;
    } cases[] = {{"a", "*.*", true},          {"a.b.c", "*.c", true},
                 {"song.MP3", "*.mp3", true}, {"song.mp3x", "*.mp3", false},
                 {"a", "a.*", true},          {"ab.txt", "a?.txt", true},
                 {"a.txt", "a?.txt", false},  {"x.tar.gz", "*.tar.*", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
    }
}

// Reading subfolders as a batch must give, name by name, what one listFolder per path gives:
// the same entries, identity and attributes, or a failure with the same code and text.
TEST_F(FileSystemTest, SubfoldersReadTogetherMatchOneReadEach) {
    tree.file("P/A/a.txt");
    tree.folder("P/A/inner");
    tree.folder("P/.hidden");
    tree.file("P/B b/x");
    tree.file("P/file");
    tree.file("Q/q.txt");
    const std::string sep(1, fs->separator());
    const std::string parents[] = {tree.folderRow("P"), tree.path("P") + sep + sep,
                                   tree.folderRow("none")};
    const std::vector<std::string_view> names = {"A", ".hidden", "B b", "file", "missing", "A"};
    for (const std::string& parent : parents) {
        std::vector<FolderRead> batch(names.size());
        std::vector<FolderRead*> slots;
        for (FolderRead& read : batch) {
            slots.push_back(&read);
        }
        fs->listSubfolders(parent, names, slots);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string path = parent + std::string(names[i]) + sep;
            SCOPED_TRACE(path);
            try {
                const FolderListing one = fs->listFolder(path);
                ASSERT_TRUE(batch[i].listing.has_value());
                EXPECT_FALSE(batch[i].failure.has_value());
                EXPECT_EQ(batch[i].listing->identity, one.identity);
                EXPECT_EQ(batch[i].listing->attributes, one.attributes);
                ASSERT_EQ(batch[i].listing->entries.size(), one.entries.size());
                for (std::size_t e = 0; e < one.entries.size(); ++e) {
                    EXPECT_EQ(batch[i].listing->entries[e].name, one.entries[e].name);
                    EXPECT_EQ(batch[i].listing->entries[e].kind, one.entries[e].kind);
                    EXPECT_EQ(batch[i].listing->entries[e].attributes, one.entries[e].attributes);
                }
            } catch (const FileSystemError& failure) {
                ASSERT_TRUE(batch[i].failure.has_value());
                EXPECT_FALSE(batch[i].listing.has_value());
                EXPECT_EQ(batch[i].failure->code(), failure.code());
                EXPECT_STREQ(batch[i].failure->what(), failure.what());
            }
        }
    }
}

#ifndef _WIN32
TEST_F(FileSystemTest, PosixAttributeWordsFollowTheWindowsMeaning) {
    tree.file("plain");
    tree.file(".hidden");
    tree.file("readonly");
    tree.folder(".dotdir");
    chmod(tree.at("readonly").c_str(), 0444);
    symlink(tree.path("plain").c_str(), tree.at("link").c_str());
    symlink(tree.path("none").c_str(), tree.at("dangling").c_str());
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"plain", 32},  {".hidden", 34},    {"readonly", 33}, {".dotdir", 18},
        {"link", 1056}, {"dangling", 1056}, {"", 16}};
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(fs->attributes(tree.path(name)), expected) << name;
    }
    EXPECT_EQ(fs->attributes(tree.path("missing")), std::nullopt);
}

TEST_F(FileSystemTest, APipeIsNoFileAndNeverBlocks) {
    ASSERT_EQ(mkfifo(tree.at("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(FileExists(*fs, tree.path("pipe")));
    EXPECT_TRUE(PathExists(*fs, tree.path("pipe")));
    EXPECT_TRUE(GetFilesInFolder(*fs, tree.path(), "*.*").empty());
}

TEST_F(FileSystemTest, ListingFailuresCarryTheirCodes) {
    tree.file("file");
    const std::pair<std::string, int> cases[] = {{tree.path("missing"), 76},
                                                 {tree.path("file"), 76}};
    for (const auto& [path, code] : cases) {
        try {
            fs->listFolder(path);
            ADD_FAILURE() << path;
        } catch (const FileSystemError& failure) {
            EXPECT_EQ(failure.code(), code) << path;
        }
    }
}

TEST(PosixRoot, OnlyTheSlashIsARoot) {
    const auto fs = MakeNativeFileSystem();
    EXPECT_TRUE(fs->isRoot("/"));
    EXPECT_TRUE(fs->isRoot("//"));
    EXPECT_FALSE(fs->isRoot("/home"));
    EXPECT_FALSE(fs->isRoot(""));
}
#endif

}  // namespace
}  // namespace gantrylux
