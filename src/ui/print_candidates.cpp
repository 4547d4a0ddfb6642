#include "ui/print_candidates.hpp"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/folder_list_text.hpp"
#include "folders/existence.hpp"
#include "folders/native_file_system.hpp"
#include "lists/folder_rows.hpp"
#include "lists/merge.hpp"
#include "ports/clock.hpp"
#include "ports/settings_store.hpp"
#include "run/random_order.hpp"
#include "ui/qt_settings_store.hpp"

namespace gantrylux {
namespace {

struct Rows {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

Rows RowsOfPaths(const CommandLine& line, const FileSystem& fs, std::FILE* errors) {
    Rows rows;
    for (const std::string& path : line.paths) {
        if (IsFolder(fs, path)) {
            rows.folders.push_back(FolderRow(path, fs.separator()));
        } else if (FileExists(fs, path)) {
            rows.files.push_back(path);
        } else {
            std::fprintf(errors, "gantrylux: neither a file nor a folder, left out: %s\n",
                         path.c_str());
        }
    }
    return rows;
}

Rows StoredFolderRows(std::FILE* errors) {
    const QtSettingsStore store;
    if (const auto failure = store.readFailure()) {
        std::fprintf(errors, "gantrylux: %s\n", failure->c_str());
    }
    Rows rows;
    for (const std::string& piece : SplitFolderList(store.read(setting::kFolderList, ""))) {
        if (IsFolderRowPiece(piece)) {
            rows.folders.push_back(piece);
        }
    }
    return rows;
}

}  // namespace

int PrintCandidates(const CommandLine& line, std::FILE* out, std::FILE* errors) {
    const auto fs = MakeNativeFileSystem();
    const Rows rows =
        line.paths.empty() ? StoredFolderRows(errors) : RowsOfPaths(line, *fs, errors);
    // Printed once and gone: no folder is kept for a later merge.
    const MergeResult merged = BuildCandidates(rows.files, rows.folders, *fs,
                                               std::max(1u, std::thread::hardware_concurrency()),
                                               {}, nullptr, FolderRecords::Skip);
    for (const MergeFailure& failure : merged.failures) {
        std::fprintf(errors, "gantrylux: %s\n", failure.description.c_str());
    }
    if (merged.candidates.size() == 0) {
        std::fputs("gantrylux: no file to print\n", errors);
        return 1;
    }
    const SystemClock clock;
    RandomItemIndexer random(clock);
    const char end = line.nulTerminated ? '\0' : '\n';
    for (const std::size_t position :
         RandomOrder(merged.candidates.size(), line.count.value_or(SIZE_MAX), random)) {
        const std::string_view path = merged.candidates[position];
        std::fwrite(path.data(), 1, path.size(), out);
        std::fputc(end, out);
    }
    if (std::fflush(out) != 0 || std::ferror(out) != 0) {
        std::fputs("gantrylux: cannot write the list\n", errors);
        return 1;
    }
    return 0;
}

}  // namespace gantrylux
