// The least any program must do to list the files of a tree: read every folder with the kernel's
// directory call on every core and print the regular files, with no filter, no link, no order
// and no check at all. Timed beside the merge and find, it shows how much of the merge's time
// the kernel takes on the machine at hand, which no change to the merge can win back.
//
//   readdir-floor DIR

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
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

// Folders still to read, shared by all threads; a thread that finds none waits until the others
// are done or have queued more.
class Walk {
  public:
    explicit Walk(std::string root) { folders_.push_back(std::move(root)); }

    // Each thread's files, as lines.
    std::string run() {
        std::string files;
        std::string folder;
        std::vector<std::string> found;
        while (take(folder)) {
            found.clear();
            read(folder, files, found);
            give(found);
        }
        return files;
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

    static void read(const std::string& folder, std::string& files,
                     std::vector<std::string>& found) {
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
                    files.append(folder).append(1, '/').append(entry->d_name).append(1, '\n');
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
    std::vector<std::string> files(threads);
    {
        std::vector<std::jthread> helpers;
        for (unsigned i = 1; i < threads; ++i) {
            helpers.emplace_back([&walk, &files, i] { files[i] = walk.run(); });
        }
        files[0] = walk.run();
    }
    for (const std::string& part : files) {
        if (std::fwrite(part.data(), 1, part.size(), stdout) != part.size()) {
            return 1;
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
