#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lists/merge.hpp"
#include "lists/packed_texts.hpp"

namespace gantrylux {

// The files each folder row gave when it was last walked, kept so that a merge walks only the
// rows it has not seen: an edit of the file list walks none, a new folder row only itself.
// Never changed once made; merges on workers share it.
struct KeptRows {
    // Where the row's files lie in `files`, [first, end); nothing for a row not kept.
    const std::pair<std::size_t, std::size_t>* find(const std::string& row) const;

    PackedTexts files;
    std::map<std::string, std::pair<std::size_t, std::size_t>> rows;
};

struct ComposedCandidates {
    PackedTexts candidates;
    std::shared_ptr<const KeptRows> kept;
};

// The candidate list as a merge of every row would give it: the file rows, then each folder
// row's files in row order, taken from `walked` for the rows in `walkedRows` (its folder rows,
// in the order walked) and from `kept` for the others. A row in neither is left out: it did
// not answer. The kept rows that come back hold exactly the folder rows given.
ComposedCandidates ComposeCandidates(const std::vector<std::string>& fileRows,
                                     const std::vector<std::string>& folderRows,
                                     const KeptRows* kept,
                                     const std::vector<std::string>& walkedRows,
                                     const MergeResult& walked);

}  // namespace gantrylux
