#include "folders/posix_file_system.hpp"

#include <dirent.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#ifdef __linux__
#include "folders/kernel_dirent.hpp"
#endif
#include "folders/utf8.hpp"

namespace gantrylux {
namespace {

int ErrorCode(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return fs_error::kPermissionDenied;
        case ENOENT:
        case ENOTDIR:
            return fs_error::kPathNotFound;
        default:
            return fs_error::kPathFileAccess;
    }
}

[[noreturn]] void ThrowError(int error, std::string_view path) {
    throw FileSystemError(ErrorCode(error),
                          std::string(std::strerror(error)) + ": " + std::string(path));
}

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

std::string_view BaseName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The attribute word and kind of an entry whose target status is known.
void Describe(const struct stat& target, bool hidden, bool link, FolderEntry& entry) {
    if (S_ISDIR(target.st_mode)) {
        entry.kind = EntryKind::Folder;
        entry.attributes = attribute::kDirectory;
    } else {
        entry.kind = S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Other;
        entry.attributes = attribute::kArchive;
    }
    if (hidden) {
        entry.attributes |= attribute::kHidden;
    }
    if ((target.st_mode & S_IWUSR) == 0) {
        entry.attributes |= attribute::kReadOnly;
    }
    if (link) {
        entry.attributes |= attribute::kReparsePoint;
    }
}

// Fills kind and attributes of one directory entry. The entry type from readdir answers for
// plain files and folders; only hidden files (whose read-only bit decides whether they count
// as hidden-and-archive), links and entries of unknown type cost a stat. Returns false when
// the entry vanished before it could be examined.
bool Examine(int folder, const char* name, unsigned char type, bool searchable,
             FolderEntry& entry) {
    const bool hidden = IsHiddenName(entry.name);
    if (!searchable && type != DT_DIR) {
        // Nothing in a folder that cannot be searched can be opened: every stat fails.
        entry.kind = EntryKind::Other;
        entry.attributes = attribute::kArchive | (hidden ? attribute::kHidden : 0);
        return true;
    }
    struct stat own {};
    if (type == DT_UNKNOWN || (type == DT_REG && hidden)) {
        if (fstatat(folder, name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
            return false;
        }
        if (S_ISLNK(own.st_mode)) {
            type = DT_LNK;
        } else {
            Describe(own, hidden, false, entry);
            return true;
        }
    }
    switch (type) {
        case DT_DIR:
            entry.kind = EntryKind::Folder;
            entry.attributes = attribute::kDirectory | (hidden ? attribute::kHidden : 0);
            return true;
        case DT_REG:
            entry.kind = EntryKind::File;
            entry.attributes = attribute::kArchive;
            return true;
        case DT_LNK: {
            struct stat target {};
            if (fstatat(folder, name, &target, 0) != 0) {
                entry.kind = EntryKind::Other;  // dangling, or a loop the kernel refuses
                entry.attributes = attribute::kArchive | attribute::kReparsePoint |
                                   (hidden ? attribute::kHidden : 0);
                return true;
            }
            Describe(target, hidden, true, entry);
            return true;
        }
        default:
            entry.kind = EntryKind::Other;
            entry.attributes = attribute::kArchive | (hidden ? attribute::kHidden : 0);
            return true;
    }
}

class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() { close(fd_); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

  private:
    int fd_;
};

// `name` is NUL-terminated, as the directory read gives it.
void AddEntry(int folder, const char* name, unsigned char type, bool searchable,
              FolderListing& listing) {
    const std::string_view text(name);
    if (text == "." || text == "..") {
        return;
    }
    FolderEntry entry;
    entry.name = listing.keepName(text);
    entry.badName = !IsValidUtf8(text);
    if (Examine(folder, name, type, searchable, entry)) {
        listing.entries.push_back(std::move(entry));
    }
}

#ifdef __linux__
// The directory's entries straight from the kernel: a readdir stream would cost an fstat and
// two fcntl calls more per folder, a third of all the system calls of a merge. Each batch is
// counted before it is added, so the listing's storage is taken once, to size.
void ReadEntries(int fd, std::string_view folder, bool searchable, FolderListing& listing) {
    alignas(8) static thread_local char buffer[64 * 1024];
    for (;;) {
        const long bytes = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (bytes < 0) {
            ThrowError(errno, folder);
        }
        if (bytes == 0) {
            return;
        }
        std::size_t entries = 0;
        std::size_t nameBytes = 0;
        for (long at = 0; at < bytes;) {
            const auto* k = reinterpret_cast<const KernelDirent*>(buffer + at);
            const std::string_view name(k->d_name);
            if (name != "." && name != "..") {
                ++entries;
                nameBytes += name.size();
            }
            at += k->d_reclen;
        }
        listing.reserve(entries, nameBytes);
        for (long at = 0; at < bytes;) {
            const auto* k = reinterpret_cast<const KernelDirent*>(buffer + at);
            AddEntry(fd, k->d_name, k->d_type, searchable, listing);
            at += k->d_reclen;
        }
    }
}
#else
void ReadEntries(int fd, std::string_view folder, bool searchable, FolderListing& listing) {
    const int own = dup(fd);
    DIR* dir = own < 0 ? nullptr : fdopendir(own);
    if (dir == nullptr) {
        const int error = errno;
        if (own >= 0) {
            close(own);
        }
        ThrowError(error, folder);
    }
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir);
        if (d == nullptr) {
            const int error = errno;
            closedir(dir);
            if (error != 0) {
                ThrowError(error, folder);
            }
            return;
        }
        AddEntry(fd, d->d_name, d->d_type, searchable, listing);
    }
}
#endif

