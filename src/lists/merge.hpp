#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "folders/file_system.hpp"
#include "lists/packed_texts.hpp"

namespace gantrylux {

// A failure met while building the candidate list, to be reported on the window's thread in
// the order it occurred.
struct MergeFailure {
    std::string identity;  // the procedure that met it
    int step = 0;
    std::string description;
};

// A folder a merge read: its path as its files' paths begin (ending in the separator), and
// what it held.
struct MergedFolder {
    std::size_t row = 0;  // of the folder rows
    std::string path;
    std::size_t files = 0;
    // Its subfolders, as a hash of their names and kinds: when it changes, the folders below
    // the row are no longer those walked.
    std::uint64_t shape = 0;
};

struct MergeResult {
    PackedTexts candidates;
    std::vector<MergeFailure> failures;
    // Every folder whose files are among the candidates, in the candidates' order.
    std::vector<MergedFolder> folders;
};

// One folder read again: the files the merge would take from it, in its order, and its shape.
struct FolderReread {
    std::vector<std::string> files;
    std::uint64_t shape = 0;
};

// Reads one folder of a merged row again (its path as MergedFolder gives it) with the rules the
// merge applies to it. Throws FileSystemError when it cannot be read.
FolderReread RereadFolder(const FileSystem& fs, const std::string& folder);

// Builds the candidate list from snapshots of the file list and the folder list: every file
// row as it stands, then for each folder row the files of its whole tree, level by level.
// Touches neither the lists nor the window, so it runs on a worker thread; it reads the
// folders of one level on up to `threads` threads. When stop is requested it returns early
// with whatever it has, which the caller then discards. While it reads the folders of a row, it
// keeps the row's position in `walkingRow` (0-based), so a watcher can tell which row a call
// that does not return belongs to; once every row is read, it holds the number of rows.
// `MergeResult::folders` is filled only when `records` asks for it: a caller that keeps no
// rows between merges spares their cost.
enum class FolderRecords : bool { Skip, Keep };
MergeResult BuildCandidates(const std::vector<std::string>& fileRows,
                            const std::vector<std::string>& folderRows, const FileSystem& fs,
                            unsigned threads, std::stop_token stop = {},
                            std::atomic<std::size_t>* walkingRow = nullptr,
                            FolderRecords records = FolderRecords::Keep);

inline constexpr std::string_view kMergeIdentity =
    "Gantrylux2021/08/31.Main.CorrelateListviewsWrapper";

}  // namespace gantrylux
