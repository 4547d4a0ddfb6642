// Measures what a merge result costs in memory against the bytes of the paths it holds: once as
// the buffers the result owns, once as the growth of the process's resident memory.
//
//   merge-memory [--kept] [--file ROW]... [--folder ROW]... [--folders-from FILE]... [DIR...]
//
// With --kept, the merge is the candidate merger's first (MergeRows); the buffers counted are
// still the candidate list's alone, while the resident figures take in the kept rows too.
//
// Prints one line of key=value pairs for bench/run-bench.

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "folders/native_file_system.hpp"
#include "merge_arguments.hpp"
#include "merged_rows.hpp"

namespace {

long long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = -1;
    statm >> size >> resident;
    return resident < 0 ? -1 : resident * sysconf(_SC_PAGESIZE);
}

// The high-water mark of resident memory, VmHWM in /proc/self/status.
long long PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long long kibibytes = -1;
            status >> kibibytes;
            return kibibytes < 0 ? -1 : kibibytes * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

// Starts a fresh high-water mark (Linux 4.0 and later); the peak then belongs to the merge.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::size_t FailureBytes(const std::vector<gantrylux::MergeFailure>& failures) {
    std::size_t bytes = failures.capacity() * sizeof(gantrylux::MergeFailure);
    for (const gantrylux::MergeFailure& failure : failures) {
        bytes += failure.identity.capacity() + failure.description.capacity();
    }
    return bytes;
}

}  // namespace

int main(int argc, char* argv[]) {
    gantrylux::bench::MergeArguments arguments;
    try {
        arguments = gantrylux::bench::ParseMergeArguments(argc, argv, false);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "merge-memory: %s\nusage: merge-memory %s\n", e.what(),
                     gantrylux::bench::kMergeUsage);
        return 1;
    }

    const auto fileSystem = gantrylux::MakeNativeFileSystem();
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());

    // Memory the allocator kept from reading the arguments would otherwise count against the
    // merge, or hide some of it.
    malloc_trim(0);
    const long long residentBefore = ResidentBytes();
    ResetPeak();

    const auto start = std::chrono::steady_clock::now();
    const gantrylux::bench::MergedRows merged =
        gantrylux::bench::MergeRows(arguments, *fileSystem, threads);
    const gantrylux::PackedTexts& candidates = merged.candidates.packed();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;

    const long long peakAfter = PeakResidentBytes();
    // What the merge freed goes back to the system, so the growth left is what the result holds.
    malloc_trim(0);
    const long long residentAfter = ResidentBytes();

    const std::size_t held =
        sizeof(candidates) + candidates.capacityBytes() + FailureBytes(merged.failures);
    std::printf(
        "candidates=%zu path_bytes=%zu held_bytes=%zu rss_growth_bytes=%lld "
        "peak_growth_bytes=%lld peak_bytes=%lld failures=%zu merge_ms=%.0f\n",
        candidates.size(), candidates.byteSize(), held, residentAfter - residentBefore,
        peakAfter - residentBefore, peakAfter, merged.failures.size(), took.count());
    return residentBefore < 0 || residentAfter < 0 ? 2 : 0;
}
