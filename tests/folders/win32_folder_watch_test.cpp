#include "folders/win32_folder_watch.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "folders/win32_api.hpp"
#include "folders/win32_temp_folder.hpp"
#include "folders/win32_text.hpp"

namespace gantrylux {
namespace {

using namespace std::chrono_literals;
using testing::Win32TempFolder;

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

WatchedRow Row(const std::string& folder) {
    return {folder, std::make_shared<const std::vector<std::string>>(1, folder)};
}

// One worker calls next() for the whole test, as the program's does: a change read is
// cancelled when the thread that placed it ends.
class Win32FolderWatchTest : public ::testing::Test {
  protected:
    void makeTree(const std::wstring& parent = Win32TempFolder::SystemTempFolder()) {
        tree = std::make_unique<Win32TempFolder>(parent);
    }
    // A folder of the tree as a row gives it, ending in the separator.
    std::string path(const std::wstring& relative = L"") const {
        return win32::Narrow(tree->at(relative)).text + '\\';
    }

    using Wanted = std::function<bool(const WatchReport&)>;
    // The reports up to the first that is wanted, that one last; none when it has not come
    // within five seconds.
    std::vector<WatchReport> waitFor(const Wanted& wanted) {
        std::vector<WatchReport> taken;
        std::unique_lock lock(mutex_);
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (changed_.wait_until(lock, until, [this] { return !reports_.empty(); })) {
            taken.push_back(std::move(reports_.front()));
            reports_.pop_front();
            const auto& folders = taken.back().changedFolders;
            EXPECT_EQ(std::set(folders.begin(), folders.end()).size(), folders.size());
            if (wanted(taken.back())) {
                return taken;
            }
        }
        return {};
    }
    std::vector<WatchReport> waitForFolder(const std::string& folder) {
        return waitFor([&](const WatchReport& r) { return Contains(r.changedFolders, folder); });
    }
    // Watches the rows and waits until their watches are in place: a row whose root is missing,
    // given last, is told unwatchable by the pass that places them all.
    std::vector<WatchReport> watchAndWait(std::vector<WatchedRow> rows) {
        const std::string marker = path(L"missing-" + std::to_wstring(++markers_));
        rows.push_back({marker, nullptr});
        watch.watch(std::move(rows));
        auto taken =
            waitFor([&](const WatchReport& r) { return Contains(r.unwatchableRows, marker); });
        EXPECT_FALSE(taken.empty()) << "the watches were not placed";
        return taken;
    }
    bool stopWorker() {
        worker_.request_stop();
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [this] { return ended_; });
    }

