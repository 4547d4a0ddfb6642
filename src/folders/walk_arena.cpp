#include "folders/walk_arena.hpp"

#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace gantrylux {
namespace {

// Arenas are told apart by a number never used twice, not by address: a thread's cached
// region must not be taken for one of a new arena that happens to sit where an old one was.
std::atomic<std::uint64_t> lastArena{0};

struct LocalBump {
    std::uint64_t arena = 0;
    void* bump = nullptr;
};
thread_local LocalBump localBump;

// An allocation this large gets a chunk of its own: cutting it from the current chunk would
// leave much of that chunk unused.
constexpr std::size_t kOwnChunkFrom = WalkArena::kChunkBytes / 4;

std::size_t RoundUp(std::size_t bytes, std::size_t to) {
    return (bytes + to - 1) / to * to;
}

}  // namespace

void* MapLargePages(std::size_t bytes) {
    bytes = RoundUp(bytes, WalkArena::kChunkBytes);
#ifdef __linux__
    // Mapped with a chunk's worth to spare, then trimmed to a 2 MiB boundary: a large page can
    // only back memory aligned to its size.
    const std::size_t mapped = bytes + WalkArena::kChunkBytes;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, WalkArena::kChunkBytes);
    if (aligned > start) {
        munmap(raw, aligned - start);
    }
    const std::size_t tail = mapped - (aligned - start) - bytes;
    if (tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    }
    void* memory = reinterpret_cast<void*>(aligned);
    madvise(memory, bytes, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
    return memory;
#else
    return ::operator new (bytes, std::align_val_t{WalkArena::kChunkBytes});
#endif
}

void UnmapLargePages(void* memory, [[maybe_unused]] std::size_t bytes) noexcept {
#ifdef __linux__
    munmap(memory, RoundUp(bytes, WalkArena::kChunkBytes));
#else
    ::operator delete (memory, std::align_val_t{WalkArena::kChunkBytes});
#endif
}

WalkArena::WalkArena() : id_(lastArena.fetch_add(1, std::memory_order_relaxed) + 1) {}

WalkArena::~WalkArena() {
    for (const Chunk& chunk : chunks_) {
        UnmapLargePages(chunk.base, chunk.bytes);
    }
}

std::size_t WalkArena::reservedBytes() const {
    std::lock_guard lock(mutex_);
    std::size_t bytes = 0;
    for (const Chunk& chunk : chunks_) {
        bytes += chunk.bytes;
    }
    return bytes;
}

void WalkArena::reset() {
    std::lock_guard lock(mutex_);
    spare_.clear();
    std::erase_if(chunks_, [this](const Chunk& chunk) {
        if (chunk.bytes != kChunkBytes) {
            UnmapLargePages(chunk.base, chunk.bytes);
            return true;
        }
        spare_.push_back(static_cast<char*>(chunk.base));
        return false;
    });
    for (const std::unique_ptr<Bump>& bump : bumps_) {
        bump->next = nullptr;
        bump->end = nullptr;
    }
}

char* WalkArena::takeChunk(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    if (bytes == kChunkBytes && !spare_.empty()) {
        char* chunk = spare_.back();
        spare_.pop_back();
        return chunk;
    }
    chunks_.reserve(chunks_.size() + 1);
    void* chunk = MapLargePages(bytes);
    chunks_.push_back({chunk, bytes});
    return static_cast<char*>(chunk);
}

WalkArena::Bump& WalkArena::local() {
    if (localBump.arena == id_) {
        return *static_cast<Bump*>(localBump.bump);
    }
    const std::thread::id self = std::this_thread::get_id();
    std::lock_guard lock(mutex_);
    auto found = std::find_if(bumps_.begin(), bumps_.end(), [&](const std::unique_ptr<Bump>& bump) {
        return bump->owner == self;
    });
    if (found == bumps_.end()) {
        bumps_.push_back(std::make_unique<Bump>(Bump{self}));
        found = bumps_.end() - 1;
    }
    localBump = {id_, found->get()};
    return **found;
}

void* WalkArena::do_allocate(std::size_t bytes, std::size_t alignment) {
    if (bytes >= kOwnChunkFrom) {
        return takeChunk(RoundUp(bytes, kChunkBytes));
    }
    Bump& bump = local();
    auto at = RoundUp(reinterpret_cast<std::uintptr_t>(bump.next), alignment);
    if (bump.next == nullptr || at + bytes > reinterpret_cast<std::uintptr_t>(bump.end)) {
        char* chunk = takeChunk(kChunkBytes);
        bump.end = chunk + kChunkBytes;
        at = RoundUp(reinterpret_cast<std::uintptr_t>(chunk), alignment);
    }
    bump.next = reinterpret_cast<char*>(at + bytes);
    return reinterpret_cast<void*>(at);
}

std::string_view WalkArena::join(std::initializer_list<std::string_view> parts) {
    std::size_t bytes = 0;
    for (const std::string_view part : parts) {
        bytes += part.size();
    }
    char* text = static_cast<char*>(allocate(std::max<std::size_t>(bytes, 1), 1));
    char* at = text;
    for (const std::string_view part : parts) {
        if (!part.empty()) {
            std::memcpy(at, part.data(), part.size());
            at += part.size();
        }
    }
    return {text, bytes};
}

}  // namespace gantrylux
