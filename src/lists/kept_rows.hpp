#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lists/merge.hpp"
#include "lists/packed_texts.hpp"

namespace gantrylux {

// The files each folder row gave when it was last walked, kept so that a merge walks only the
// rows it has not seen (an edit of the file list walks none, a new folder row only itself),
// and so that a folder that changed is read again alone. Never changed once made; merges on
// workers share it.
struct KeptRows {
    struct Row {
        // Where the row's files lie in `candidates`, [first, end): folder by folder, in the
        // order of `folders`.
        std::size_t first = 0;
        std::size_t end = 0;
        // The folders its walk read, each ending in the separator. Shared with the watches and
        // with the next kept rows while the row's folders stay the same.
        std::shared_ptr<const std::vector<std::string>> folders;
        std::vector<std::size_t> folderFiles;     // how many files each folder gave
        std::vector<std::uint64_t> folderShapes;  // its subfolders (MergedFolder::shape)
    };

    const Row* find(const std::string& row) const;

    // The candidate list the rows were cut from, shared with the list the window shows.
    std::shared_ptr<const PackedTexts> candidates = std::make_shared<const PackedTexts>();
    std::map<std::string, Row> rows;
};

struct ComposedCandidates {
    std::shared_ptr<PackedTexts> candidates;
    std::shared_ptr<const KeptRows> kept;
};

// What a merge found for the rows it looked at.
struct RowsFound {
    // The rows walked, in the order walked, and the walk's result for them. When `walkedAll`,
    // the walk was given the file rows and every folder row as they stand, and its candidate
    // list is taken whole, without a copy.
    std::vector<std::string> walkedRows;
    MergeResult walked;
    bool walkedAll = false;
    // Folders of kept rows read again, by path; their rows' other folders are kept as they are.
    std::map<std::string, FolderReread> reread;
};

// The candidate list as a merge of every row would give it: the file rows, then each folder
// row's files in row order, taken from what was found for the rows walked and from `kept` for
// the others, with the folders read again put in place of what they held. A row in neither is
// left out: it did not answer. The kept rows that come back hold exactly the folder rows given.
ComposedCandidates ComposeCandidates(const std::vector<std::string>& fileRows,
                                     const std::vector<std::string>& folderRows,
                                     const KeptRows* kept, RowsFound found);

}  // namespace gantrylux