// A folder may be listable without being searchable (read but no execute permission): its
// names can be read, but nothing in it can be opened. The entry types the listing gives do not
// show that, so such a folder is asked about; one that every class of user may search is not.
bool IsSearchable(int fd, const struct stat& self) {
    constexpr mode_t kSearchByAll = S_IXUSR | S_IXGRP | S_IXOTH;
    return (self.st_mode & kSearchByAll) == kSearchByAll ||
           faccessat(fd, ".", X_OK, AT_EACCESS) == 0 || errno != EACCES;
}

// Reads the folder open as `fd` into `listing`; `folder` is its path, for the messages.
void ListOpenFolder(int fd, std::string_view folder, std::string_view name,
                    FolderListing& listing) {
    struct stat self {};
    if (fstat(fd, &self) != 0) {
        ThrowError(errno, folder);
    }
    listing.identity = {static_cast<std::uint64_t>(self.st_dev),
                        static_cast<std::uint64_t>(self.st_ino)};
    FolderEntry own;
    Describe(self, IsHiddenName(name), false, own);
    listing.attributes = own.attributes;
    ReadEntries(fd, folder, IsSearchable(fd, self), listing);
}

// Opens `name` in the folder open as `parent`. The name is copied to get its terminating NUL;
// names are short, so the copy stays on the stack.
int OpenSubfolder(int parent, std::string_view name) {
    constexpr std::size_t kShort = 256;
    if (name.size() < kShort) {
        char own[kShort];
        std::memcpy(own, name.data(), name.size());
        own[name.size()] = '\0';
        return openat(parent, own, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    return openat(parent, std::string(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

#ifdef __linux__
// devtmpfs reports the magic number of tmpfs, which holds real files; only the mount table
// tells the two apart.
bool IsDeviceTmpfs(dev_t device) {
    std::ifstream mounts("/proc/self/mountinfo");
    const std::string id = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string mountId, parentId, deviceId, field;
        fields >> mountId >> parentId >> deviceId;
        if (deviceId != id) {
            continue;
        }
        while (fields >> field && field != "-") {
        }
        std::string type;
        fields >> type;
        return type == "devtmpfs";
    }
    return false;
}

bool IsPseudoType(decltype(statfs::f_type) type) {
    switch (type) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case PSTOREFS_MAGIC:
        case BPF_FS_MAGIC:
        case EFIVARFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case BINFMTFS_MAGIC:
        case NSFS_MAGIC:
        case 0x62656570:  // configfs
        case 0x65735543:  // fusectl
            return true;
        default:
            return false;
    }
}
#endif

}  // namespace

FolderListing PosixFileSystem::listFolder(std::string_view folder) const {
    if (folder.empty()) {
        ThrowError(ENOENT, folder);  // not the current folder
    }
    const int fd = open(std::string(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        ThrowError(errno, folder);
    }
    FdCloser closer(fd);
    FolderListing listing;
    ListOpenFolder(fd, folder, BaseName(folder), listing);
    return listing;
}

// A subfolder is opened by its name relative to its open parent: looking up the whole path is
// most of the cost of opening a deep folder.
OpenFolder PosixFileSystem::readFolder(OpenFolder parent, std::string_view path,
                                       std::string_view name, bool keepOpen,
                                       FolderRead& read) const {
    int fd = -1;
    if (parent.isOpen()) {
        fd = OpenSubfolder(static_cast<int>(parent.value), name);
    } else if (path.empty()) {
        errno = ENOENT;  // not the current folder
    } else {
        fd = open(std::string(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        name = BaseName(path);
    }
    if (fd < 0) {
        const int error = errno;
        read.failure.emplace(ErrorCode(error),
                             std::string(std::strerror(error)) + ": " + std::string(path));
        return {};
    }
    try {
        ListOpenFolder(fd, path, name, read.startListing());
    } catch (const FileSystemError& failure) {
        read.listing.reset();
        read.failure = failure;
        keepOpen = false;
    } catch (const std::exception& failure) {
        read.listing.reset();
        read.failure.emplace(fs_error::kPathFileAccess, failure.what());
        keepOpen = false;
    }
    if (!keepOpen) {
        close(fd);
        return {};
    }
    return {fd};
}

void PosixFileSystem::closeFolder(OpenFolder folder) const {
    if (folder.isOpen()) {
        close(static_cast<int>(folder.value));
    }
}

std::optional<std::uint32_t> PosixFileSystem::attributes(std::string_view path) const {
    const std::string p(path);
    struct stat own {};
    if (p.empty() || lstat(p.c_str(), &own) != 0) {
        return std::nullopt;
    }
    const bool link = S_ISLNK(own.st_mode);
    struct stat target = own;
    if (link && stat(p.c_str(), &target) != 0) {
        return attribute::kArchive | attribute::kReparsePoint |
               (IsHiddenName(BaseName(path)) ? attribute::kHidden : 0);
    }
    FolderEntry entry;
    Describe(target, IsHiddenName(BaseName(path)), link, entry);
    return entry.attributes;
}

bool PosixFileSystem::fileExists(std::string_view path) const {
    struct stat target {};
    return !path.empty() && stat(std::string(path).c_str(), &target) == 0 &&
           S_ISREG(target.st_mode);
}

bool PosixFileSystem::pathExists(std::string_view path) const {
    struct stat target {};
    return !path.empty() && stat(std::string(path).c_str(), &target) == 0;
}

bool PosixFileSystem::isPseudoFileSystem(std::string_view folder) const {
#ifdef __linux__
    const std::string path(folder);
    struct statfs info {};
    struct stat own {};
    if (path.empty() || statfs(path.c_str(), &info) != 0 || stat(path.c_str(), &own) != 0) {
        return false;
    }
    return IsPseudoType(info.f_type) || (info.f_type == TMPFS_MAGIC && IsDeviceTmpfs(own.st_dev));
#else
    (void)folder;
    return false;
#endif
}

std::string PosixFileSystem::resolvedFolder(std::string_view folder) const {
    char* resolved = realpath(std::string(folder).c_str(), nullptr);
    if (resolved == nullptr) {
        return std::string(folder);
    }
    std::string text(resolved);
    std::free(resolved);
    return text;
}

bool PosixFileSystem::reachesPathLimit(std::string_view path) const {
    return path.size() >= PATH_MAX;
}

std::size_t PosixFileSystem::pathBytesBelowLimit() const {
    return PATH_MAX;
}

bool PosixFileSystem::isRoot(std::string_view folder) const {
    return !folder.empty() && folder.find_first_not_of('/') == std::string_view::npos;
}

}  // namespace gantrylux
