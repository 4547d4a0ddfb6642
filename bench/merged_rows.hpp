#pragma once

#include <memory>
#include <vector>

#include "folders/file_system.hpp"
#include "lists/kept_rows.hpp"
#include "lists/merge.hpp"
#include "lists/path_list.hpp"
#include "merge_arguments.hpp"

namespace gantrylux::bench {

// The candidate list built from the rows of a command line, in the window's candidate list.
struct MergedRows {
    PathList candidates;
    std::vector<MergeFailure> failures;
    std::shared_ptr<const KeptRows> kept;  // with `keptRows` only
};

// Without `keptRows`, the plain merge of every row, which keeps nothing for a later one. With
// it, what the candidate merger's first merge does: the merge records the folders it read, and
// each row's files are kept with them.
MergedRows MergeRows(const MergeArguments& arguments, const FileSystem& fs, unsigned threads);

}  // namespace gantrylux::bench
