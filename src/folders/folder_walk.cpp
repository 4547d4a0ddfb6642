#include "folders/folder_walk.hpp"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "folders/existence.hpp"
#include "folders/utf8.hpp"

namespace gantrylux {
namespace {

// Nodes live in the walk's scratch memory and end with the walk. Their texts live in the
// reader's arena: they outlive the nodes, as the walked folders' entries.
struct Node {
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() { std::destroy_n(children, childCount); }

    std::string_view entry;
    Node* parent = nullptr;
    std::size_t root = 0;   // the given entry whose tree this is
    std::string_view name;  // as the parent's listing holds it
    const FolderRead* read = nullptr;
    ArenaPtr<FolderRead> fresh;  // read by this walk, for the reader to keep
    std::string_view key;        // of a fresh read, when the reader indexes walks
    bool kept = true;
    bool lookInto = false;
    bool link = false;  // reached through a link (or junction) rather than the folder's own entry
    // Looked into means its listing counts as what it holds; a folder the walk may not enter
    // (a pseudo file system, a path at the platform's limit) is listed with nothing in it.
    bool entered = true;
    // The node of the same root's tree that looked into this folder: itself, or the node of
    // another route to it (through a link) that got there first.
    Node* owner = nullptr;
    bool placed = false;       // already in the result, by one route or another
    Node* children = nullptr;  // the walkable subfolders, in the listing's order
    std::size_t childCount = 0;
    OpenFolder open;  // while subfolders are still to be opened in it
    std::atomic<std::size_t> unopened{0};
};

Node* MakeNodes(WalkArena& arena, std::size_t count) {
    Node* nodes = static_cast<Node*>(arena.allocate(count * sizeof(Node), alignof(Node)));
    std::uninitialized_default_construct_n(nodes, count);
    return nodes;
}

// The given entries' nodes, which end with the walk; each ends its subtree.
class Roots {
  public:
    Roots(WalkArena& arena, std::size_t count) : nodes_(MakeNodes(arena, count)), count_(count) {}
    ~Roots() { std::destroy_n(nodes_, count_); }
    Roots(const Roots&) = delete;
    Roots& operator=(const Roots&) = delete;
    Node* get() const noexcept { return nodes_; }
    Node& operator[](std::size_t i) const noexcept { return nodes_[i]; }

  private:
    Node* nodes_;
    std::size_t count_;
};

struct IdentityHash {
    std::size_t operator()(const std::pair<std::size_t, FileIdentity>& key) const noexcept {
        const auto mix = [](std::uint64_t h, std::uint64_t v) {
            return (h ^ v) * 0x100000001B3ULL;
        };
        return static_cast<std::size_t>(mix(
            mix(mix(mix(0xCBF29CE484222325ULL, key.first), key.second.device), key.second.index),
            key.second.indexHigh));
    }
};

// Within one given entry's tree each folder is looked into once, by the first route that
// reaches it: links that lead to a folder by another way, up the tree or across it, would
// otherwise repeat it, and a mesh of such links grows without end.
class Owners {
  public:
    explicit Owners(WalkArena& arena) : owners_(Allocator(&arena)) {}

    // The node that looks into the folder: `node` itself when no other route has claimed it.
    Node* claim(Node& node, const FileIdentity& id) {
        if (!id.known) {
            return &node;  // a walk through links there ends at the path limit
        }
        std::lock_guard lock(mutex_);
        return owners_.try_emplace({node.root, id}, &node).first->second;
    }

