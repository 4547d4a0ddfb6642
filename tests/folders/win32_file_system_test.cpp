#include "folders/win32_file_system.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "folders/folder_walk.hpp"
#include "folders/win32_api.hpp"
#include "folders/win32_error.hpp"
#include "folders/win32_temp_folder.hpp"
#include "lists/merge.hpp"

namespace gantrylux {
namespace {

using testing::Win32TempFolder;

std::string Utf8(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size,
                        nullptr, nullptr);
    return narrow;
}

const FolderEntry* Find(const FolderListing& listing, const std::string& name) {
    const auto found = std::find_if(listing.entries.begin(), listing.entries.end(),
                                    [&](const FolderEntry& entry) { return entry.name == name; });
    return found == listing.entries.end() ? nullptr : &*found;
}

int FailureCode(const FileSystem& fs, const std::string& folder) {
    try {
        fs.listFolder(folder);
    } catch (const FileSystemError& failure) {
        EXPECT_FALSE(std::string(failure.what()).empty());
        EXPECT_FALSE(std::string(failure.what()).ends_with('\n'));
        return failure.code();
    }
    return 0;
}

class Win32FileSystemTest : public ::testing::Test {
  protected:
    std::string path(const std::wstring& relative = L"") const { return Utf8(tree.at(relative)); }

    Win32TempFolder tree;
    Win32FileSystem fs;
};

struct EntryCase {
    const wchar_t* name;
    bool folder;
    DWORD set;               // attributes set after creation, 0 for none
    std::uint32_t expected;  // the attribute word a listing must give
};

TEST_F(Win32FileSystemTest, ListingGivesEveryEntryWithItsKindAndExactAttributes) {
    const EntryCase cases[] = {
        {L"plain.txt", false, 0, 32},
        {L"hidden.txt", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, 34},
        {L"hidden-system.txt", false,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, 38},
        {L"read-only.txt", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 33},
        {L"sub", true, 0, 16},
        {L"hidden-system", true, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 22},
        {L"hidden", true, FILE_ATTRIBUTE_HIDDEN, 18},
    };
    for (const EntryCase& entry : cases) {
        entry.folder ? tree.folder(entry.name, entry.set) : tree.file(entry.name, entry.set);
    }

    const FolderListing listing = fs.listFolder(path());

    EXPECT_EQ(listing.entries.size(), std::size(cases));
    for (const EntryCase& expected : cases) {
        SCOPED_TRACE(Utf8(expected.name));
        const FolderEntry* entry = Find(listing, Utf8(expected.name));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, expected.folder ? EntryKind::Folder : EntryKind::File);
        EXPECT_EQ(entry->attributes, expected.expected);
        EXPECT_FALSE(entry->badName);
    }
    EXPECT_EQ(Find(listing, "."), nullptr);
    EXPECT_EQ(Find(listing, ".."), nullptr);
}

TEST_F(Win32FileSystemTest, HiddenOnlyFileListsWithTheAttributesTheSystemReports) {
    // Windows reports 2; Wine keeps the archive bit on every file and reports 34.
    tree.file(L"h.txt", FILE_ATTRIBUTE_HIDDEN);
    const DWORD system = GetFileAttributesW(tree.at(L"h.txt").c_str());

    const FolderEntry* entry = Find(fs.listFolder(path()), "h.txt");

    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->attributes, system);
    EXPECT_EQ(entry->attributes & ~std::uint32_t{FILE_ATTRIBUTE_ARCHIVE}, 2u);
}

TEST_F(Win32FileSystemTest, FolderWithoutEntriesListsNothingAndTheSeparatorIsOptional) {
    tree.folder(L"empty");
    tree.file(L"a.txt");

    EXPECT_TRUE(fs.listFolder(path(L"empty")).entries.empty());
    EXPECT_TRUE(fs.listFolder(path(L"empty") + "\\").entries.empty());
    EXPECT_EQ(fs.listFolder(path()).entries.size(), 2u);
    EXPECT_EQ(fs.listFolder(path() + "\\").entries.size(), 2u);
}

