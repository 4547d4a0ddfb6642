#include "folders/win32_file_system.hpp"

#include <utility>

#include "folders/win32_api.hpp"
#include "folders/win32_error.hpp"
#include "folders/win32_path.hpp"
#include "folders/win32_text.hpp"

namespace gantrylux {

namespace {

// Closes a handle on every way out, throws included.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

class Search {
  public:
    explicit Search(HANDLE handle) : handle_(handle) {}
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    ~Search() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

std::wstring FolderPathOrThrow(std::string_view folder) {
    std::optional<std::wstring> wide = win32::WidenPath(folder);
    if (!wide || wide->empty()) {
        // Text that is not UTF-8 names no folder; an empty text would otherwise read the
        // current drive's root.
        win32::ThrowFolderError(ERROR_INVALID_NAME);
    }
    if (wide->back() != L'\\' && wide->back() != L'/') {
        wide->push_back(L'\\');
    }
    return std::move(*wide);
}

FileIdentity IdentityOf(const std::wstring& folder) {
    // Backup semantics is what lets a folder, not only a file, be opened.
    Handle handle(CreateFileW(win32::ForApi(folder).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info)) {
        win32::ThrowFolderError(GetLastError());
    }
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
}

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool OpensAsFile(const std::wstring& path) {
    // No access rights asked for: the open succeeds for any existing file without reading it,
    // and fails for a folder, which needs backup semantics to be opened.
    constexpr DWORD kNoBufferingSequentialScan = FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN;
    Handle handle(CreateFileW(win32::ForApi(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, kNoBufferingSequentialScan, nullptr));
    return handle.valid();
}

// A name ending in a dot or a space loses that ending when a path is parsed, so the path built
// from it reaches another file or folder (the one without the ending) or none. Only the "\\?\"
// form, which short paths do not get, reaches such an entry.
bool ReachableByName(std::wstring_view name) {
    return name.back() != L'.' && name.back() != L' ';
}

FolderEntry EntryOf(const std::wstring& folder, const WIN32_FIND_DATAW& found,
                    FolderListing& listing) {
    const win32::NarrowedName name = win32::Narrow(found.cFileName);
    FolderEntry entry;
    entry.name = listing.keepName(name.text);
    entry.badName = !name.exact;
    entry.attributes = found.dwFileAttributes;
    if (!ReachableByName(found.cFileName)) {
        // Before the directory bit: a walk entering such a folder would list another one.
        entry.kind = EntryKind::Other;
    } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        entry.kind = EntryKind::Folder;
    } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link may dangle. Other files open as a matter of course, and opening each of them
        // would double the cost of a read.
        entry.kind = OpensAsFile(folder + found.cFileName) ? EntryKind::File : EntryKind::Other;
    } else {
        entry.kind = EntryKind::File;
    }
    return entry;
}

bool IsExistingFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(win32::ForApi(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

FolderListing Win32FileSystem::listFolder(std::string_view folder) const {
    const std::wstring path = FolderPathOrThrow(folder);
    FolderListing listing;
    listing.identity = IdentityOf(path);

    WIN32_FIND_DATAW found;
    Search search(FindFirstFileExW(win32::ForApi(path + L'*').c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (search.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A drive root has no "." entry, so an empty one finds nothing at all.
        if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) &&
            IsExistingFolder(path)) {
            return listing;
        }
        win32::ThrowFolderError(error);
    }
    do {
        if (!IsDotOrDotDot(found.cFileName)) {
            listing.entries.push_back(EntryOf(path, found, listing));
        }
    } while (FindNextFileW(search.get(), &found));
    // Anything but the normal end means entries are missing: a partial listing is no listing.
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) {
        win32::ThrowFolderError(error);
    }
    return listing;
}

std::optional<std::uint32_t> Win32FileSystem::attributes(std::string_view path) const {
    const std::optional<std::wstring> wide = win32::WidenPath(path);
    if (!wide) {
        return std::nullopt;
    }
    const DWORD attributes = GetFileAttributesW(win32::ForApi(*wide).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return attributes;
}

bool Win32FileSystem::fileExists(std::string_view path) const {
    const std::optional<std::wstring> wide = win32::WidenPath(path);
    return wide && OpensAsFile(*wide);
}

bool Win32FileSystem::pathExists(std::string_view path) const {
    const std::optional<std::wstring> wide = win32::WidenPath(path);
    if (!wide) {
        return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(win32::ForApi(*wide).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool Win32FileSystem::isRoot(std::string_view folder) const {
    const std::optional<std::wstring> wide = win32::WidenPath(folder);
    return wide && win32::IsRootPath(*wide);
}

bool Win32FileSystem::reachesPathLimit(std::string_view path) const {
    // Counted in UTF-16 units and with the "\\?\" prefix a long path is handed over with, since
    // that is what the system measures.
    constexpr std::size_t kLongestPath = 32767;
    const std::optional<std::wstring> wide = win32::WidenPath(path);
    // Text that cannot be widened names nothing the system could open, at any length.
    return !wide || win32::ForApi(*wide).size() >= kLongestPath;
}

// Short paths go to the system as they are; only those past the classic limit get the prefix
// and the making absolute that can bring them near the real one.
std::size_t Win32FileSystem::pathBytesBelowLimit() const {
    constexpr std::size_t kClassicLimit = 260;
    return kClassicLimit;
}

}  // namespace gantrylux
