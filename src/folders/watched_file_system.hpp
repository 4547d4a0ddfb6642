#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "folders/file_system.hpp"

namespace gantrylux {

// Which file-system calls of one job are in flight, and since when. A call on a network share
// whose server has gone, or on a FUSE mount that hangs, may never return: whoever waits for
// the job can see it and stop waiting. Each thread keeps its own slot, so a call costs two
// stores and a clock reading, whatever the number of threads.
class CallWatch {
  public:
    using Clock = std::chrono::steady_clock;

    CallWatch();
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    // Marks one call of the calling thread, from construction to destruction.
    class Call {
      public:
        explicit Call(const CallWatch& watch);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

      private:
        std::atomic<Clock::rep>& slot_;
        Clock::rep outer_;  // the start of a call this one runs inside, if any
    };

    // When the oldest call still in flight began; nothing when none is.
    std::optional<Clock::time_point> oldestCall() const;

  private:
    static constexpr Clock::rep kIdle = INT64_MIN;
    std::atomic<Clock::rep>& slotOfThisThread() const;

    const std::uint64_t id_;
    mutable std::mutex mutex_;
    mutable std::deque<std::atomic<Clock::rep>> slots_;
};

// Passes every call to a real file system, each marked in a CallWatch.
class WatchedFileSystem final : public FileSystem {
  public:
    WatchedFileSystem(const FileSystem& real, const CallWatch& watch)
        : real_(real), watch_(watch) {}

    FolderListing listFolder(std::string_view folder) const override;
    OpenFolder readFolder(OpenFolder parent, std::string_view path, std::string_view name,
                          bool keepOpen, FolderRead& read) const override;
    void closeFolder(OpenFolder folder) const override;
    std::optional<std::uint32_t> attributes(std::string_view path) const override;
    bool fileExists(std::string_view path) const override;
    bool pathExists(std::string_view path) const override;
    bool isRoot(std::string_view folder) const override;
    bool isPseudoFileSystem(std::string_view folder) const override;
    std::string resolvedFolder(std::string_view folder) const override;
    bool reachesPathLimit(std::string_view path) const override;
    std::size_t pathBytesBelowLimit() const override { return real_.pathBytesBelowLimit(); }
    bool matchesPattern(std::string_view name, std::string_view pattern) const override {
        return real_.matchesPattern(name, pattern);  // text work: nothing to watch
    }
    char separator() const override { return real_.separator(); }

  private:
    const FileSystem& real_;
    const CallWatch& watch_;
};

}  // namespace gantrylux