TEST_F(Win32FileSystemTest, NonAsciiNamesComeBackAsExactUtf8AndReachTheirFiles) {
    const std::wstring file = L"\u6570\u636e \u2019\u2013\u2014.txt";
    const std::wstring folder = L"\u30d5\u30a9\u30eb\u30c0";
    tree.file(file);
    tree.folder(folder);
    tree.file(folder + L"\\\u00e9t\u00e9.txt");

    const FolderListing listing = fs.listFolder(path());

    ASSERT_NE(Find(listing, "\xe6\x95\xb0\xe6\x8d\xae \xe2\x80\x99\xe2\x80\x93\xe2\x80\x94.txt"),
              nullptr);
    ASSERT_NE(Find(listing, "\xe3\x83\x95\xe3\x82\xa9\xe3\x83\xab\xe3\x83\x80"), nullptr);
    EXPECT_TRUE(fs.fileExists(path() + "\\" + std::string(Find(listing, Utf8(file))->name)));
    EXPECT_EQ(fs.listFolder(path(folder)).entries.at(0).name, "\xc3\xa9t\xc3\xa9.txt");
}

TEST_F(Win32FileSystemTest, FilesThatTheirOwnPathsCannotReachAreNotListedAsFiles) {
    // Path parsing drops a trailing dot or space, so these are reachable only through "\\?\"
    // paths: "t." and "t " by their paths reach nothing, "u." reaches the other file "u".
    for (const wchar_t* name : {L"t.", L"t ", L"u", L"u."}) {
        tree.file(name);
    }

    const FolderListing listing = fs.listFolder(path());

    for (const char* name : {"t.", "t ", "u."}) {
        SCOPED_TRACE(name);
        const FolderEntry* entry = Find(listing, name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, EntryKind::Other);
    }
    ASSERT_NE(Find(listing, "u"), nullptr);
    EXPECT_EQ(Find(listing, "u")->kind, EntryKind::File);
}

TEST_F(Win32FileSystemTest, FoldersThatTheirOwnPathsCannotReachAreNeitherListedNorWalked) {
    // As with files, only "\\?\" paths reach these: by its path "u." is the other folder "u".
    for (const wchar_t* name : {L"t.", L"t ", L"u", L"u."}) {
        tree.folder(name);
        tree.file(std::wstring(name) + L"\\inside.txt");
    }

    const FolderListing listing = fs.listFolder(path());
    std::vector<std::string> walk{path() + "\\"};
    GetSubDirectories2016(fs, walk, true);

    for (const char* name : {"t.", "t ", "u."}) {
        SCOPED_TRACE(name);
        const FolderEntry* entry = Find(listing, name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, EntryKind::Other);
    }
    EXPECT_EQ(walk, (std::vector<std::string>{path() + "\\", path(L"u") + "\\"}));
}

TEST_F(Win32FileSystemTest, ListingTheDriveRootNeedsNoSeparator) {
    // "C:" alone would be the current folder of drive C, which is not what a root row means.
    std::vector<std::string> withSeparator;
    std::vector<std::string> without;
    for (const FolderEntry& entry : fs.listFolder("C:\\").entries) {
        withSeparator.emplace_back(entry.name);
    }
    for (const FolderEntry& entry : fs.listFolder("C:").entries) {
        without.emplace_back(entry.name);
    }
    EXPECT_FALSE(withSeparator.empty());
    EXPECT_EQ(without, withSeparator);
    EXPECT_EQ(std::find(without.begin(), without.end(), ".."), without.end());
}

TEST_F(Win32FileSystemTest, FoldersThatCannotBeReadFailAsPathNotFound) {
    tree.file(L"file.txt");
    const std::string cases[] = {
        path(L"missing"),
        path(L"missing\\deeper"),
        path(L"file.txt"),
        "",
        path() + "\\\xff\xfe",          // not UTF-8
        path() + std::string(1, '\0'),  // would read the parent if cut at the NUL
        "\\\\no-such-server-here\\share",
    };
    for (const std::string& folder : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(FailureCode(fs, folder), fs_error::kPathNotFound);
    }
}

