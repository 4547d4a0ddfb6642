#include "folders/folder_walk.hpp"

#include <limits>
#include <span>

#include "folders/existence.hpp"
#include "folders/utf8.hpp"

namespace gantrylux {
namespace {

constexpr std::size_t kNoParent = std::numeric_limits<std::size_t>::max();

struct Node {
    std::string entry;
    std::size_t parent = kNoParent;
    const FolderRead* read = nullptr;
    bool lookInto = false;
};

bool IsDeniedOrMissing(const FolderRead& read) {
    return read.failure && (read.failure->code() == fs_error::kPermissionDenied ||
                            read.failure->code() == fs_error::kPathNotFound);
}

// A folder that is already one of its own ancestors is reached through a link that points
// back up; walking it would repeat the tree until the path grows too long.
bool IsOwnAncestor(const std::vector<Node>& nodes, std::size_t parent, const FileIdentity& id) {
    for (std::size_t at = parent; at != kNoParent; at = nodes[at].parent) {
        const FolderRead* read = nodes[at].read;
        if (read && read->listing && read->listing->identity == id) {
            return true;
        }
    }
    return false;
}

bool IsWalkableSubfolder(const FolderEntry& entry) {
    return entry.kind == EntryKind::Folder && !entry.badName && entry.name != "." &&
           entry.name != ".." && !HasBadCharacters(entry.name) &&
           IsAcceptedFolder(entry.attributes, false);
}

bool IsAcceptedRoot(const FileSystem& fs, const std::string& entry, const FolderListing& listing) {
    const auto attributes = listing.attributes ? listing.attributes : fs.attributes(entry);
    return attributes && IsAcceptedFolder(*attributes, fs.isRoot(entry));
}

// The given entries: kept unless their listing is denied or missing, looked into only when
// they are accepted folders. An entry that is no folder at all stays, with nothing to show.
void AddRoots(FolderReader& reader, const std::vector<std::string>& entries,
              std::vector<Node>& nodes) {
    const FileSystem& fs = reader.fileSystem();
    const std::vector<const FolderRead*> reads = reader.readAll(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Node node{entries[i], kNoParent, reads[i], false};
        if (node.read->listing) {
            node.lookInto = IsAcceptedRoot(fs, entries[i], *node.read->listing);
        } else if (!IsFolder(fs, entries[i])) {
            node.read = nullptr;
        } else if (IsDeniedOrMissing(*node.read)) {
            continue;
        }
        nodes.push_back(std::move(node));
    }
}

}  // namespace

bool HasBadCharacters(std::string_view text) {
    if (!IsValidUtf8(text)) {
        return true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c == 127 || c == '?') {
            return true;
        }
        // U+0080 to U+009F are encoded as C2 80 to C2 9F.
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            return true;
        }
    }
    return false;
}

bool IsAcceptedFolder(std::uint32_t attributes, bool isRoot) {
    constexpr std::uint32_t kHiddenSystemFolder =
        attribute::kDirectory | attribute::kSystem | attribute::kHidden;
    return isRoot || (attributes != kHiddenSystemFolder &&
                      attributes != (kHiddenSystemFolder | attribute::kReparsePoint));
}

std::vector<WalkedFolder> WalkFolders(FolderReader& reader, const std::vector<std::string>& entries,
                                      bool allLevels) {
    const char separator = reader.fileSystem().separator();
    std::vector<Node> nodes;
    AddRoots(reader, entries, nodes);

    std::size_t levelBegin = 0;
    for (int level = 0; levelBegin < nodes.size() && (allLevels || level < 1); ++level) {
        const std::size_t levelEnd = nodes.size();
        std::vector<Node> children;
        std::vector<std::string_view> names;  // of the children, in their order
        for (std::size_t at = levelBegin; at < levelEnd; ++at) {
            if (!nodes[at].lookInto) {
                continue;
            }
            for (const FolderEntry& sub : nodes[at].read->listing->entries) {
                if (IsWalkableSubfolder(sub)) {
                    std::string entry = nodes[at].entry;
                    entry += sub.name;
                    entry += separator;
                    children.push_back({std::move(entry), at, nullptr, false});
                    names.push_back(sub.name);
                }
            }
        }
        std::vector<const FolderRead*> reads;
        if (allLevels) {
            std::vector<FolderReader::Subfolders> parents;
            for (std::size_t i = 0; i < children.size();) {
                const std::size_t parent = children[i].parent;
                const std::size_t first = i;
                while (i < children.size() && children[i].parent == parent) {
                    ++i;
                }
                parents.push_back(
                    {nodes[parent].entry, std::span(names).subspan(first, i - first)});
            }
            reads = reader.readSubfolders(parents);
        }
        for (std::size_t i = 0; i < children.size(); ++i) {
            Node& child = children[i];
            if (allLevels) {
                child.read = reads[i];
                if (IsDeniedOrMissing(*child.read) ||
                    (child.read->listing &&
                     IsOwnAncestor(nodes, child.parent, child.read->listing->identity))) {
                    continue;
                }
                child.lookInto = child.read->listing.has_value();
            }
            nodes.push_back(std::move(child));
        }
        levelBegin = levelEnd;
    }

    std::vector<WalkedFolder> walked;
    walked.reserve(nodes.size());
    for (Node& node : nodes) {
        WalkedFolder folder{std::move(node.entry), nullptr, nullptr};
        if (node.read) {
            folder.listing = node.read->listing ? &*node.read->listing : nullptr;
            folder.failure = node.read->failure ? &*node.read->failure : nullptr;
        }
        walked.push_back(std::move(folder));
    }
    return walked;
}

void GetSubDirectories2016(const FileSystem& fs, std::vector<std::string>& folders, bool allLevels,
                           unsigned threads) {
    FolderReader reader(fs, threads);
    std::vector<std::string> result;
    for (WalkedFolder& folder : WalkFolders(reader, folders, allLevels)) {
        result.push_back(std::move(folder.entry));
    }
    folders = std::move(result);
}

}  // namespace gantrylux
