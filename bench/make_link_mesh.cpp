// Writes a folder tree that is mostly links: FOLDERS real folders, each with two files and
// links to the next eight folders, and links at the top to the kernel's /proc and /sys. A walk
// that follows each link into the tree again never ends on it; one that looks into each folder
// once ends in time proportional to the real folders.
//
//   make-link-mesh DIR FOLDERS
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

constexpr int kLinksPerFolder = 8;

bool Check(int result, const std::string& what) {
    if (result != 0) {
        std::fprintf(stderr, "make-link-mesh: %s: %s\n", what.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    int folders = 0;
    const std::string_view count = argc == 3 ? argv[2] : "";
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), folders);
    if (argc != 3 || error != std::errc() || end != count.data() + count.size() || folders < 2) {
        std::fputs("usage: make-link-mesh DIR FOLDERS (at least 2)\n", stderr);
        return 1;
    }
    const std::string dir = argv[1];
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directories(dir);
    const auto folder = [&](int i) { return dir + "/d" + std::to_string(i); };
    for (int i = 0; i < folders; ++i) {
        if (!Check(mkdir(folder(i).c_str(), 0755), "cannot create " + folder(i))) {
            return 2;
        }
        for (const char* name : {"/a.txt", "/b.txt"}) {
            std::ofstream(folder(i) + name) << "x";
        }
    }
    for (int i = 0; i < folders; ++i) {
        for (int step = 1; step <= kLinksPerFolder && step < folders; ++step) {
            const int target = (i + step) % folders;
            const std::string link = folder(i) + "/to" + std::to_string(target);
            if (!Check(symlink(folder(target).c_str(), link.c_str()), "cannot link " + link)) {
                return 2;
            }
        }
    }
    for (const char* kernel : {"/proc", "/sys"}) {
        const std::string link = dir + kernel;
        if (!Check(symlink(kernel, link.c_str()), "cannot link " + link)) {
            return 2;
        }
    }
    std::printf("make-link-mesh: %s: %d folders, %d links each, links to /proc and /sys\n",
                dir.c_str(), folders, kLinksPerFolder);
    return 0;
}