TEST(Win32FolderErrorTest, SystemErrorsMapToTheProgramsFailureCodes) {
    const std::pair<DWORD, int> cases[] = {
        {ERROR_ACCESS_DENIED, fs_error::kPermissionDenied},
        {ERROR_PATH_NOT_FOUND, fs_error::kPathNotFound},
        {ERROR_BAD_NETPATH, fs_error::kPathNotFound},
        {ERROR_SHARING_VIOLATION, fs_error::kPathFileAccess},
        {ERROR_NOT_READY, fs_error::kPathFileAccess},
    };
    for (const auto& [system, code] : cases) {
        SCOPED_TRACE(system);
        EXPECT_EQ(win32::FolderErrorCode(system), code);
        const std::string message = win32::SystemMessage(system);
        EXPECT_FALSE(message.empty());
        EXPECT_NE(message.back(), '\n');
        EXPECT_NE(message.back(), '\r');
    }
}

TEST_F(Win32FileSystemTest, ExistenceTestsAndAttributesOfPaths) {
    tree.file(L"plain.txt");
    tree.file(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    tree.folder(L"sub");
    struct Case {
        std::string path;
        bool file;
        bool exists;
        std::optional<std::uint32_t> attributes;
    };
    const Case cases[] = {
        {path(L"plain.txt"), true, true, 32},
        {path(L"hidden.txt"), true, true, 34},
        {path(L"sub"), false, true, 16},
        {path(L"sub") + "\\", false, true, 16},
        {path(L"missing.txt"), false, false, std::nullopt},
        {"", false, false, std::nullopt},
        // Cut at the NUL, these would name plain.txt and answer for it.
        {path(L"plain.txt") + std::string(1, '\0') + "x", false, false, std::nullopt},
        {path(L"plain.txt") + "\xff", false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fs.fileExists(c.path), c.file);
        EXPECT_EQ(fs.pathExists(c.path), c.exists);
        EXPECT_EQ(fs.attributes(c.path), c.attributes);
    }
}

TEST(Win32RootTest, DriveAndShareRootsAreRootsAndNothingBelowThem) {
    const std::pair<std::string, bool> cases[] = {
        {"C:\\", true},
        {"C:", true},
        {"d:\\", true},
        {"C:/", true},
        {"\\\\?\\C:\\", true},
        {"C:\\Windows", false},
        {"C:\\Windows\\", false},
        {"C:\\\\", true},
        {"1:\\", false},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\", true},
        {"\\\\?\\UNC\\server\\share\\", true},
        {"\\\\server\\share\\x", false},
        {"\\\\server\\share\\\\", true},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\\\share", false},
        {"\\", false},
        {"", false},
    };
    const Win32FileSystem fs;
    for (const auto& [folder, root] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(fs.isRoot(folder), root);
    }
    EXPECT_EQ(fs.separator(), '\\');
}

// The drive Q:, whose root is the test's folder and reads hidden + system + folder, as an NTFS
// drive root does; Wine's roots read as folders only, which would hide the fault.
class NtfsLikeDrive : public FileSystem {
  public:
    NtfsLikeDrive(const FileSystem& real, std::string root) : real_(real), root_(std::move(root)) {}
    FolderListing listFolder(std::string_view folder) const override {
        FolderListing listing = real_.listFolder(onDisk(folder));
        if (isRoot(folder)) {
            listing.attributes = kRootAttributes;
        }
        return listing;
    }
    std::optional<std::uint32_t> attributes(std::string_view path) const override {
        return isRoot(path) ? kRootAttributes : real_.attributes(onDisk(path));
    }
    bool fileExists(std::string_view path) const override { return real_.fileExists(onDisk(path)); }
    bool pathExists(std::string_view path) const override { return real_.pathExists(onDisk(path)); }
    bool isRoot(std::string_view folder) const override { return real_.isRoot(folder); }
    char separator() const override { return '\\'; }

  private:
    static constexpr std::uint32_t kRootAttributes = 22;
    std::string onDisk(std::string_view path) const { return root_ + std::string(path.substr(2)); }

    const FileSystem& real_;
    std::string root_;
};

TEST_F(Win32FileSystemTest, ADriveRootIsLookedIntoWhateverItsAttributes) {
    tree.file(L"a.txt");
    tree.folder(L"Sub");
    tree.file(L"Sub\\b.txt");
    const NtfsLikeDrive drive(fs, path());
    for (const char* row : {"Q:\\", "Q:"}) {
        SCOPED_TRACE(row);
        const MergeResult merged = BuildCandidates({}, {row}, drive, 1);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < merged.candidates.size(); ++i) {
            const std::string_view candidate = merged.candidates[i];
            names.emplace_back(candidate.substr(candidate.find_last_of('\\') + 1));
        }
        EXPECT_THAT(names, ::testing::UnorderedElementsAre("a.txt", "b.txt"));
    }
}

