#include "folders/folder_walk.hpp"

#include <algorithm>
#include <atomic>
#include <memory>

#include "folders/existence.hpp"
#include "folders/utf8.hpp"

namespace gantrylux {
namespace {

struct Node {
    std::string entry;
    Node* parent = nullptr;
    std::string_view name;  // as the parent's listing holds it
    const FolderRead* read = nullptr;
    std::unique_ptr<FolderRead> fresh;  // read by this walk, for the reader to keep
    std::string key;                    // of a fresh read
    bool kept = true;
    bool lookInto = false;
    std::unique_ptr<Node[]> children;  // the walkable subfolders, in the listing's order
    std::size_t childCount = 0;
    OpenFolder open;  // while subfolders are still to be opened in it
    std::atomic<std::size_t> unopened{0};
};

bool IsDeniedOrMissing(const FolderRead& read) {
    return read.failure && (read.failure->code() == fs_error::kPermissionDenied ||
                            read.failure->code() == fs_error::kPathNotFound);
}

// A folder that is already one of its own ancestors is reached through a link that points
// back up; walking it would repeat the tree until the path grows too long.
bool IsOwnAncestor(const Node* parent, const FileIdentity& id) {
    for (const Node* at = parent; at != nullptr; at = at->parent) {
        if (at->read && at->read->listing && at->read->listing->identity == id) {
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
void AddRoots(FolderReader& reader, const std::vector<std::string>& entries, Node* roots) {
    const FileSystem& fs = reader.fileSystem();
    const std::vector<const FolderRead*> reads = reader.readAll(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Node& root = roots[i];
        root.entry = entries[i];
        root.read = reads[i];
        if (root.read->listing) {
            root.lookInto = IsAcceptedRoot(fs, entries[i], *root.read->listing);
        } else if (!IsFolder(fs, entries[i])) {
            root.read = nullptr;
        } else {
            root.kept = !IsDeniedOrMissing(*root.read);
        }
    }
}

// Reads the whole tree below the roots at once, on the reader's threads: each read lists the
// folder's walkable subfolders and queues their reads, so no thread waits for a level to end.
// The walk's order is restored afterwards from the tree, which keeps every folder's
// subfolders in the listing's order.
class TreeRead {
  public:
    TreeRead(FolderReader& reader, bool allLevels)
        : reader_(reader), separator_(reader.fileSystem().separator()), allLevels_(allLevels) {}

    // Gives the node its walkable subfolders and, on all levels, queues their reads.
    void expand(Node& node) {
        if (!node.lookInto) {
            release(node);
            return;
        }
        const std::vector<FolderEntry>& entries = node.read->listing->entries;
        const auto count = static_cast<std::size_t>(
            std::count_if(entries.begin(), entries.end(), IsWalkableSubfolder));
        if (count == 0) {
            release(node);
            return;
        }
        node.children = std::make_unique<Node[]>(count);
        node.childCount = count;
        std::size_t at = 0;
        std::size_t unread = 0;
        for (const FolderEntry& sub : entries) {
            if (IsWalkableSubfolder(sub)) {
                Node& child = node.children[at++];
                child.entry.reserve(node.entry.size() + sub.name.size() + 1);
                child.entry = node.entry;
                child.entry += sub.name;
                child.entry += separator_;
                child.parent = &node;
                child.name = sub.name;
                if (allLevels_) {
                    child.key = reader_.key(child.entry);
                    child.read = reader_.find(child.key);
                    unread += child.read == nullptr ? 1 : 0;
                }
            }
        }
        if (!allLevels_) {
            release(node);
            return;
        }
        node.unopened.store(count, std::memory_order_relaxed);
        for (std::size_t i = count; i-- > 0;) {
            // Subfolders that an earlier walk read cost a lookup each: not worth another thread.
            reader_.push([this, &child = node.children[i]] { visit(child); }, unread > 0);
        }
    }

    // How many reads the walk made, and how many subfolders it keeps; once it is done.
    std::size_t fresh() const { return fresh_.load(std::memory_order_relaxed); }
    std::size_t kept() const { return kept_.load(std::memory_order_relaxed); }

  private:
    // More folders held open than this and the next ones are opened by their whole path: the
    // process must not run out of descriptors on a tree of great depth.
    static constexpr std::size_t kMostHeldOpen = 256;

    void visit(Node& node) {
        Node& parent = *node.parent;
        if (node.read == nullptr) {
            node.fresh = std::make_unique<FolderRead>();
            const bool keepOpen = heldOpen_.load(std::memory_order_relaxed) < kMostHeldOpen;
            node.open = reader_.readNow(parent.open, node.entry, node.name, keepOpen, *node.fresh);
            if (node.open.isOpen()) {
                heldOpen_.fetch_add(1, std::memory_order_relaxed);
            }
            node.read = node.fresh.get();
            fresh_.fetch_add(1, std::memory_order_relaxed);
        }
        if (parent.unopened.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            release(parent);
        }
        if (IsDeniedOrMissing(*node.read) ||
            (node.read->listing && IsOwnAncestor(&parent, node.read->listing->identity))) {
            node.kept = false;
            release(node);
            return;
        }
        kept_.fetch_add(1, std::memory_order_relaxed);
        node.lookInto = node.read->listing.has_value();
        expand(node);
    }

    void release(Node& node) {
        if (node.open.isOpen()) {
            reader_.close(node.open);
            node.open = {};
            heldOpen_.fetch_sub(1, std::memory_order_relaxed);
        }
    }

    FolderReader& reader_;
    const char separator_;
    const bool allLevels_;
    std::atomic<std::size_t> heldOpen_{0};
    std::atomic<std::size_t> fresh_{0};
    std::atomic<std::size_t> kept_{0};
};

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
    const auto roots = std::make_unique<Node[]>(entries.size());
    AddRoots(reader, entries, roots.get());
    TreeRead tree(reader, allLevels);
    std::vector<FolderReader::Task> tasks;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (roots[i].kept && roots[i].lookInto) {
            tasks.emplace_back([&tree, &root = roots[i]] { tree.expand(root); });
        }
    }
    reader.run(std::move(tasks));

    // Level by level; the reads this walk made are kept in the same order, so that where two
    // paths of the walk name one folder, the reader keeps the read met first.
    std::vector<WalkedFolder> walked;
    walked.reserve(entries.size() + tree.kept());
    reader.reserveKeeping(tree.fresh());
    std::vector<Node*> level;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (roots[i].kept) {
            level.push_back(&roots[i]);
        }
    }
    std::vector<Node*> next;
    while (!level.empty()) {
        next.clear();
        for (Node* node : level) {
            WalkedFolder& folder = walked.emplace_back(std::move(node->entry));
            if (node->read) {
                folder.listing = node->read->listing ? &*node->read->listing : nullptr;
                folder.failure = node->read->failure ? &*node->read->failure : nullptr;
            }
            for (std::size_t i = 0; i < node->childCount; ++i) {
                Node& child = node->children[i];
                if (child.fresh) {
                    reader.keep(std::move(child.key), std::move(child.fresh));
                }
                if (child.kept) {
                    next.push_back(&child);
                }
            }
        }
        level.swap(next);
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
