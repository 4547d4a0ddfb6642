#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "folders/walk_arena.hpp"

namespace gantrylux {

// File attribute bits, with the values the platform's attribute word has always had.
namespace attribute {
inline constexpr std::uint32_t kReadOnly = 1;
inline constexpr std::uint32_t kHidden = 2;
inline constexpr std::uint32_t kSystem = 4;
inline constexpr std::uint32_t kDirectory = 16;
inline constexpr std::uint32_t kArchive = 32;
inline constexpr std::uint32_t kReparsePoint = 1024;
}  // namespace attribute

// Failure codes of folder access, as the rest of the program tells them apart.
namespace fs_error {
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathNotFound = 76;
inline constexpr int kPathFileAccess = 75;  // any other failure
}  // namespace fs_error

class FileSystemError : public std::runtime_error {
  public:
    FileSystemError(int code, const std::string& description)
        : std::runtime_error(description), code_(code) {}
    int code() const noexcept { return code_; }

  private:
    int code_;
};

// What an entry of a folder is, links followed: an existing file (what FileExists accepts), a
// folder (what IsFolder accepts), or neither (a dangling link, a device, a pipe).
enum class EntryKind : std::uint8_t { File, Folder, Other };

struct FolderEntry {
    std::string_view name;  // plain name (UTF-8), kept by the listing the entry belongs to
    EntryKind kind = EntryKind::Other;
    // The attribute word of the entry. The hidden, system, directory and reparse-point bits are
    // always exact; a backend may leave out the read-only bit where nothing depends on it (a
    // file that is not hidden), to save a system call per file.
    std::uint32_t attributes = 0;
    // True when the name cannot be carried as text (bytes that are not UTF-8).
    bool badName = false;
};

// Where a folder lives: device and inode, or volume and file id. Two paths that reach the
// same folder (through a link) have the same identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::uint64_t indexHigh = 0;  // the upper half of a 128-bit file id
    // False where the volume gives no id at all: such a folder is never taken for another.
    bool known = true;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// One read of a folder. It owns the names of its entries, in a few large blocks rather than a
// string each: a merge keeps hundreds of thousands of them. Entries and names live in the
// memory the listing was made with, which a walk gives it.
class FolderListing {
  public:
    explicit FolderListing(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : entries(memory), blocks_(memory), memory_(memory) {}

    // In the order the file system yields them, no "." or "..".
    std::vector<FolderEntry, ResourceAllocator<FolderEntry>> entries;
    FileIdentity identity;  // of the folder that was read
    // The folder's own attribute word, where the read tells it at no extra cost.
    std::optional<std::uint32_t> attributes;

    // Room for this many more entries whose names take this many bytes in all, for a backend
    // that knows what comes before it adds it: the storage is then taken once, to size.
    void reserve(std::size_t moreEntries, std::size_t nameBytes);
    // Copies a name into the listing; the view stays valid as long as the listing, moves
    // included.
    std::string_view keepName(std::string_view name);

  private:
    struct GiveBack {
        std::pmr::memory_resource* memory;
        std::size_t bytes;
        void operator()(char* block) const noexcept { memory->deallocate(block, bytes, 1); }
    };
    using Block = std::unique_ptr<char[], GiveBack>;

    void addBlock(std::size_t bytes);

    std::vector<Block, ResourceAllocator<Block>> blocks_;
    std::pmr::memory_resource* memory_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

// The outcome of reading one folder: its listing, or why it could not be read.
struct FolderRead {
    std::optional<FolderListing> listing;
    std::optional<FileSystemError> failure;
    // Where a backend makes the listing.
    std::pmr::memory_resource* memory = std::pmr::get_default_resource();

    FolderListing& startListing() { return listing.emplace(memory); }
};

// A folder a backend holds open between reads; the meaning of the value is the backend's.
struct OpenFolder {
    std::intptr_t value = -1;
    bool isOpen() const noexcept { return value >= 0; }
};

// The file system as the core needs it. Paths use the platform's separator. Every method may
// be called from several threads at once.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // One read of a folder: its files and subfolders with what the walk and the merge need.
    // Throws FileSystemError: kPermissionDenied, kPathNotFound, or kPathFileAccess.
    virtual FolderListing listFolder(std::string_view folder) const = 0;
    // Reads the folder at `path` into `read`: its listing, or the failure listFolder throws.
    // When `parent` is open, `path` is the parent's path, `name` and a separator, and a backend
    // may open the folder by its name relative to the parent, which spares looking up the
    // whole path again. When `keepOpen` is asked, a backend may leave the folder open and hand
    // it back, for reading its own subfolders the same way; the caller then closes it with
    // closeFolder. This one asks listFolder and keeps nothing open.
    virtual OpenFolder readFolder(OpenFolder parent, std::string_view path, std::string_view name,
                                  bool keepOpen, FolderRead& read) const;
    virtual void closeFolder(OpenFolder folder) const;

    // The attribute word of a path, links followed for the directory bit; nothing when the
    // path cannot be examined.
    virtual std::optional<std::uint32_t> attributes(std::string_view path) const = 0;
    // An existing file that could be opened; never blocks (no open of a pipe).
    virtual bool fileExists(std::string_view path) const = 0;
    // The path exists at all.
    virtual bool pathExists(std::string_view path) const = 0;
    // The root folder of a drive ("/" on posix; "C:\", "\\server\share\" on Windows).
    virtual bool isRoot(std::string_view folder) const = 0;
    // A file system of kernel state rather than documents (proc, sysfs, devtmpfs and the like).
    // A walk never enters one: it can be endless, and nothing in it is worth opening.
    virtual bool isPseudoFileSystem(std::string_view /*folder*/) const { return false; }
    // The folder's path with every link resolved, where the platform tells it cheaply; the path
    // as given otherwise. Reading below a folder reached through links by this path keeps the
    // system from following a chain of links longer than it allows in one path.
    virtual std::string resolvedFolder(std::string_view folder) const {
        return std::string(folder);
    }
    // The path is as long as the platform allows or longer, so no program could open anything
    // named by it or below it.
    virtual bool reachesPathLimit(std::string_view /*path*/) const { return false; }
    // Paths of fewer bytes than this are below the platform's limit, so asking reachesPathLimit
    // about them can be spared.
    virtual std::size_t pathBytesBelowLimit() const { return SIZE_MAX; }

    // Whether a file name matches a pattern of "*" and "?", letter case ignored as this file
    // system's own searches ignore it (MatchesPattern: ASCII letters only).
    virtual bool matchesPattern(std::string_view name, std::string_view pattern) const;

    // The separator of paths on this file system.
    virtual char separator() const = 0;
};

}  // namespace gantrylux