TEST(Win32PatternTest, EveryLetterIsMatchedIgnoringCaseButNeverByAShortName) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"x.\xd0\x94\xd0\x9e\xd0\x9a", "*.\xd0\xb4\xd0\xbe\xd0\xba", true},  // x.ДОК, *.док
        {"A.TXT", "*.txt", true},
        {"\xc3\x89t\xc3\xa9.txt", "\xc3\xa9t\xc3\xa9.*", true},  // Été.txt, été.*
        {"page.html", "*.htm", false},
        {"x.doc", "*.\xd0\xb4\xd0\xbe\xd0\xba", false},
    };
    const Win32FileSystem fs;
    for (const auto& c : cases) {
        EXPECT_EQ(fs.matchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
    }
}

TEST_F(Win32FileSystemTest, PathsPastTheClassicLengthLimitWorkLikeShortOnes) {
    std::wstring deep;
    while (tree.at(deep).size() < MAX_PATH + 40) {
        deep += (deep.empty() ? L"" : L"\\") + std::wstring(40, L'd');
        tree.folder(deep);
    }
    tree.file(deep + L"\\inner.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const std::string folder = path(deep);
    const std::string file = folder + "\\inner.txt";
    ASSERT_GT(file.size(), std::size_t{MAX_PATH});

    const FolderListing listing = fs.listFolder(folder);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].name, "inner.txt");
    EXPECT_EQ(listing.entries[0].attributes, 34u);
    EXPECT_NE(listing.identity, FileIdentity{});
    EXPECT_TRUE(fs.fileExists(file));
    EXPECT_TRUE(fs.pathExists(file));
    EXPECT_EQ(fs.attributes(file), 34u);
    EXPECT_EQ(fs.attributes(folder), 16u);
    EXPECT_FALSE(fs.fileExists(folder));

    // A walk carries a doubled separator of its first row into every path below it.
    const std::string doubled = path() + "\\" + folder.substr(path().size());
    EXPECT_EQ(fs.listFolder(doubled).entries.size(), 1u);
    EXPECT_TRUE(fs.fileExists(doubled + "\\inner.txt"));
}

// "C:" and names of 99 letters, `wide` UTF-16 units in all; `letter` is one unit.
std::string PathOfLength(std::size_t wide, std::string_view letter = "a") {
    std::string path = "C:";
    for (std::size_t at = 2; at < wide; ++at) {
        path += at % 100 == 2 ? std::string_view("\\") : letter;
    }
    return path;
}

