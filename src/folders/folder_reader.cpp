#include "folders/folder_reader.hpp"

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

namespace gantrylux {

FolderReader::FolderReader(const FileSystem& fs, unsigned threads, std::stop_token stop)
    : fs_(fs), threads_(std::max(threads, 1u)), stop_(std::move(stop)) {}

// Paths that differ only in doubled or trailing separators name the same folder.
std::string FolderReader::key(std::string_view folder) const {
    const char separator = fs_.separator();
    while (folder.size() > 1 && folder.back() == separator) {
        folder.remove_suffix(1);
    }
    std::string key;
    key.reserve(folder.size());
    const char pair[] = {separator, separator};
    const std::string_view doubled(pair, 2);
    for (std::size_t from = 0;;) {
        const std::size_t at = folder.find(doubled, from);
        if (at == std::string_view::npos) {
            key.append(folder.substr(from));
            return key;
        }
        key.append(folder.substr(from, at + 1 - from));
        from = folder.find_first_not_of(separator, at);
    }
}

void FolderReader::fill(const std::string& folder, FolderRead& slot) const {
    if (stop_.stop_requested()) {
        slot.failure.emplace(fs_error::kPathFileAccess, "Cancelled");
        return;
    }
    try {
        slot.listing = fs_.listFolder(folder);
    } catch (const FileSystemError& failure) {
        slot.failure = failure;
    } catch (const std::exception& failure) {
        slot.failure.emplace(fs_error::kPathFileAccess, failure.what());
    }
}

template <typename Work>
void FolderReader::inParallel(std::size_t count, const Work& work) const {
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) {
            work(i);
        }
    };
    const std::size_t helpers = std::min<std::size_t>(threads_ - 1, count / 2);
    std::vector<std::jthread> pool;
    pool.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i) {
        pool.emplace_back(run);
    }
    run();
}

std::vector<const FolderRead*> FolderReader::readAll(const std::vector<std::string>& folders) {
    std::vector<const FolderRead*> reads;
    reads.reserve(folders.size());
    std::vector<std::pair<const std::string*, FolderRead*>> todo;
    for (const std::string& folder : folders) {
        auto [slot, added] = reads_.try_emplace(key(folder));
        if (added) {
            todo.emplace_back(&folder, &slot->second);
        }
        reads.push_back(&slot->second);
    }
    inParallel(todo.size(), [&](std::size_t i) { fill(*todo[i].first, *todo[i].second); });
    return reads;
}

std::vector<const FolderRead*> FolderReader::readSubfolders(const std::vector<Subfolders>& batch) {
    // Small pieces of one parent each: the threads share the work evenly even when one folder
    // holds most of the subfolders, and a stop takes effect soon.
    constexpr std::size_t kPiece = 32;
    struct Piece {
        std::string_view folder;
        std::size_t begin;  // into names and slots
        std::size_t end;
    };
    std::vector<const FolderRead*> reads;
    std::vector<std::string_view> names;
    std::vector<FolderRead*> slots;
    std::vector<Piece> pieces;
    std::string path;
    for (const Subfolders& parent : batch) {
        const std::size_t first = names.size();
        for (const std::string_view name : parent.names) {
            path.assign(parent.folder);
            path += name;
            auto [slot, added] = reads_.try_emplace(key(path));
            if (added) {
                if (names.size() == first || names.size() - pieces.back().begin == kPiece) {
                    pieces.push_back({parent.folder, names.size(), names.size()});
                }
                names.push_back(name);
                slots.push_back(&slot->second);
                pieces.back().end = names.size();
            }
            reads.push_back(&slot->second);
        }
    }
    inParallel(pieces.size(), [&](std::size_t i) {
        const Piece& piece = pieces[i];
        const std::span<FolderRead* const> out(slots.data() + piece.begin, piece.end - piece.begin);
        if (stop_.stop_requested()) {
            for (FolderRead* slot : out) {
                slot->failure.emplace(fs_error::kPathFileAccess, "Cancelled");
            }
            return;
        }
        fs_.listSubfolders(
            piece.folder, std::span<const std::string_view>(names.data() + piece.begin, out.size()),
            out);
    });
    return reads;
}

const FolderRead& FolderReader::read(std::string_view folder) {
    auto [slot, added] = reads_.try_emplace(key(folder));
    if (added) {
        fill(std::string(folder), slot->second);
    }
    return slot->second;
}

}  // namespace gantrylux
