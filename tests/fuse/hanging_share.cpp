// A file system like a network share whose server has gone for one folder: "/live" holds two
// files that read as usual, while any look at "/dead" or below it never returns. Mounted by the
// tests that prove the program keeps going when a folder does not answer:
//   hanging_share MOUNTPOINT        (stays in the foreground until unmounted or killed)
#define FUSE_USE_VERSION 35
#include <fuse3/fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct LiveFile {
    const char* path;
    const char* text;
};
constexpr LiveFile kLiveFiles[] = {{"/live/one.txt", "one\n"}, {"/live/two.txt", "two\n"}};

bool IsDead(std::string_view path) {
    return path == "/dead" || path.starts_with("/dead/");
}

// Sleeps in the handler's own thread until the caller gives up: as on a network share, a call
// that waits for the server ends when its process is killed (and only then; the program never
// signals its own workers), or when the connection is aborted.
int Hang() {
    while (fuse_interrupted() == 0) {
        pause();
    }
    return -EINTR;
}

const LiveFile* FindFile(std::string_view path) {
    for (const LiveFile& file : kLiveFiles) {
        if (path == file.path) {
            return &file;
        }
    }
    return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info*) {
    std::memset(st, 0, sizeof *st);
    const std::string_view p(path);
    if (IsDead(p)) {
        return Hang();
    }
    if (p == "/" || p == "/live") {
        st->st_mode = S_IFDIR | 0755;
        st->st_nlink = 2;
        return 0;
    }
    if (const LiveFile* file = FindFile(p)) {
        st->st_mode = S_IFREG | 0644;
        st->st_nlink = 1;
        st->st_size = static_cast<off_t>(std::strlen(file->text));
        return 0;
    }
    return -ENOENT;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    const std::string_view p(path);
    if (IsDead(p)) {
        return Hang();
    }
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    if (p == "/") {
        fill(buffer, "live", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
        fill(buffer, "dead", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    } else if (p == "/live") {
        for (const LiveFile& file : kLiveFiles) {
            fill(buffer, std::strrchr(file.path, '/') + 1, nullptr, 0,
                 static_cast<fuse_fill_dir_flags>(0));
        }
    } else {
        return -ENOENT;
    }
    return 0;
}

int OpenDir(const char* path, fuse_file_info*) {
    if (IsDead(path)) {
        return Hang();
    }
    return 0;
}

int Open(const char* path, fuse_file_info*) {
    if (IsDead(path)) {
        return Hang();
    }
    return FindFile(path) != nullptr ? 0 : -ENOENT;
}

int Read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    const LiveFile* file = FindFile(path);
    if (file == nullptr) {
        return -ENOENT;
    }
    const auto length = static_cast<off_t>(std::strlen(file->text));
    if (offset >= length) {
        return 0;
    }
    const auto count = std::min<off_t>(static_cast<off_t>(size), length - offset);
    std::memcpy(buffer, file->text + offset, static_cast<size_t>(count));
    return static_cast<int>(count);
}

}  // namespace

int main(int argc, char* argv[]) {
    // The interrupt signal must not end this process, only wake the hung handler.
    struct sigaction wake {};
    wake.sa_handler = [](int) {};
    sigaction(SIGUSR1, &wake, nullptr);
    if (argc != 2) {
        std::fputs("usage: hanging_share MOUNTPOINT\n", stderr);
        return 2;
    }
    fuse_operations operations{};
    operations.getattr = GetAttr;
    operations.readdir = ReadDir;
    operations.opendir = OpenDir;
    operations.open = Open;
    operations.read = Read;
    // Foreground, one thread per request (a hung request keeps its thread; the others go on),
    // and a caller's signal reaches the request it waits for.
    operations.init = [](fuse_conn_info*, fuse_config* config) -> void* {
        config->intr = 1;
        config->intr_signal = SIGUSR1;
        return nullptr;
    };
    char* arguments[] = {argv[0],
                         const_cast<char*>("-f"),
                         const_cast<char*>("-o"),
                         const_cast<char*>("max_threads=64"),
                         argv[1],
                         nullptr};
    return fuse_main(5, arguments, &operations, nullptr);
}
