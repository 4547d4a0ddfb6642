#include "folders/win32_folder_watch.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <optional>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "folders/win32_api.hpp"
#include "folders/win32_path.hpp"
#include "folders/win32_text.hpp"

namespace gantrylux {

namespace {

// The largest buffer a change read on a network share accepts.
constexpr DWORD kBufferBytes = 64 * 1024;
// Names that come and go, and the hidden, system and archive bits that decide which files
// count. Writes to a file's contents are left out: they change no listing.
constexpr DWORD kChangesWatched =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES;
// One wait takes the wake event and one event a row.
constexpr std::size_t kMostWatches = MAXIMUM_WAIT_OBJECTS - 1;
// Changes rarely come alone: a copy, an unpacking or a save through a temporary file makes many
// within moments, and each report costs the core a read of every folder in it.
constexpr std::chrono::milliseconds kBurst{100};

std::string RootOf(const WatchedRow& row) {
    std::string root = row.folders && !row.folders->empty() ? row.folders->front() : row.row;
    if (!root.empty() && root.back() != '\\' && root.back() != '/') {
        root.push_back('\\');
    }
    return root;
}

}  // namespace

struct Win32FolderWatch::RowWatch {
    RowWatch(std::string row_text, std::string root_text, HANDLE folder_handle)
        : row(std::move(row_text)),
          root(std::move(root_text)),
          folder(folder_handle),
          event(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          buffer(std::make_unique<DWORD[]>(kBufferBytes / sizeof(DWORD))) {}
    RowWatch(const RowWatch&) = delete;
    RowWatch& operator=(const RowWatch&) = delete;
    ~RowWatch() {
        if (pending) {
            // The system writes into the buffer and the OVERLAPPED until the cancelled read has
            // completed: neither may be freed before.
            CancelIoEx(folder.get(), &overlapped);
            DWORD bytes = 0;
            GetOverlappedResult(folder.get(), &overlapped, &bytes, TRUE);
        }
    }

    bool arm() {
        ResetEvent(event.get());
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.get();
        pending = ReadDirectoryChangesW(folder.get(), buffer.get(), kBufferBytes, TRUE,
                                        kChangesWatched, nullptr, &overlapped, nullptr) != 0;
        return pending;
    }

    std::string row;
    std::string root;  // as the row's folders give it, ending in the separator
    win32::Handle folder;
    win32::Handle event;
    OVERLAPPED overlapped{};
    std::unique_ptr<DWORD[]> buffer;  // DWORD-aligned, as the change read needs
    bool pending = false;
};

// A report that names each folder and row once, however many changes a burst brings.
class Win32FolderWatch::ReportBuilder {
  public:
    void changed(std::string folder) { Add(report_.changedFolders, folders_, std::move(folder)); }
    void overflowed(const std::string& row) { Add(report_.overflowedRows, overflowed_, row); }
    void unwatchable(const std::string& row) { report_.unwatchableRows.push_back(row); }
    bool empty() const { return report_.empty(); }
    WatchReport take() { return std::move(report_); }

  private:
    static void Add(std::vector<std::string>& list, std::unordered_set<std::string>& seen,
                    std::string text) {
        if (seen.insert(text).second) {
            list.push_back(std::move(text));
        }
    }

    WatchReport report_;
    std::unordered_set<std::string> folders_;
    std::unordered_set<std::string> overflowed_;
};

namespace {

// The folder of each changed entry: the root and the folder part of the entry's path below
// it. The buffer is read field by field, as the system wrote it, and an entry that would run
// past what was written ends the reading.
template <typename Report>
void ReportChanges(const std::string& root, const std::byte* buffer, DWORD bytes, Report& report) {
    constexpr std::size_t kHeader = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    std::size_t offset = 0;
    for (;;) {
        if (bytes - offset < kHeader) {
            return;
        }
        DWORD next = 0;
        DWORD nameBytes = 0;
        std::memcpy(&next, buffer + offset + offsetof(FILE_NOTIFY_INFORMATION, NextEntryOffset),
                    sizeof next);
        std::memcpy(&nameBytes, buffer + offset + offsetof(FILE_NOTIFY_INFORMATION, FileNameLength),
                    sizeof nameBytes);
        if (nameBytes > bytes - offset - kHeader) {
            return;
        }
        std::wstring name(nameBytes / sizeof(wchar_t), L'\0');
        std::memcpy(name.data(), buffer + offset + kHeader, name.size() * sizeof(wchar_t));
        const std::size_t cut = name.find_last_of(L"\\/");
        const std::wstring_view folderPart = cut == std::wstring::npos
                                                 ? std::wstring_view{}
                                                 : std::wstring_view(name).substr(0, cut + 1);
        report.changed(root + win32::Narrow(folderPart).text);
        if (next == 0 || next > bytes - offset) {
            return;
        }
        offset += next;
    }
}

}  // namespace

Win32FolderWatch::Win32FolderWatch() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!wake_.valid()) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateEventW");
    }
}

Win32FolderWatch::~Win32FolderWatch() = default;

WatchReport Win32FolderWatch::next(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
        thread_ = std::jthread([this](std::stop_token own) {
            try {
                while (!own.stop_requested()) {
                    WatchReport report = gather(own);
                    if (!report.empty()) {
                        const std::lock_guard lock(mutex_);
                        reports_.push_back(std::move(report));
                        gathered_.notify_all();
                    }
                }
            } catch (...) {
                const std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
                gathered_.notify_all();
            }
        });
    }
    if (!gathered_.wait(lock, stop, [&] { return !reports_.empty() || failure_; })) {
        return {};
    }
    if (reports_.empty()) {
        std::rethrow_exception(failure_);
    }
    WatchReport report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

