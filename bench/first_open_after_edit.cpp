// Measures how soon a run can open its first file after an edit of the lists when one folder row
// is slow to list (a share far away): from the edit to the moment the merge the run waits for
// is in. Beside it, the same edit merged in full, every row walked again.
//
//   first-open-after-edit [SECONDS]     (how long the slow row's listing takes; 3 by default)
//
// Prints one line of key=value pairs for bench/run-bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <thread>

#include "folders/native_file_system.hpp"
#include "lists/merge.hpp"
#include "merger_rig.hpp"
#include "observed_file_system.hpp"
#include "scratch_tree.hpp"

namespace {

// Whether a folder as the walk names it (separators doubled or at the end) is `folder` or lies
// below it.
bool Within(std::string_view path, const std::string& folder) {
    std::string plain;
    for (const char c : path) {
        if (c != '/' || plain.empty() || plain.back() != '/') {
            plain += c;
        }
    }
    if (plain.size() > 1 && plain.back() == '/') {
        plain.pop_back();
    }
    return plain.starts_with(folder) &&
           (plain.size() == folder.size() || plain[folder.size()] == '/');
}

}  // namespace

int main(int argc, char* argv[]) {
    const double slowSeconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (argc > 2 || !(slowSeconds > 0)) {
        std::fputs("usage: first-open-after-edit [SECONDS]\n", stderr);
        return 1;
    }
    try {
        gantrylux::bench::ScratchTree tree;
        for (const char* name : {"slow/1.txt", "slow/2.txt", "slow/3.txt", "quick/1.txt",
                                 "quick/a/2.txt", "quick/a/b/3.txt", "quick/c/4.txt"}) {
            tree.file(name);
        }
        const std::string slow = tree.path("slow");
        const auto delay = std::chrono::duration<double>(slowSeconds);
        const auto fs = std::make_shared<gantrylux::bench::ObservedFileSystem>(
            gantrylux::MakeNativeFileSystem(), [slow, delay](std::string_view folder) {
                if (Within(folder, slow)) {
                    std::this_thread::sleep_for(delay);
                }
            });

        gantrylux::bench::MergerRig rig(fs);
        rig.folders.append(tree.folderRow("slow"));
        rig.folders.append(tree.folderRow("quick"));
        const double firstMerge = rig.mergeEdit();

        // A file row added, as the file list's Add does.
        tree.file("added.txt");
        rig.files.append(tree.path("added.txt"));
        const double edit = rig.mergeEdit();

        const auto start = std::chrono::steady_clock::now();
        const gantrylux::MergeResult full =
            gantrylux::BuildCandidates(rig.files.texts(), rig.folders.texts(), *fs,
                                       std::max(1U, std::thread::hardware_concurrency()), {},
                                       nullptr, gantrylux::FolderRecords::Skip);
        const double fullMerge = gantrylux::bench::SecondsSince(start);

        if (rig.candidates.packed().toStrings() != full.candidates.toStrings()) {
            std::fprintf(stderr,
                         "first-open-after-edit: the edit's %zu candidates are not the "
                         "%zu of a full merge\n",
                         rig.candidates.count(), full.candidates.size());
            return 2;
        }
        std::printf(
            "edit_s=%.4f full_merge_s=%.3f first_merge_s=%.3f candidates=%zu "
            "messages=%d\n",
            edit, fullMerge, firstMerge, rig.candidates.count(), rig.desktop.messages());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "first-open-after-edit: %s\n", e.what());
        return 2;
    }
}
