#include "folders/win32_file_system.hpp"

#include <cstring>
#include <utility>

#include "folders/glob.hpp"
#include "folders/utf16.hpp"
#include "folders/win32_api.hpp"
#include "folders/win32_error.hpp"
#include "folders/win32_handle.hpp"
#include "folders/win32_path.hpp"
#include "folders/win32_text.hpp"

namespace gantrylux {

namespace {

using win32::Handle;

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
    if (!handle.valid()) {
        win32::ThrowFolderError(GetLastError());
    }
    // The 128-bit id where the volume gives one: on ReFS and some redirectors the 64-bit index
    // is only part of it, and two folders can share it.
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle.get(), FileIdInfo, &id, sizeof id)) {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::memcpy(&low, id.FileId.Identifier, sizeof low);
        std::memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
        if (low != 0 || high != 0) {
            return {id.VolumeSerialNumber, low, high};
        }
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info)) {
        win32::ThrowFolderError(GetLastError());
    }
    const std::uint64_t index =
        (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow};
    return {info.dwVolumeSerialNumber, index, 0, index != 0};
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

bool Win32FileSystem::matchesPattern(std::string_view name, std::string_view pattern) const {
    const auto wideName = Utf8ToUtf16<wchar_t>(name);
    const auto widePattern = Utf8ToUtf16<wchar_t>(pattern);
    if (!wideName || !widePattern) {
        return FileSystem::matchesPattern(name, pattern);
    }
    return MatchesPatternWith(
        std::wstring_view(*wideName), std::wstring_view(*widePattern), [](wchar_t a, wchar_t b) {
            return a == b || CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL;
        });
}

bool Win32FileSystem::reachesPathLimit(std::string_view path) const {
    const std::optional<std::wstring> wide = win32::WidenPath(path);
    // Text that cannot be widened names nothing the system could open, at any length.
    return !wide || !OpenablePath(*wide);
}

std::optional<std::wstring> OpenablePath(const std::wstring& path) {
    if (path.size() < MAX_PATH) {
        return path;  // MAX_PATH counts the closing NUL
    }
    const std::wstring prefixed = win32::ForApi(path);
    std::wstring shortForm(MAX_PATH + 8, L'\0');
    for (;;) {
        const DWORD length = GetShortPathNameW(prefixed.c_str(), shortForm.data(),
                                               static_cast<DWORD>(shortForm.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < shortForm.size()) {
            shortForm.resize(length);
            break;
        }
        shortForm.resize(length);
    }
    if (shortForm.starts_with(win32::kLongUncPathPrefix)) {
        shortForm.replace(0, win32::kLongUncPathPrefix.size(), L"\\\\");
    } else if (shortForm.starts_with(win32::kLongPathPrefix)) {
        shortForm.erase(0, win32::kLongPathPrefix.size());
    }
    if (shortForm.size() >= MAX_PATH) {
        return std::nullopt;
    }
    return shortForm;
}

// Short paths go to the system as they are; only those past the classic limit get the prefix
// and the making absolute that can bring them near the real one.
std::size_t Win32FileSystem::pathBytesBelowLimit() const {
    constexpr std::size_t kClassicLimit = 260;
    return kClassicLimit;
}

}  // namespace gantrylux
