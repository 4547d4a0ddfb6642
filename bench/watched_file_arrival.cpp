// Measures how soon a file that appears in a watched folder row is among the candidates: a new
// file is written, and the time until the candidate list holds it is taken, RUNS times.
//
//   watched-file-arrival [RUNS]     (20 by default)
//
// Prints one line of key=value pairs for bench/run-bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "folders/folder_watch.hpp"
#include "folders/native_file_system.hpp"
#include "merger_rig.hpp"
#include "scratch_tree.hpp"

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    if (argc > 2 || runs < 1) {
        std::fputs("usage: watched-file-arrival [RUNS]\n", stderr);
        return 1;
    }
    try {
        gantrylux::bench::ScratchTree tree;
        const std::vector<std::string> folders = {"row", "row/a", "row/a/b", "row/c"};
        for (const std::string& folder : folders) {
            tree.file(folder + "/old.txt");
        }
        const std::shared_ptr<gantrylux::FolderWatch> watch = gantrylux::MakeNativeFolderWatch();
        if (watch == nullptr) {
            std::fputs("watched-file-arrival: this platform has no folder watch\n", stderr);
            return 2;
        }
        gantrylux::bench::MergerRig rig(gantrylux::MakeNativeFileSystem());
        rig.merger.watchWith(watch);
        rig.folders.append(tree.folderRow("row"));
        rig.mergeEdit();
        // The watches are placed on a worker after the merge is in; a file written before they
        // stand would be found only by the next walk.
        rig.desktop.runUntil([] { return false; }, std::chrono::milliseconds(500));

        std::vector<double> seconds;
        int missed = 0;
        for (int i = 0; i < runs; ++i) {
            const std::string name = folders[static_cast<std::size_t>(i) % folders.size()] +
                                     "/new-" + std::to_string(i) + ".txt";
            const auto start = std::chrono::steady_clock::now();
            tree.file(name);
            const std::string path = tree.path(name);
            if (!rig.desktop.runUntil([&] { return rig.holds(path); }, std::chrono::seconds(10))) {
                ++missed;
            }
            seconds.push_back(gantrylux::bench::SecondsSince(start));
        }
        std::sort(seconds.begin(), seconds.end());
        const std::size_t n = seconds.size();
        const double median = n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2;
        std::printf("runs=%d median_s=%.3f worst_s=%.3f best_s=%.3f missed=%d messages=%d\n", runs,
                    median, seconds.back(), seconds.front(), missed, rig.desktop.messages());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "watched-file-arrival: %s\n", e.what());
        return 2;
    }
}
