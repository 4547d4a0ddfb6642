#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_form.hpp"
#include "fakes/faulty_file_system.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "lists/list_commands.hpp"

namespace gantrylux::testing {

// Counts the merges that completed: each one swaps a whole new candidate list in.
class MergeCounter : public PathListObserver {
  public:
    explicit MergeCounter(PathList& candidates) : candidates_(candidates) {
        candidates_.addObserver(*this);
    }
    ~MergeCounter() override { candidates_.removeObserver(*this); }
    void reset() override { ++count; }
    int count = 0;

  private:
    PathList& candidates_;
};

// Data-driven cases carry a name, which names the test and is printed on a failure.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

// The list commands over a real temporary tree, with a scripted desktop and window.
class ListCommandsTest : public ::testing::Test {
  protected:
    std::string sep() const { return std::string(1, fs.separator()); }
    // The rows of one folder come in the file system's order: sorts each run of rows that share
    // a folder, leaving the order of the folders as it is.
    static std::vector<std::string> SortedWithinFolders(std::vector<std::string> rows,
                                                        char separator) {
        const auto folderOf = [&](const std::string& row) {
            return row.substr(0, row.rfind(separator));
        };
        for (auto run = rows.begin(); run != rows.end();) {
            const auto end = std::find_if(run, rows.end(), [&](const std::string& row) {
                return folderOf(row) != folderOf(*run);
            });
            std::sort(run, end);
            run = end;
        }
        return rows;
    }

    std::shared_ptr<FaultyFileSystem> faulty = std::make_shared<FaultyFileSystem>(
        std::shared_ptr<const FileSystem>(MakeNativeFileSystem()));
    FaultyFileSystem& fs = *faulty;
    TempTree tree;
    RecordingDesktop desktop;
    FakeForm form;
    MemorySettingsStore store;
    PathList files, folders, candidates;
    BusyCounter busy{[](bool) {}};
    CandidateMerger merger{files, folders, candidates, busy, desktop, faulty};
    ListCommands commands{form, desktop, store, faulty, files, folders, busy, merger};
    MergeCounter merges{candidates};
};

}  // namespace gantrylux::testing
