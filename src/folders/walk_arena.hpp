#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace gantrylux {

// Memory for the data of one walk: listings, nodes, paths. Each thread that allocates takes
// from a bump region of its own, so the walk's threads never wait for each other, and regions
// come in 2 MiB-aligned chunks the system may back with large pages: a walk of a big tree
// otherwise pays a fault for every 4 KiB of fresh heap, more than the directory reads cost.
// Nothing is given back before the arena ends or is reset; then everything is, at once.
class WalkArena final : public std::pmr::memory_resource {
  public:
    static constexpr std::size_t kChunkBytes = std::size_t{2} << 20;

    WalkArena();
    ~WalkArena() override;
    WalkArena(const WalkArena&) = delete;
    WalkArena& operator=(const WalkArena&) = delete;

    // The texts joined, held for the arena's life.
    std::string_view join(std::initializer_list<std::string_view> parts);

    // Bytes taken from the system so far.
    std::size_t reservedBytes() const;

    // Ends everything made in the arena at once, keeping its chunks for what comes next: memory
    // used again costs no fault, where fresh memory costs one per page. Only while no thread
    // allocates.
    void reset();

  private:
    struct Bump {
        std::thread::id owner;
        char* next = nullptr;
        char* end = nullptr;
    };
    struct Chunk {
        void* base;
        std::size_t bytes;
    };

    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void*, std::size_t, std::size_t) override {}
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    Bump& local();
    char* takeChunk(std::size_t bytes);

    const std::uint64_t id_;
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
    std::vector<char*> spare_;  // whole chunks free again since the last reset
    std::vector<std::unique_ptr<Bump>> bumps_;
};

// Memory in whole 2 MiB-aligned chunks that the system may back with large pages; for large
// buffers filled at once, where 4 KiB pages would cost a fault each. `bytes` is rounded up to
// whole chunks; give it back with the same count.
void* MapLargePages(std::size_t bytes);
void UnmapLargePages(void* memory, std::size_t bytes) noexcept;

// An allocator that puts buffers of a megabyte or more on large pages and the rest on the heap.
template <class T>
class LargePageAllocator {
  public:
    using value_type = T;

    LargePageAllocator() noexcept = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        return static_cast<T*>(bytes >= kLargeFrom ? MapLargePages(bytes)
                                                   : std::allocator<T>().allocate(n));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) >= kLargeFrom) {
            UnmapLargePages(p, n * sizeof(T));
        } else {
            std::allocator<T>().deallocate(p, n);
        }
    }

    template <class U>
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator<U>&) noexcept {
        return true;
    }

  private:
    static constexpr std::size_t kLargeFrom = std::size_t{1} << 20;
};

// An allocator on a memory resource that goes along with the memory when a container is moved
// or swapped, so that what a moved container holds is never given back to the wrong resource.
template <class T>
class ResourceAllocator {
  public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using propagate_on_container_copy_assignment = std::true_type;

    ResourceAllocator() noexcept : memory_(std::pmr::get_default_resource()) {}
    ResourceAllocator(std::pmr::memory_resource* memory) noexcept : memory_(memory) {}
    template <class U>
    ResourceAllocator(const ResourceAllocator<U>& other) noexcept : memory_(other.resource()) {}

    T* allocate(std::size_t n) {
        return static_cast<T*>(memory_->allocate(n * sizeof(T), alignof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept {
        memory_->deallocate(p, n * sizeof(T), alignof(T));
    }
    std::pmr::memory_resource* resource() const noexcept { return memory_; }

    template <class U>
    friend bool operator==(const ResourceAllocator& a, const ResourceAllocator<U>& b) noexcept {
        return *a.resource() == *b.resource();
    }

  private:
    std::pmr::memory_resource* memory_;
};

// Ends the life of an object built in an arena, whose memory the arena keeps until it ends.
struct DestroyOnly {
    template <class T>
    void operator()(T* object) const noexcept {
        std::destroy_at(object);
    }
};
template <class T>
using ArenaPtr = std::unique_ptr<T, DestroyOnly>;

template <class T, class... Args>
ArenaPtr<T> MakeInArena(std::pmr::memory_resource& memory, Args&&... args) {
    void* at = memory.allocate(sizeof(T), alignof(T));
    return ArenaPtr<T>(new (at) T(std::forward<Args>(args)...));
}

}  // namespace gantrylux