  private:
    using Key = std::pair<std::size_t, FileIdentity>;
    using Allocator = ResourceAllocator<std::pair<const Key, Node*>>;
    std::mutex mutex_;
    std::unordered_map<Key, Node*, IdentityHash, std::equal_to<>, Allocator> owners_;
};

bool IsDeniedOrMissing(const FolderRead& read) {
    return read.failure && (read.failure->code() == fs_error::kPermissionDenied ||
                            read.failure->code() == fs_error::kPathNotFound);
}

// The listing has no "." or "..", and the read already marked names that are not text.
bool IsWalkableSubfolder(const FolderEntry& entry) {
    return entry.kind == EntryKind::Folder && !entry.badName &&
           IsAcceptedFolder(entry.attributes, false);
}

bool IsAcceptedRoot(const FileSystem& fs, std::string_view entry, const FolderListing& listing) {
    const auto attributes = listing.attributes ? listing.attributes : fs.attributes(entry);
    return attributes && IsAcceptedFolder(*attributes, fs.isRoot(entry));
}

// The given entries: kept unless their listing is denied or missing, looked into only when
// they are accepted folders the walk may enter. An entry that is no folder at all stays, with
// nothing to show.
void AddRoots(FolderReader& reader, const std::vector<std::string>& entries, Node* roots,
              Owners& owners) {
    const FileSystem& fs = reader.fileSystem();
    const std::vector<const FolderRead*> reads = reader.readAll(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Node& root = roots[i];
        root.entry = reader.arena().join({entries[i]});
        root.root = i;
        root.read = reads[i];
        if (root.read->listing) {
            root.entered =
                !fs.reachesPathLimit(entries[i]) &&
                !reader.isPseudoFileSystem(root.read->listing->identity.device, entries[i]);
            root.lookInto = root.entered && IsAcceptedRoot(fs, entries[i], *root.read->listing);
            root.owner = owners.claim(root, root.read->listing->identity);
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
    TreeRead(FolderReader& reader, Owners& owners, bool allLevels)
        : reader_(reader),
          fs_(reader.fileSystem()),
          owners_(owners),
          separator_(fs_.separator()),
          pathBytesBelowLimit_(fs_.pathBytesBelowLimit()),
          allLevels_(allLevels),
          index_(reader.indexesWalks()) {}

    // Gives the node its walkable subfolders and, on all levels, queues their reads.
    void expand(Node& node) {
        if (!node.lookInto) {
            release(node);
            return;
        }
        const auto& entries = node.read->listing->entries;
        const auto count = static_cast<std::size_t>(
            std::count_if(entries.begin(), entries.end(), IsWalkableSubfolder));
        if (count == 0) {
            release(node);
            return;
        }
        node.children = MakeNodes(reader_.walkScratch(), count);
        node.childCount = count;
        std::size_t at = 0;
        std::size_t unread = 0;
        std::size_t queued = 0;
        for (const FolderEntry& sub : entries) {
            if (IsWalkableSubfolder(sub)) {
                Node& child = node.children[at++];
                child.entry = reader_.arena().join({node.entry, sub.name, {&separator_, 1}});
                child.parent = &node;
                child.root = node.root;
                child.name = sub.name;
                // Nothing below a path at the platform's limit could be opened: it is listed,
                // empty, and not read.
                child.entered =
                    child.entry.size() < pathBytesBelowLimit_ || !fs_.reachesPathLimit(child.entry);
                child.link = (sub.attributes & attribute::kReparsePoint) != 0;
                if (allLevels_ && child.entered) {
                    if (index_) {
                        child.key = reader_.key(child.entry);
                        child.read = reader_.find(child.key);
                    }
                    if (child.link) {
                        std::lock_guard lock(linksMutex_);
                        links_.push_back(&child);
                    } else {
                        unread += child.read == nullptr ? 1 : 0;
                        ++queued;
                    }
                }
            }
        }
        if (queued == 0) {
            release(node);
            return;
        }
        node.unopened.store(queued, std::memory_order_relaxed);
        for (std::size_t i = count; i-- > 0;) {
            Node& child = node.children[i];
            if (child.entered && !child.link) {
                // Subfolders an earlier walk read cost a lookup each: not worth another thread.
                reader_.push([this, &child] { visit(child); }, unread > 0);
            }
        }
    }

    // Subfolders reached through links, which every folder of the trees read so far may own
    // already; they are read once the reads that queued them are done, and handed out once.
    std::vector<Node*> takeLinks() {
        std::lock_guard lock(linksMutex_);
        return std::exchange(links_, {});
    }

    // How many reads the walk made, and how many subfolders it keeps; once it is done.
    std::size_t fresh() const { return fresh_.load(std::memory_order_relaxed); }
    std::size_t kept() const { return kept_.load(std::memory_order_relaxed); }

  private:
    // More folders held open than this and the next ones are opened by their whole path: the
    // process must not run out of descriptors on a tree of great depth.
    static constexpr std::size_t kMostHeldOpen = 256;

  public:
    // Reads a subfolder, unless an earlier walk did, and expands it when it owns its folder.
    void visit(Node& node) {
        Node& parent = *node.parent;
        if (node.read == nullptr) {
            node.fresh = reader_.newRead();
            const bool keepOpen = heldOpen_.load(std::memory_order_relaxed) < kMostHeldOpen;
            node.open = reader_.readNow(parent.open, node.entry, node.name, keepOpen, *node.fresh);
            if (node.open.isOpen()) {
                heldOpen_.fetch_add(1, std::memory_order_relaxed);
            }
            node.read = node.fresh.get();
            fresh_.fetch_add(1, std::memory_order_relaxed);
        }
        if (!node.link && parent.unopened.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            release(parent);
        }
        if (IsDeniedOrMissing(*node.read) || IsPseudo(node)) {
            node.kept = false;
            release(node);
            return;
        }
        kept_.fetch_add(1, std::memory_order_relaxed);
        if (node.read->listing) {
            node.owner = owners_.claim(node, node.read->listing->identity);
            node.lookInto = node.owner == &node;
            if (node.link && node.lookInto) {
                // Its subfolders are read by paths built on this one; the walk's texts for
                // them are made afresh from the routes anyway.
                const std::string resolved = fs_.resolvedFolder(node.entry);
                const bool ends = !resolved.empty() && resolved.back() == separator_;
                node.entry = reader_.arena().join(
                    {resolved, ends ? std::string_view() : std::string_view(&separator_, 1)});
            }
        }
        expand(node);
    }

  private:
    // Only a folder on another device than its parent can start a pseudo file system, so an
    // ordinary tree never pays for the question.
    bool IsPseudo(const Node& node) {
        const FolderListing* own = node.read->listing ? &*node.read->listing : nullptr;
        const FolderListing& parent = *node.parent->read->listing;
        return own != nullptr && own->identity.device != parent.identity.device &&
               reader_.isPseudoFileSystem(own->identity.device, node.entry);
    }

    void release(Node& node) {
        if (node.open.isOpen()) {
            reader_.close(node.open);
            node.open = {};
            heldOpen_.fetch_sub(1, std::memory_order_relaxed);
        }
    }

    FolderReader& reader_;
    const FileSystem& fs_;
    Owners& owners_;
    const char separator_;
    const std::size_t pathBytesBelowLimit_;
    const bool allLevels_;
    const bool index_;  // whether fresh reads get keys, for later walks to find them
    std::atomic<std::size_t> heldOpen_{0};
    std::mutex linksMutex_;
    std::vector<Node*> links_;
    std::atomic<std::size_t> fresh_{0};
    std::atomic<std::size_t> kept_{0};
};

// The reads this walk made outlive its nodes: the walked folders point into them, and a later
// walk of the same reader is served from them.
void KeepFreshReads(FolderReader& reader, Node* roots, std::size_t rootCount, std::size_t fresh) {
    reader.reserveKeeping(fresh);
    std::vector<Node*> level;
    for (std::size_t i = 0; i < rootCount; ++i) {
        level.push_back(&roots[i]);
    }
    std::vector<Node*> next;
    while (!level.empty()) {
        next.clear();
        for (Node* node : level) {
            for (std::size_t i = 0; i < node->childCount; ++i) {
                Node& child = node->children[i];
                if (child.fresh && reader.indexesWalks()) {
                    reader.keep(child.key, std::move(child.fresh));
                } else if (child.fresh) {
                    reader.hold(std::move(child.fresh));
                }
                next.push_back(&child);
            }
        }
        level.swap(next);
    }
}

// One folder of the result, on its way: the route's text, and the node that looked into the
// folder, whose subfolders follow it.
struct Placed {
    std::size_t at;  // in the result
    Node* owner;
    bool ownText;  // the route is the owner's own, so its subfolders' texts are already built
};

// Level by level, each folder in the first place a route reaches it; a later route to it is
// left out. The tree was read in no set order, so which route looked into a folder is chance;
// where that was not the first route, the first one takes over its subfolders, with its own
// texts.
WalkedFolders Assemble(WalkArena& arena, Node* roots, std::size_t rootCount, char separator,
                       std::size_t kept) {
    WalkedFolders walked;
    walked.reserve(rootCount + kept);
    std::vector<Placed> level;
    const auto place = [&](Node& route, Node& owner, std::string_view entry, bool ownText) {
        WalkedFolder& folder = walked.emplace_back(WalkedFolder{entry});
        if (route.read && route.entered) {
            folder.listing = route.read->listing ? &*route.read->listing : nullptr;
            folder.failure = route.read->failure ? &*route.read->failure : nullptr;
        }
        owner.placed = true;
        return Placed{walked.size() - 1, &owner, ownText};
    };
    for (std::size_t i = 0; i < rootCount; ++i) {
        if (roots[i].kept) {
            // Each given entry is a tree of its own: the same folder given twice is walked twice.
            Node& owner = roots[i].owner ? *roots[i].owner : roots[i];
            level.push_back(place(roots[i], owner, roots[i].entry, true));
        }
    }
    std::vector<Placed> next;
    while (!level.empty()) {
        next.clear();
        for (const Placed& parent : level) {
            for (std::size_t i = 0; i < parent.owner->childCount; ++i) {
                Node& child = parent.owner->children[i];
                Node& owner = child.owner ? *child.owner : child;
                if (!child.kept || owner.placed) {
                    continue;
                }
                // A folder reached through a link is read by its resolved path, not the route's.
                const bool ownText = parent.ownText && &owner == &child && !child.link;
                const std::string_view entry =
                    ownText ? child.entry
                            : arena.join({walked[parent.at].entry, child.name, {&separator, 1}});
                next.push_back(place(owner, owner, entry, ownText));
            }
        }
        level.swap(next);
    }
    return walked;
}

}  // namespace

bool HasBadCharacters(std::string_view text) {
    // Every name the platform gives is kept as Unicode, "?" and control characters included;
    // only a name that is not text at all cannot be shown, stored or handed on.
    return !IsValidUtf8(text);
}

bool IsAcceptedFolder(std::uint32_t attributes, bool isRoot) {
    constexpr std::uint32_t kHiddenSystemFolder =
        attribute::kDirectory | attribute::kSystem | attribute::kHidden;
    return isRoot || (attributes != kHiddenSystemFolder &&
                      attributes != (kHiddenSystemFolder | attribute::kReparsePoint));
}

WalkedFolders WalkFolders(FolderReader& reader, const std::vector<std::string>& entries,
                          bool allLevels) {
    // What the last walk left there has ended with it.
    reader.walkScratch().reset();
    const Roots roots(reader.walkScratch(), entries.size());
    Owners owners(reader.walkScratch());
    AddRoots(reader, entries, roots.get(), owners);
    TreeRead tree(reader, owners, allLevels);
    std::vector<FolderReader::Task> tasks;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (roots[i].kept && roots[i].lookInto && roots[i].owner == &roots[i]) {
            tasks.emplace_back([&tree, &root = roots[i]] { tree.expand(root); });
        }
    }
    // Folders are read through their own entries first, so every folder of a tree is owned by
    // its one real route; a link then only has to say which folder it reaches. Only a folder
    // outside the trees is read through a link, and its own links wait for the round after:
    // the paths read stay short however long a chain of links is.
    for (;;) {
        reader.run(std::move(tasks));
        tasks.clear();
        for (Node* link : tree.takeLinks()) {
            tasks.emplace_back([&tree, link] { tree.visit(*link); });
        }
        if (tasks.empty()) {
            break;
        }
    }
    KeepFreshReads(reader, roots.get(), entries.size(), tree.fresh());
    return Assemble(reader.arena(), roots.get(), entries.size(), reader.fileSystem().separator(),
                    tree.kept());
}

void GetSubDirectories2016(const FileSystem& fs, std::vector<std::string>& folders, bool allLevels,
                           unsigned threads) {
    FolderReader reader(fs, threads);
    std::vector<std::string> result;
    for (const WalkedFolder& folder : WalkFolders(reader, folders, allLevels)) {
        result.emplace_back(folder.entry);
    }
    folders = std::move(result);
}

}  // namespace gantrylux
