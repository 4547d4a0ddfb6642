#include "merged_rows.hpp"

#include <utility>

namespace gantrylux::bench {

MergedRows MergeRows(const MergeArguments& arguments, const FileSystem& fs, unsigned threads) {
    MergedRows merged;
    if (!arguments.keptRows) {
        MergeResult result = BuildCandidates(arguments.fileRows, arguments.folderRows, fs, threads,
                                             {}, nullptr, FolderRecords::Skip);
        merged.failures = std::move(result.failures);
        merged.candidates.assign(std::move(result.candidates));
        return merged;
    }
    RowsFound found;
    found.walked = BuildCandidates(arguments.fileRows, arguments.folderRows, fs, threads);
    found.walkedRows = arguments.folderRows;
    found.walkedAll = true;
    merged.failures = std::move(found.walked.failures);
    ComposedCandidates composed =
        ComposeCandidates(arguments.fileRows, arguments.folderRows, nullptr, std::move(found));
    merged.kept = std::move(composed.kept);
    merged.candidates.assign(std::move(composed.candidates));
    return merged;
}

}  // namespace gantrylux::bench
