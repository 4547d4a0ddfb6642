// Counts the folder listings that an arrow key in the file list costs: the key asks for a merge
// with the lists as they stand. Beside it, the listings of a merge of every row.
//
//   listings-per-arrow-key [PRESSES]     (20 by default)
//
// Prints one line of key=value pairs for bench/run-bench.

#include <algorithm>
#include <atomic>
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

int main(int argc, char* argv[]) {
    const int presses = argc > 1 ? std::atoi(argv[1]) : 20;
    if (argc > 2 || presses < 1) {
        std::fputs("usage: listings-per-arrow-key [PRESSES]\n", stderr);
        return 1;
    }
    try {
        gantrylux::bench::ScratchTree tree;
        const auto listings = std::make_shared<std::atomic<long>>(0);
        const auto fs = std::make_shared<gantrylux::bench::ObservedFileSystem>(
            gantrylux::MakeNativeFileSystem(), [listings](std::string_view) { ++*listings; });
        gantrylux::bench::MergerRig rig(fs);
        for (const char* row : {"music", "photos", "books", "films"}) {
            for (const char* below : {"/1.txt", "/a/2.txt", "/a/b/3.txt", "/c/4.txt"}) {
                tree.file(std::string(row) + below);
            }
            rig.folders.append(tree.folderRow(row));
        }
        tree.file("loose.txt");
        rig.files.append(tree.path("loose.txt"));
        rig.files.append(tree.path("loose.txt"));
        rig.mergeEdit();

        listings->store(0);
        gantrylux::BuildCandidates(rig.files.texts(), rig.folders.texts(), *fs,
                                   std::max(1U, std::thread::hardware_concurrency()), {}, nullptr,
                                   gantrylux::FolderRecords::Skip);
        const long fullMerge = listings->exchange(0);

        for (int i = 0; i < presses; ++i) {
            rig.mergeEdit();
        }
        std::printf("presses=%d listings=%ld full_merge_listings=%ld candidates=%zu messages=%d\n",
                    presses, listings->load(), fullMerge, rig.candidates.count(),
                    rig.desktop.messages());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "listings-per-arrow-key: %s\n", e.what());
        return 2;
    }
}
