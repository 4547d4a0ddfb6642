#include "lists/merge.hpp"

#include <algorithm>
#include <cstring>

#include "folders/absolute_path.hpp"
#include "folders/existence.hpp"
#include "folders/folder_walk.hpp"
#include "lists/normalize_path.hpp"
#include "lists/tree_files.hpp"

namespace gantrylux {
namespace {

// The files one walked folder adds: "~" names and files that are exactly hidden plus archive
// are left out. A file's path is the folder's text, a separator and the name; since a name
// holds no separator, normalising the folder part once gives the same text as normalising
// every path.
struct FolderFiles {
    std::string_view prefix;  // the walk's entry; held by the reader
    const FolderListing* listing;
    std::size_t row = 0;  // of the folder rows
    // Whether `prefix` is normal already. Most entries of a row's walk are not (the row's own
    // separator is doubled), and they are normalised again as their paths are written rather
    // than kept twice: a merge of many rows holds hundreds of thousands of them.
    bool normal = false;
    bool nearLimit = false;     // its files' paths may reach the platform's limit
    std::size_t count = 0;      // of its files
    std::size_t bytes = 0;      // of their paths
    std::size_t firstText = 0;  // where its paths go in the candidate list's room
    std::size_t firstByte = 0;
    std::uint64_t shape = 0;
    std::string path = {};  // its normal text, kept for the record of the folders read
};

// Mixes the bits of one subfolder's hash, so that a sum of them changes when any one does.
std::uint64_t Mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// One subfolder's part in its folder's shape: which the walk could look into and which it
// could not. Links count as the folders they reach, as the walk sees them. Summed, the parts
// give the same shape whatever the folder's order.
std::uint64_t ShapePart(const FolderEntry& entry) {
    const bool walkable = !entry.badName && IsAcceptedFolder(entry.attributes, false);
    return Mix(std::hash<std::string_view>{}(entry.name) ^ (walkable ? 1 : 0));
}

// A row is looked into when it names a folder. Its read is shared with the walk, so a row
// already read (as a subfolder of an earlier row) costs no system call at all.
bool IsFolderRow(FolderReader& reader, const std::string& row) {
    if (row.empty()) {
        return false;
    }
    return reader.read(row).listing || IsFolder(reader.fileSystem(), row);
}

bool IsCandidate(const FileSystem& fs, const FolderFiles& folder, const FolderEntry& entry) {
    return IsTreeFile(entry) && (!folder.nearLimit || FitsPathLimit(fs, folder.prefix, entry.name));
}

void Measure(WalkArena& arena, const FileSystem& fs, FolderFiles& folder, FolderRecords records) {
    std::string normal = NormalizePath(folder.prefix);
    folder.normal = normal == folder.prefix;
    folder.nearLimit = NearPathLimit(fs, normal);
    if (folder.nearLimit && !folder.normal) {
        // The limit is tested on each file's whole path, so the normal text is kept at hand.
        folder.prefix = arena.join({normal});
        folder.normal = true;
    }
    const bool keep = records == FolderRecords::Keep;
    for (const FolderEntry& entry : folder.listing->entries) {
        if (IsCandidate(fs, folder, entry)) {
            ++folder.count;
            folder.bytes += entry.name.size();
        } else if (keep && entry.kind == EntryKind::Folder) {
            folder.shape += ShapePart(entry);
        }
    }
    folder.bytes += folder.count * normal.size();
    if (keep) {
        folder.path = std::move(normal);
    }
}

void Fill(const FileSystem& fs, const FolderFiles& folder, const PackedTexts::Room& room) {
    char* at = room.bytes + folder.firstByte;
    std::uint64_t* end = room.ends + folder.firstText;
    const std::string normal = folder.normal ? std::string() : NormalizePath(folder.prefix);
    const std::string_view prefix = folder.normal ? folder.prefix : std::string_view(normal);
    for (const FolderEntry& entry : folder.listing->entries) {
        if (IsCandidate(fs, folder, entry)) {
            std::memcpy(at, prefix.data(), prefix.size());
            at += prefix.size();
            std::memcpy(at, entry.name.data(), entry.name.size());
            at += entry.name.size();
            *end++ = room.offset + static_cast<std::uint64_t>(at - room.bytes);
        }
    }
}

}  // namespace

MergeResult BuildCandidates(const std::vector<std::string>& fileRows,
                            const std::vector<std::string>& folderRows, const FileSystem& fs,
                            unsigned threads, std::stop_token stop,
                            std::atomic<std::size_t>* walkingRow, FolderRecords records) {
    MergeResult result;
    const char separator = fs.separator();
    FolderReader reader(fs, threads, stop);
    // A later row may be served from an earlier row's reads; with one row there is none.
    reader.indexWalks(folderRows.size() > 1);
    // Outside the arena: the arena would keep every array the list outgrew.
    std::vector<FolderFiles, LargePageAllocator<FolderFiles>> folders;
    for (std::size_t i = 0; i < folderRows.size(); ++i) {
        if (stop.stop_requested()) {
            break;
        }
        if (walkingRow != nullptr) {
            walkingRow->store(i);
        }
        const std::string& given = folderRows[i];
        // A relative row (a hand-edited settings file may hold one) names a folder of the
        // working folder; its candidates must name the same files wherever they are opened.
        const std::string row = AbsolutePath(given);
        if (!IsFolderRow(reader, row)) {
            continue;
        }
        const WalkedFolders walked = WalkFolders(reader, {row + separator}, true);
        if (folders.size() + walked.size() > folders.capacity()) {
            folders.reserve(std::max(folders.size() + walked.size(), 2 * folders.capacity()));
        }
        for (const WalkedFolder& folder : walked) {
            if (folder.failure) {
                result.failures.push_back(
                    {std::string(kMergeIdentity), 134, folder.failure->what()});
            } else if (folder.listing) {
                folders.push_back({folder.entry, folder.listing, i});
            }
        }
    }

    if (walkingRow != nullptr) {
        walkingRow->store(folderRows.size());
    }
    // Each folder's paths are measured, then placed, then written where they belong, on the
    // reader's threads; the list is sized once and built in place without a copy.
    reader.forEach(folders.size(),
                   [&](std::size_t i) { Measure(reader.arena(), fs, folders[i], records); });
    std::size_t bytes = 0;
    for (const std::string& row : fileRows) {
        bytes += row.size();
    }
    const std::size_t rowBytes = bytes;
    std::size_t count = 0;
    for (FolderFiles& folder : folders) {
        folder.firstText = count;
        folder.firstByte = bytes - rowBytes;
        count += folder.count;
        bytes += folder.bytes;
    }
    result.candidates.reserve(fileRows.size() + count, bytes);
    for (const std::string& row : fileRows) {
        result.candidates.push_back(row);
    }
    const PackedTexts::Room room = result.candidates.extend(count, bytes - rowBytes);
    reader.forEach(folders.size(), [&](std::size_t i) { Fill(fs, folders[i], room); });
    if (records == FolderRecords::Skip) {
        return result;
    }
    result.folders.reserve(folders.size());
    for (FolderFiles& folder : folders) {
        result.folders.push_back({folder.row, std::move(folder.path), folder.count, folder.shape});
    }
    return result;
}

FolderReread RereadFolder(const FileSystem& fs, const std::string& folder) {
    const FolderListing listing = fs.listFolder(folder);
    WalkArena arena;
    FolderFiles read{folder, &listing};
    Measure(arena, fs, read, FolderRecords::Keep);
    FolderReread reread;
    reread.shape = read.shape;
    reread.files.reserve(read.count);
    for (const FolderEntry& entry : listing.entries) {
        if (IsCandidate(fs, read, entry)) {
            reread.files.push_back(folder + std::string(entry.name));
        }
    }
    return reread;
}

}  // namespace gantrylux
