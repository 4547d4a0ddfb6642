#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "fakes/temp_tree.hpp"
#include "folders/existence.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/folder_reader.hpp"
#include "folders/native_file_system.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "fakes/ordinary_user.hpp"
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

// Reading a subfolder relative to its open parent must give what one listFolder per path
// gives: the same entries, identity and attributes, or a failure with the same code and text.
TEST_F(FileSystemTest, SubfoldersReadThroughTheirParentMatchOneReadEach) {
    tree.file("P/A/a.txt");
    tree.folder("P/A/inner");
    tree.folder("P/.hidden");
    tree.file("P/B b/x");
    tree.file("P/file");
    tree.file("Q/q.txt");
    const std::string sep(1, fs->separator());
    const std::string parents[] = {tree.folderRow("P"), tree.path("P") + sep + sep,
                                   tree.folderRow("none")};
    const std::string_view names[] = {"A", ".hidden", "B b", "file", "missing", "A"};
    for (const std::string& parent : parents) {
        FolderRead own;
        const OpenFolder open = fs->readFolder({}, parent, {}, true, own);
        EXPECT_EQ(own.listing.has_value(), !own.failure.has_value());
        if (own.failure) {
            EXPECT_FALSE(open.isOpen()) << "a folder that failed is never held open";
        }
        for (const std::string_view name : names) {
            const std::string path = parent + std::string(name) + sep;
            SCOPED_TRACE(path);
            FolderRead read;
            // A folder asked to stay open and one that is not must read alike.
            fs->closeFolder(fs->readFolder(open, path, name, name == "A", read));
            try {
                const FolderListing one = fs->listFolder(path);
                ASSERT_TRUE(read.listing.has_value());
                EXPECT_FALSE(read.failure.has_value());
                EXPECT_EQ(read.listing->identity, one.identity);
                EXPECT_EQ(read.listing->attributes, one.attributes);
                ASSERT_EQ(read.listing->entries.size(), one.entries.size());
                for (std::size_t e = 0; e < one.entries.size(); ++e) {
                    EXPECT_EQ(read.listing->entries[e].name, one.entries[e].name);
                    EXPECT_EQ(read.listing->entries[e].kind, one.entries[e].kind);
                    EXPECT_EQ(read.listing->entries[e].attributes, one.entries[e].attributes);
                }
            } catch (const FileSystemError& failure) {
                ASSERT_TRUE(read.failure.has_value());
                EXPECT_FALSE(read.listing.has_value());
                EXPECT_EQ(read.failure->code(), failure.code());
                EXPECT_STREQ(read.failure->what(), failure.what());
            }
        }
        fs->closeFolder(open);
    }
}

// Tasks that queue tasks, many levels deep, on one thread and on several: every one runs
// exactly once and run returns only when the last has, also on a reader used again.
TEST(FolderReaderTasks, EveryQueuedTaskRunsOnceBeforeRunReturns) {
    const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    for (const unsigned threads : {1u, 4u}) {
        FolderReader reader(*fs, threads);
        for (int round = 0; round < 3; ++round) {
            std::vector<std::atomic<int>> ran(1 << 12);
            std::function<void(std::size_t)> spread = [&](std::size_t at) {
                ++ran[at];
                for (const std::size_t child : {2 * at, 2 * at + 1}) {
                    if (child > at && child < ran.size()) {
                        reader.push([&spread, child] { spread(child); });
                    }
                }
            };
            reader.run({[&] { spread(1); }, [&] { ++ran[0]; }});
            for (std::size_t i = 0; i < ran.size(); ++i) {
                ASSERT_EQ(ran[i].load(), 1) << "task " << i << " on " << threads << " threads";
            }
            std::vector<std::atomic<int>> seen(1000);
            reader.forEach(seen.size(), [&](std::size_t i) { ++seen[i]; });
            for (std::size_t i = 0; i < seen.size(); ++i) {
                ASSERT_EQ(seen[i].load(), 1) << "item " << i << " on " << threads << " threads";
            }
        }
    }
}

// A task that throws must not take its siblings down or leave run waiting: they all run, and
// the caller gets the exception.
TEST(FolderReaderTasks, AThrowingTaskIsReportedAfterTheOthersRan) {
    const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
    FolderReader reader(*fs, 2);
    std::atomic<int> ran = 0;
    std::vector<FolderReader::Task> tasks;
    for (int i = 0; i < 20; ++i) {
        tasks.emplace_back([&, i] {
            ++ran;
            if (i == 3) {
                throw std::runtime_error("task 3");
            }
        });
    }
    EXPECT_THROW(reader.run(std::move(tasks)), std::runtime_error);
    EXPECT_EQ(ran.load(), 20);
    reader.run({[&] { ++ran; }});  // the reader still works
    EXPECT_EQ(ran.load(), 21);
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

// The entry types of a listing say "file" even where the folder cannot be searched and so no
// file in it can be opened; such files must not be listed.
TEST_F(FileSystemTest, FilesOfAFolderThatCannotBeSearchedAreNotFiles) {
    tree.file("T/a.txt");
    tree.file("T/.hidden");
    tree.folder("T/sub");
    const std::string folder = tree.path("T");
    const auto filesSeen = [&] {
        return testing::RunAsOrdinaryUser([&] {
            const FolderListing listing = fs->listFolder(folder);
            int files = 0;
            for (const FolderEntry& entry : listing.entries) {
                files += entry.kind == EntryKind::File ? 1 : 0;
            }
            return listing.entries.size() == 3 ? files : 100;
        });
    };
    ASSERT_EQ(chmod(tree.at("T").c_str(), 0755), 0);
    EXPECT_EQ(filesSeen(), 2);
    ASSERT_EQ(chmod(tree.at("T").c_str(), 0644), 0);  // listable, not searchable
    EXPECT_EQ(filesSeen(), 0);
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
