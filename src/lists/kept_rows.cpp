#include "lists/kept_rows.hpp"

namespace gantrylux {

const std::pair<std::size_t, std::size_t>* KeptRows::find(const std::string& row) const {
    const auto found = rows.find(row);
    return found == rows.end() ? nullptr : &found->second;
}

ComposedCandidates ComposeCandidates(const std::vector<std::string>& fileRows,
                                     const std::vector<std::string>& folderRows,
                                     const KeptRows* kept,
                                     const std::vector<std::string>& walkedRows,
                                     const MergeResult& walked) {
    // Where each walked row's files lie in the walk's result, which has no file rows.
    std::map<std::string, std::pair<std::size_t, std::size_t>> fresh;
    std::size_t first = 0;
    for (std::size_t i = 0; i < walkedRows.size() && i < walked.rowCounts.size(); ++i) {
        fresh.emplace(walkedRows[i], std::pair{first, first + walked.rowCounts[i]});
        first += walked.rowCounts[i];
    }
    auto next = std::make_shared<KeptRows>();
    ComposedCandidates composed;
    for (const std::string& row : fileRows) {
        composed.candidates.push_back(row);
    }
    for (const std::string& row : folderRows) {
        const PackedTexts* from = nullptr;
        std::pair<std::size_t, std::size_t> range;
        if (const auto found = fresh.find(row); found != fresh.end()) {
            from = &walked.candidates;
            range = found->second;
        } else if (const auto* keptRange = kept != nullptr ? kept->find(row) : nullptr) {
            from = &kept->files;
            range = *keptRange;
        } else {
            continue;
        }
        const std::size_t keptFirst = next->files.size();
        if (!next->rows.contains(row)) {
            for (std::size_t i = range.first; i < range.second; ++i) {
                next->files.push_back((*from)[i]);
            }
            next->rows.emplace(row, std::pair{keptFirst, next->files.size()});
        }
        const auto& [begin, end] = next->rows.at(row);
        for (std::size_t i = begin; i < end; ++i) {
            composed.candidates.push_back(next->files[i]);
        }
    }
    composed.kept = std::move(next);
    return composed;
}

}  // namespace gantrylux
