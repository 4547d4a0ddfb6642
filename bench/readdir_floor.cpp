// The least any program must do to list the files of a tree: read every folder with the kernel's
// directory call on every core and print the regular files, with no filter, no link, no order
// and no check at all. Each thread writes its files in blocks as it goes and holds no output
// that grows with the tree: fresh memory costs a fault per page, which would be timed as well.
// Timed beside the merge and find, it shows how much of the merge's time the kernel takes on the
// machine at hand, which no change to the merge can win back.
//
//   readdir-floor DIR

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "folders/kernel_dirent.hpp"

namespace {

using gantrylux::KernelDirent;

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A thread's lines, written to stdout a block at a time. A write to a pipe may be split, so
// the threads take turns: their lines never interleave.
class Output {
  public:
    Output() : block_(new char[kBlock]) {}

    void line(const std::string& folder, const char* name) {
        const std::size_t length = std::strlen(name);
        if (used_ + folder.size() + length + 2 > kBlock) {
            flush();
        }
        char* at = block_.get() + used_;
        std::memcpy(at, folder.data(), folder.size());
        at += folder.size();
        *at++ = '/';
        std::memcpy(at, name, length);
        at += length;
        *at++ = '\n';
        used_ = static_cast<std::size_t>(at - block_.get());
    }

    bool finish() {
        flush();
        return ok_;
    }

  private:
    static constexpr std::size_t kBlock = std::size_t{256} << 10;

    void flush() {
        static std::mutex writing;
        const std::lock_guard lock(writing);
        for (std::size_t done = 0; done < used_ && ok_;) {
            const ssize_t written = write(STDOUT_FILENO, block_.get() + done, used_ - done);
            if (written < 0 && errno != EINTR) {
                ok_ = false;
            }
            done += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        used_ = 0;
    }

    std::unique_ptr<char[]> block_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

// Folders still to read, shared by all threads; a thread that finds none waits until the others
// are done or have queued more.
class Walk {
  public:
    explicit Walk(std::string root) { folders_.push_back(std::move(root)); }

    // Reads folders until none is left, writing their files as lines; false when a write
    // failed.
    bool run() {
        Output files;
        std::string folder;
        std::vector<std::string> found;
        while (take(folder)) {
            found.clear();
            read(folder, files, found);
            give(found);
        }
        return files.finish();
    }

  private:
    bool take(std::string& folder) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !folders_.empty() || reading_ == 0; });
        if (folders_.empty()) {
            return false;
        }
        folder = std::move(folders_.back());
        folders_.pop_back();
        ++reading_;
        return true;
    }

    void give(std::vector<std::string>& found) {
        {
            std::lock_guard lock(mutex_);
            for (std::string& folder : found) {
                folders_.push_back(std::move(folder));
            }
            --reading_;
        }
        ready_.notify_all();
    }

    static void read(const std::string& folder, Output& files, std::vector<std::string>& found) {
        alignas(8) static thread_local char buffer[64 * 1024];
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        for (;;) {
            const long bytes = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            if (bytes <= 0) {
                break;
            }
            for (long at = 0; at < bytes;) {
                const auto* entry = reinterpret_cast<const KernelDirent*>(buffer + at);
                at += entry->d_reclen;
                if (IsDotOrDotDot(entry->d_name)) {
                    continue;
                }
                if (entry->d_type == DT_DIR) {
                    found.push_back(folder + '/' + entry->d_name);
                } else if (entry->d_type == DT_REG) {
                    files.line(folder, entry->d_name);
                }
            }
        }
        close(fd);
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::string> folders_;
    unsigned reading_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: readdir-floor DIR\n");
        return 1;
    }
    Walk walk(argv[1]);
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::atomic<bool> ok = true;
    {
        std::vector<std::jthread> helpers;
        for (unsigned i = 1; i < threads; ++i) {
            helpers.emplace_back([&walk, &ok] {
                if (!walk.run()) {
                    ok = false;
                }
            });
        }
        if (!walk.run()) {
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
