#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "folders/file_system.hpp"
#include "folders/walk_arena.hpp"

namespace gantrylux {

// Reads folders for one walk or one merge, each folder once however many paths and rows lead
// to it, on up to `threads` threads. Nothing is kept beyond the reader's life, so every merge
// sees the disk as it is. The reads, and what the walks build from them, live in the reader's
// arena and go with it at once.
class FolderReader {
  public:
    FolderReader(const FileSystem& fs, unsigned threads, std::stop_token stop = {});
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    const FileSystem& fileSystem() const noexcept { return fs_; }
    bool stopRequested() const noexcept { return stop_.stop_requested(); }

    // Reads every folder of the batch that has not been read yet, on the reader's threads, and
    // gives the reads in the batch's order.
    std::vector<const FolderRead*> readAll(const std::vector<std::string>& folders);
    // The read of one folder, reading it now if it has not been read.
    const FolderRead& read(std::string_view folder);

    // What a walk that finds its folders as it reads them needs: it reads on the reader's
    // threads, looks up earlier reads while it does, and keeps its own reads once it is done.
    //
    // Memory for the walk's data, held for the reader's life; any thread may take from it.
    WalkArena& arena() noexcept { return arena_; }
    // Memory for a walk's own workings, which end with it (its tree of nodes, which route
    // owns which folder): each walk resets it and so reuses what the walk before took.
    WalkArena& walkScratch() noexcept { return scratch_; }
    // An empty read whose listing goes in the reader's arena.
    ArenaPtr<FolderRead> newRead();
    // The text under which a folder's read is kept: paths that differ only in doubled or
    // trailing separators name the same folder. It may be a part of `folder`, or be held by the
    // walk's scratch memory until the next walk starts; keep copies it.
    std::string_view key(std::string_view folder);
    // The read kept under a key, or nothing. Safe on several threads at once while no read is
    // being kept.
    const FolderRead* find(std::string_view key) const;
    // Reads a folder now, read before or not: FileSystem::readFolder, or "Cancelled" once a
    // stop is requested. Safe on several threads at once.
    OpenFolder readNow(OpenFolder parent, std::string_view path, std::string_view name,
                       bool keepOpen, FolderRead& read) const;
    void close(OpenFolder folder) const { fs_.closeFolder(folder); }
    // Keeps a read for the reader's life. The first read kept under a key is the one find and
    // read give from then on; a later one for the same key is only kept alive.
    const FolderRead* keep(std::string_view key, ArenaPtr<FolderRead> read);
    // Keeps a read alive for the reader's life, findable by no key.
    void hold(ArenaPtr<FolderRead> read);
    // Room for this many more reads to keep.
    void reserveKeeping(std::size_t reads);
    // Whether the reads a walk makes are findable by later walks of this reader (by default
    // they are). A reader that serves a single walk spares the keys.
    void indexWalks(bool index) noexcept { indexWalks_ = index; }
    bool indexesWalks() const noexcept { return indexWalks_; }

    // FileSystem::isPseudoFileSystem for a folder on the given device, asked once per device.
    // Safe on several threads at once.
    bool isPseudoFileSystem(std::uint64_t device, std::string_view folder);

    // Runs the tasks, and every task they queue with push, on the reader's threads and the
    // calling one, in no set order; returns when all are done. An exception a task throws is
    // thrown here once every task has run.
    using Task = std::function<void()>;
    void run(std::vector<Task> tasks);
    // Queues one more task; only from a task that run is running. The task queued last runs
    // first, so a walk goes deep before it goes wide and holds few folders open. A task too
    // small to be worth waking a waiting thread for is left to the threads already running.
    void push(Task task, bool worthWaking = true);
    // Calls work(i) for every i below count, on the reader's threads and the calling one.
    void forEach(std::size_t count, const std::function<void(std::size_t)>& work);

  private:
    void fill(const std::string& folder, FolderRead& slot) const;
    void startHelpers();
    void serve();  // a helper thread's life
    void runOne(Task& task);
    // Takes and runs queued tasks until there is none; called with the lock held, returns with
    // it held.
    void drain(std::unique_lock<std::mutex>& lock);
    // Wakes one waiting thread for queued work; called with the lock held.
    void wakeOne();

    const FileSystem& fs_;
    unsigned threads_;
    std::stop_token stop_;
    // First, so that it ends last: everything below may hold memory of it.
    WalkArena arena_;
    WalkArena scratch_;
    std::unordered_map<std::string_view, const FolderRead*, std::hash<std::string_view>,
                       std::equal_to<>,
                       ResourceAllocator<std::pair<const std::string_view, const FolderRead*>>>
        reads_{ResourceAllocator<std::pair<const std::string_view, const FolderRead*>>(&arena_)};
    bool indexWalks_ = true;
    std::mutex pseudoMutex_;
    std::unordered_map<std::uint64_t, bool> pseudoDevices_;
    std::vector<ArenaPtr<FolderRead>, ResourceAllocator<ArenaPtr<FolderRead>>> owned_{
        ResourceAllocator<ArenaPtr<FolderRead>>(&arena_)};

    std::mutex mutex_;
    // Helpers wait on work_ for tasks or closing; the thread in run waits on caller_ for tasks
    // or the end. Apart, so that the end of a run does not wake helpers for nothing.
    std::condition_variable work_;
    std::condition_variable caller_;
    std::vector<Task> tasks_;
    std::size_t pending_ = 0;  // tasks queued or running
    unsigned waiting_ = 0;     // helpers waiting on work_
    bool callerWaiting_ = false;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::vector<std::jthread> helpers_;
};

}  // namespace gantrylux