// Programs cannot open a path past the classic limit; its short form, where it has one that
// fits, they can.
TEST_F(Win32FileSystemTest, PastTheClassicLimitAPathCountsByItsShortForm) {
    std::wstring deep;
    while (tree.at(deep).size() < MAX_PATH + 40) {
        deep += (deep.empty() ? L"" : L"\\") + std::wstring(40, L'd');
        tree.folder(deep);
    }
    tree.file(deep + L"\\inner.txt");
    const std::wstring file = tree.at(deep + L"\\inner.txt");
    const std::optional<std::wstring> openable = OpenablePath(file);
    ASSERT_TRUE(openable) << "no short names on this volume";
    EXPECT_LT(openable->size(), std::size_t{MAX_PATH});
    EXPECT_TRUE(fs.fileExists(Utf8(*openable)));
    EXPECT_EQ(OpenablePath(L"C:\\short.txt"), L"C:\\short.txt");

    const std::pair<std::string, bool> cases[] = {
        {Utf8(file), false},         {"C:\\short.txt", false},
        {PathOfLength(259), false},  // below the limit, whether it exists or not
        {PathOfLength(260), true},   // no such file, so no short form
        {PathOfLength(40000), true}, {"C:\\\xff", true},  // not UTF-8: no path at all
    };
    for (const auto& [path, reaches] : cases) {
        SCOPED_TRACE(path.substr(0, 12) + "... (" + std::to_string(path.size()) + " bytes)");
        EXPECT_EQ(fs.reachesPathLimit(path), reaches);
    }
}

TEST_F(Win32FileSystemTest, IdentityFollowsTheFolderNotItsSpelling) {
    tree.folder(L"a");
    tree.folder(L"b");
    tree.folder(L"a\\inner");

    const FileIdentity a = fs.listFolder(path(L"a")).identity;

    EXPECT_NE(a, FileIdentity{});
    EXPECT_EQ(fs.listFolder(path(L"a") + "\\").identity, a);
    EXPECT_EQ(fs.listFolder(path(L"a\\inner\\..")).identity, a);
    EXPECT_EQ(fs.listFolder("\\\\?\\" + path(L"a")).identity, a);
    EXPECT_NE(fs.listFolder(path(L"b")).identity, a);
    EXPECT_NE(fs.listFolder(path(L"a\\inner")).identity, a);
}

// Makes a junction at `link` that leads to `target`; false where the file system has none.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) {
        return false;
    }
    const HANDLE handle =
        CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The mount-point reparse buffer: a header, then the NT path and an empty print name, each
    // ending in a NUL.
    const std::wstring substitute = L"\\??\\" + target;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const WORD pathBytes = static_cast<WORD>(substituteBytes + 2 * sizeof(wchar_t));
    const WORD dataBytes = static_cast<WORD>(4 * sizeof(WORD) + pathBytes);
    std::vector<char> buffer(8 + dataBytes, '\0');
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD fields[] = {
        dataBytes, 0, 0, substituteBytes, static_cast<WORD>(substituteBytes + sizeof(wchar_t)), 0};
    std::memcpy(buffer.data(), &tag, sizeof tag);
    std::memcpy(buffer.data() + sizeof tag, fields, sizeof fields);
    std::memcpy(buffer.data() + sizeof tag + sizeof fields, substitute.data(), substituteBytes);
    DWORD returned = 0;
    const BOOL made =
        DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(handle);
    return made && (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TEST_F(Win32FileSystemTest, FolderReachedThroughAJunctionHasTheFoldersIdentity) {
    tree.folder(L"target");
    tree.file(L"target\\inside.txt");
    if (!MakeJunction(tree.at(L"junction"), tree.at(L"target"))) {
        GTEST_SKIP() << "this file system makes no junctions (Wine 8 has no reparse points)";
    }

    const FolderListing through = fs.listFolder(path(L"junction"));

    EXPECT_EQ(through.identity, fs.listFolder(path(L"target")).identity);
    ASSERT_EQ(through.entries.size(), 1u);
    EXPECT_EQ(through.entries[0].name, "inside.txt");
    const FolderEntry* junction = Find(fs.listFolder(path()), "junction");
    ASSERT_NE(junction, nullptr);
    EXPECT_EQ(junction->kind, EntryKind::Folder);
    EXPECT_EQ(junction->attributes, 16u | 1024u);
}

}  // namespace
}  // namespace gantrylux
