// Prints the candidate list the merge builds from the rows on the command line, one path a line,
// so that the merge can be timed against other tools as a whole process and its output read by
// hand or compared with diff.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "folders/native_file_system.hpp"
#include "folders/walk_arena.hpp"
#include "merge_arguments.hpp"
#include "merged_rows.hpp"

namespace {

// Paths go out in large blocks: a million candidates must not cost a million writes.
class BlockWriter {
  public:
    explicit BlockWriter(std::FILE* out) : out_(out) { buffer_.reserve(kBlock); }

    void write(std::string_view path, char terminator) {
        if (buffer_.size() + path.size() + 1 > kBlock) {
            flush();
        }
        buffer_.append(path);
        buffer_ += terminator;
    }

    // False when any write failed (a full disk, a closed pipe).
    bool finish() {
        flush();
        return ok_ && std::fflush(out_) == 0;
    }

  private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    void flush() {
        if (!buffer_.empty() && ok_) {
            ok_ = std::fwrite(buffer_.data(), 1, buffer_.size(), out_) == buffer_.size();
        }
        buffer_.clear();
    }

    std::FILE* out_;
    std::basic_string<char, std::char_traits<char>, gantrylux::LargePageAllocator<char>> buffer_;
    bool ok_ = true;
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: gantrylux-merge %s\n"
                 "Prints the candidate list merged from the file rows and the folder rows.\n"
                 "  -0                   end each path with NUL instead of a newline\n"
                 "  --kept               merge as the window first does: each row's files kept\n"
                 "                       with the folders they came from, for later merges\n"
                 "  --file ROW           a row of the file list, as it stands\n"
                 "  --folder ROW         a row of the folder list, as it stands (ending in /)\n"
                 "  --folders-from FILE  folders to add as rows, one a line or NUL-separated\n"
                 "  DIR                  a folder to add as a row\n"
                 "Failures of the merge go to stderr as \"step N: description\".\n",
                 gantrylux::bench::kMergeUsage);
}

}  // namespace

int main(int argc, char* argv[]) {
    gantrylux::bench::MergeArguments arguments;
    try {
        arguments = gantrylux::bench::ParseMergeArguments(argc, argv, true);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "gantrylux-merge: %s\n", e.what());
        PrintUsage(stderr);
        return 1;
    }
    if (arguments.help) {
        PrintUsage(stdout);
        return 0;
    }

    const auto fileSystem = gantrylux::MakeNativeFileSystem();
    // hardware_concurrency() may answer 0 when it cannot tell; one thread still does the job.
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    const gantrylux::bench::MergedRows merged =
        gantrylux::bench::MergeRows(arguments, *fileSystem, threads);
    const gantrylux::PackedTexts& candidates = merged.candidates.packed();

    BlockWriter writer(stdout);
    const char terminator = arguments.nulSeparated ? '\0' : '\n';
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        writer.write(candidates[i], terminator);
    }
    const bool written = writer.finish();
    const int writeError = errno;

    for (const gantrylux::MergeFailure& failure : merged.failures) {
        std::fprintf(stderr, "step %d: %s\n", failure.step, failure.description.c_str());
    }
    if (!written) {
        std::fprintf(stderr, "gantrylux-merge: cannot write the paths: %s\n",
                     std::strerror(writeError));
        return 2;
    }
    return 0;
}