    std::unique_ptr<Win32TempFolder> tree;
    Win32FolderWatch watch;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<WatchReport> reports_;  // guarded by mutex_
    bool ended_ = false;               // guarded by mutex_
    int markers_ = 0;
    std::jthread worker_{[this](std::stop_token stop) {
        while (!stop.stop_requested()) {
            WatchReport report = watch.next(stop);
            const std::lock_guard lock(mutex_);
            if (!report.empty()) {
                reports_.push_back(std::move(report));
            }
            changed_.notify_all();
        }
        const std::lock_guard lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }};
};

struct Change {
    const char* what;
    std::function<bool(const std::wstring& folder)> make;  // folder ends in the separator
};

const Change kChanges[] = {
    {"created",
     [](const std::wstring& folder) {
         const HANDLE file = CreateFileW((folder + L"a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
         return file != INVALID_HANDLE_VALUE && CloseHandle(file);
     }},
    {"hidden",
     [](const std::wstring& folder) {
         return SetFileAttributesW((folder + L"a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
     }},
    {"renamed",
     [](const std::wstring& folder) {
         return MoveFileW((folder + L"a.txt").c_str(), (folder + L"b.txt").c_str()) != 0;
     }},
    {"deleted",
     [](const std::wstring& folder) { return DeleteFileW((folder + L"b.txt").c_str()) != 0; }},
};

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Each test on a tree in the system's temporary folder and, under Wine, on one in a Linux
// folder seen through the Z: drive.
class Win32FolderWatchDriveTest : public Win32FolderWatchTest,
                                  public ::testing::WithParamInterface<const wchar_t*> {
  protected:
    void SetUp() override {
        const std::wstring parent =
            GetParam()[0] != L'\0' ? GetParam() : Win32TempFolder::SystemTempFolder();
        const DWORD attributes = GetFileAttributesW(parent.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            GTEST_SKIP() << "no folder " << win32::Narrow(parent).text << " on this system";
        }
        makeTree(parent);
    }
    // Every change, one after another, is reported for the folder it is in.
    void expectEachChangeReported(const std::wstring& relative) {
        const std::string expected = path() + win32::Narrow(relative).text;
        for (const Change& change : kChanges) {
            SCOPED_TRACE(std::string(change.what) + " in " + expected);
            ASSERT_TRUE(change.make(tree->at() + L'\\' + relative)) << GetLastError();
            EXPECT_FALSE(waitForFolder(expected).empty());
        }
    }
};

TEST_P(Win32FolderWatchDriveTest, ChangesInTheRootAndInANewSubfolderAreReportedForTheirFolder) {
    watchAndWait({Row(path())});
    tree->folder(L"sub");
    EXPECT_FALSE(waitForFolder(path()).empty()) << "the new subfolder";
    expectEachChangeReported(L"sub\\");
    expectEachChangeReported(L"");
}

TEST_P(Win32FolderWatchDriveTest, ChangesInASubfolderThereBeforeTheWatchAreReported) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine gives no change events in a subfolder that was there before the "
                        "watch was placed";
    }
    tree->folder(L"sub");
    watchAndWait({Row(path())});
    expectEachChangeReported(L"sub\\");
}

INSTANTIATE_TEST_SUITE_P(Drives, Win32FolderWatchDriveTest,
                         ::testing::Values(L"",  // the system's temporary folder
                                           L"Z:\\tmp\\"),
                         [](const auto& info) {
                             return std::string(info.param[0] == L'\0' ? "TempFolder" : "ZTmp");
                         });

TEST_F(Win32FolderWatchTest, ARowNoLongerWatchedIsNoLongerReported) {
    makeTree();
    Win32TempFolder other;
    const std::string otherRoot = win32::Narrow(other.at()).text + '\\';
    watchAndWait({Row(path()), Row(otherRoot)});
    watchAndWait({Row(otherRoot)});

    // The dropped row's change comes first: were it still watched, it would be reported by
    // the time the other row's is.
    tree->file(L"dropped.txt");
    other.file(L"kept.txt");
    const auto reports = waitForFolder(otherRoot);
    ASSERT_FALSE(reports.empty());
    for (const WatchReport& report : reports) {
        EXPECT_FALSE(Contains(report.changedFolders, path()));
    }
}

TEST_F(Win32FolderWatchTest, StopEndsANextThatWaits) {
    makeTree();
    watchAndWait({Row(path())});
    const bool stopped = stopWorker();
    EXPECT_TRUE(stopped);
    if (!stopped) {
        watch.watch({});  // wakes the worker so that the test can end
    }
}

TEST_F(Win32FolderWatchTest, ARowWithAMissingRootIsToldUnwatchableOnce) {
    makeTree();
    const WatchedRow missing = Row(path(L"gone"));
    auto reports = watchAndWait({missing});
    const auto again = watchAndWait({missing});
    reports.insert(reports.end(), again.begin(), again.end());
    const auto told = std::count_if(reports.begin(), reports.end(), [&](const WatchReport& r) {
        return Contains(r.unwatchableRows, missing.row);
    });
    EXPECT_EQ(told, 1);
}

TEST_F(Win32FolderWatchTest, RowsBeyondWhatOneWaitHoldsAreToldUnwatchableAndTheRestWatched) {
    makeTree();
    constexpr int kRows = MAXIMUM_WAIT_OBJECTS + 6;
    std::vector<WatchedRow> rows;
    for (int i = 0; i < kRows; ++i) {
        tree->folder(std::to_wstring(i));
        rows.push_back(Row(path(std::to_wstring(i))));
    }
    const auto reports = watchAndWait(rows);
    const auto told = std::count_if(rows.begin(), rows.end(), [&](const WatchedRow& row) {
        return std::any_of(reports.begin(), reports.end(), [&](const WatchReport& r) {
            return Contains(r.unwatchableRows, row.row);
        });
    });
    // One place of the wait is the worker's own.
    EXPECT_EQ(told, kRows - (MAXIMUM_WAIT_OBJECTS - 1));

    tree->file(L"0\\new.txt");
    EXPECT_FALSE(waitForFolder(path(L"0")).empty());
}

}  // namespace
}  // namespace gantrylux
