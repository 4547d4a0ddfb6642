#include "lists/kept_rows.hpp"

#include <string_view>
#include <utility>

namespace gantrylux {
namespace {

// The rows as the walk found them, where their files lie in the walk's candidate list.
std::map<std::string, KeptRows::Row> WalkedRows(RowsFound& found, std::size_t fileRows) {
    MergeResult& walked = found.walked;
    std::vector<KeptRows::Row> rows(found.walkedRows.size());
    std::vector<std::vector<std::string>> folders(rows.size());
    std::vector<std::size_t> files(rows.size(), 0);
    for (MergedFolder& folder : walked.folders) {
        if (folder.row < rows.size()) {
            folders[folder.row].push_back(std::move(folder.path));
            rows[folder.row].folderFiles.push_back(folder.files);
            rows[folder.row].folderShapes.push_back(folder.shape);
            files[folder.row] += folder.files;
        }
    }
    // The rows' files follow one another in row order, each row's folder by folder.
    std::size_t first = fileRows;
    std::map<std::string, KeptRows::Row> byText;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].first = first;
        first += files[i];
        rows[i].end = first;
        rows[i].folders = std::make_shared<const std::vector<std::string>>(std::move(folders[i]));
        byText.emplace(found.walkedRows[i], std::move(rows[i]));  // a row walked twice: the first
    }
    return byText;
}

void CopyRange(const PackedTexts& from, std::size_t first, std::size_t end, PackedTexts& to) {
    for (std::size_t i = first; i < end; ++i) {
        to.push_back(from[i]);
    }
}

// A kept row whose changed folders were read again: its other folders' files are copied as
// they were, in the same order.
KeptRows::Row CopyRereadRow(const KeptRows& kept, const KeptRows::Row& row,
                            const std::map<std::string, FolderReread>& reread, PackedTexts& to) {
    KeptRows::Row next = row;
    next.first = to.size();
    std::size_t first = row.first;
    for (std::size_t i = 0; i < row.folders->size(); ++i) {
        const std::size_t end = first + row.folderFiles[i];
        if (const auto found = reread.find((*row.folders)[i]); found != reread.end()) {
            for (const std::string& file : found->second.files) {
                to.push_back(file);
            }
            next.folderFiles[i] = found->second.files.size();
            next.folderShapes[i] = found->second.shape;
        } else {
            CopyRange(*kept.candidates, first, end, to);
        }
        first = end;
    }
    next.end = to.size();
    return next;
}

bool HoldsAny(const KeptRows::Row& row, const std::map<std::string, FolderReread>& reread) {
    if (reread.empty()) {
        return false;
    }
    for (const std::string& folder : *row.folders) {
        if (reread.contains(folder)) {
            return true;
        }
    }
    return false;
}

}  // namespace

const KeptRows::Row* KeptRows::find(const std::string& row) const {
    const auto found = rows.find(row);
    return found == rows.end() ? nullptr : &found->second;
}

ComposedCandidates ComposeCandidates(const std::vector<std::string>& fileRows,
                                     const std::vector<std::string>& folderRows,
                                     const KeptRows* kept, RowsFound found) {
    auto next = std::make_shared<KeptRows>();
    ComposedCandidates composed;
    if (found.walkedAll) {
        next->rows = WalkedRows(found, fileRows.size());
        composed.candidates = std::make_shared<PackedTexts>(std::move(found.walked.candidates));
        next->candidates = composed.candidates;
        composed.kept = std::move(next);
        return composed;
    }
    const std::map<std::string, KeptRows::Row> walked = WalkedRows(found, 0);
    auto candidates = std::make_shared<PackedTexts>();
    candidates->reserve(
        0, found.walked.candidates.byteSize() + (kept ? kept->candidates->byteSize() : 0));
    for (const std::string& row : fileRows) {
        candidates->push_back(row);
    }
    for (const std::string& row : folderRows) {
        if (const KeptRows::Row* again = next->find(row)) {
            // A row given twice: its files twice, as a merge of every row gives them.
            for (std::size_t i = again->first; i < again->end; ++i) {
                const std::string file((*candidates)[i]);
                candidates->push_back(file);
            }
            continue;
        }
        KeptRows::Row copied;
        if (const auto fresh = walked.find(row); fresh != walked.end()) {
            copied = fresh->second;
            copied.first = candidates->size();
            CopyRange(found.walked.candidates, fresh->second.first, fresh->second.end, *candidates);
        } else if (const KeptRows::Row* keptRow = kept ? kept->find(row) : nullptr) {
            if (HoldsAny(*keptRow, found.reread)) {
                copied = CopyRereadRow(*kept, *keptRow, found.reread, *candidates);
            } else {
                copied = *keptRow;
                copied.first = candidates->size();
                CopyRange(*kept->candidates, keptRow->first, keptRow->end, *candidates);
            }
        } else {
            continue;
        }
        copied.end = candidates->size();
        next->rows.emplace(row, std::move(copied));
    }
    candidates->shrink_to_fit();
    next->candidates = candidates;
    composed.candidates = std::move(candidates);
    composed.kept = std::move(next);
    return composed;
}

}  // namespace gantrylux