void Win32FolderWatch::watch(std::vector<WatchedRow> rows) {
    {
        const std::lock_guard lock(mutex_);
        wanted_ = std::move(rows);
        ++wantedVersion_;
    }
    SetEvent(wake_.get());
}

WatchReport Win32FolderWatch::gather(std::stop_token stop) {
    const std::stop_callback wakeOnStop(stop, [this] { SetEvent(wake_.get()); });
    ReportBuilder report;
    std::optional<std::chrono::steady_clock::time_point> due;
    std::vector<HANDLE> handles;
    while (!stop.stop_requested()) {
        placeWatches(report);
        if (!due && !report.empty()) {
            due = std::chrono::steady_clock::now() + kBurst;
        }
        DWORD timeout = INFINITE;
        if (due) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                *due - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return report.take();
            }
            timeout = static_cast<DWORD>(left.count());
        }
        handles.assign(1, wake_.get());
        for (const auto& row : watches_) {
            handles.push_back(row->event.get());
        }
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                   handles.data(), FALSE, timeout);
        if (woken == WAIT_TIMEOUT) {
            return report.take();
        }
        if (woken == WAIT_FAILED) {
            throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                    "WaitForMultipleObjects");
        }
        // Every row whose read has completed, not only the first the wait names: a row that
        // changes without pause must not hold back the others.
        for (std::size_t i = 0; i < watches_.size();) {
            RowWatch& row = *watches_[i];
            if (WaitForSingleObject(row.event.get(), 0) == WAIT_OBJECT_0 && !collect(row, report)) {
                giveUp(row.row, row.root, report);
                dropWatch(i);
            } else {
                ++i;
            }
        }
    }
    return {};
}

void Win32FolderWatch::placeWatches(ReportBuilder& report) {
    std::vector<WatchedRow> wanted;
    {
        const std::lock_guard lock(mutex_);
        if (wantedVersion_ == placedVersion_) {
            return;
        }
        placedVersion_ = wantedVersion_;
        wanted = wanted_;
    }
    std::map<std::string, std::string> roots;
    std::vector<const std::string*> order;
    for (const WatchedRow& row : wanted) {
        const auto [at, added] = roots.emplace(row.row, RootOf(row));
        if (added) {
            order.push_back(&at->first);
        }
    }
    const auto notWanted = [&roots](const std::string& row, const std::string& root) {
        const auto found = roots.find(row);
        return found == roots.end() || found->second != root;
    };
    // Closed first, so the rows given now can have the places of those given up.
    for (std::size_t i = watches_.size(); i-- > 0;) {
        if (notWanted(watches_[i]->row, watches_[i]->root)) {
            dropWatch(i);
        }
    }
    std::erase_if(unwatchable_,
                  [&](const auto& told) { return notWanted(told.first, told.second); });

    for (const std::string* row : order) {
        const std::string& root = roots.at(*row);
        const bool watched = std::any_of(watches_.begin(), watches_.end(),
                                         [&](const auto& placed) { return placed->row == *row; });
        if (watched || unwatchable_.contains(*row)) {
            continue;
        }
        std::unique_ptr<RowWatch> placed;
        if (watches_.size() < kMostWatches) {
            placed = open(*row, root);
        }
        if (placed) {
            watches_.push_back(std::move(placed));
        } else {
            giveUp(*row, root, report);
        }
    }
}

std::unique_ptr<Win32FolderWatch::RowWatch> Win32FolderWatch::open(const std::string& row,
                                                                   const std::string& root) {
    const std::optional<std::wstring> wide = win32::WidenPath(root);
    if (!wide || wide->empty()) {
        return nullptr;
    }
    // Backup semantics is what lets a folder be opened; sharing everything keeps the watch from
    // stopping anyone renaming or deleting what it watches.
    const HANDLE folder =
        CreateFileW(win32::ForApi(*wide).c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    auto placed = std::make_unique<RowWatch>(row, root, folder);
    if (!placed->folder.valid() || !placed->event.valid() || !placed->arm()) {
        return nullptr;
    }
    return placed;
}

// False when the row can no longer be watched.
bool Win32FolderWatch::collect(RowWatch& row, ReportBuilder& report) {
    DWORD bytes = 0;
    if (!GetOverlappedResult(row.folder.get(), &row.overlapped, &bytes, FALSE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            return true;
        }
        row.pending = false;
        // Whatever changed since the read was placed is unknown.
        report.overflowed(row.row);
        // A read is cancelled when the thread that placed it ends: the row is still there and
        // is read again. Any other failure, as when the root is deleted, would only repeat.
        if (error != ERROR_NOTIFY_ENUM_DIR && error != ERROR_OPERATION_ABORTED) {
            return false;
        }
    } else {
        row.pending = false;
        if (bytes == 0) {
            // More changes than the buffer holds: the system kept none of them.
            report.overflowed(row.row);
        } else {
            ReportChanges(row.root, reinterpret_cast<const std::byte*>(row.buffer.get()),
                          std::min(bytes, kBufferBytes), report);
        }
    }
    return row.arm();
}

// Told once: the row stays given up until watch() no longer asks for it.
void Win32FolderWatch::giveUp(const std::string& row, const std::string& root,
                              ReportBuilder& report) {
    report.unwatchable(row);
    unwatchable_.emplace(row, root);
}

void Win32FolderWatch::dropWatch(std::size_t index) {
    watches_.erase(watches_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace gantrylux
