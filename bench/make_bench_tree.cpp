// Writes the folder tree the benchmarks walk: the same tree on every machine and every run, with
// the awkward names and links a real music or photo collection has.
//
//   make-bench-tree DIR [--files N] [--folders M] [--depth D]
//
// A stamp file beside DIR (DIR.stamp) records the parameters of a complete tree; a second call
// with the same parameters returns at once. Any other call replaces what an earlier call left
// in DIR (moving it aside until the new tree is written) but never touches a non-empty DIR that
// has no stamp.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Bump when the shape of the tree changes, so that old trees are rewritten.
constexpr int kLayoutVersion = 2;
constexpr std::uint64_t kSeed = 0x5eed'6a17'2b1c'0de5ULL;

struct Options {
    std::string dir;
    long long files = 200'000;
    long long folders = 21'000;
    int depth = 5;
};

// splitmix64: tiny, and unlike the standard distributions it gives the same numbers with every
// standard library, which keeps the tree identical across toolchains.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e37'79b9'7f4a'7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58'476d'1ce4'e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d0'49bb'1331'11ebULL;
        return z ^ (z >> 31);
    }
    // In [0, n); the modulo bias is irrelevant at these sizes.
    std::uint64_t below(std::uint64_t n) { return n == 0 ? 0 : next() % n; }
    bool perMille(unsigned chance) { return below(1000) < chance; }

  private:
    std::uint64_t state_;
};

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw Failure(what + ": " + std::strerror(errno));
}

// Pieces a name is made of, each one character in UTF-8.
constexpr std::string_view kAscii =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789    -_.,'()&+[]!#";
constexpr std::string_view kAccented[] = {"é", "è", "ê", "à", "â", "ç", "ñ", "ü", "ö", "ä",
                                          "ß", "ø", "å", "É", "Ö", "ł", "ž", "ő", "ı", "ş"};
constexpr std::string_view kCjk[] = {"日", "本", "語", "中", "文", "音", "楽", "写", "真", "東",
                                     "京", "한", "국", "어", "の", "は", "歌", "夜", "春", "風"};
constexpr std::string_view kExtensions[] = {".mp3", ".jpg",  ".txt", ".pdf",    ".flac", ".png",
                                            ".mkv", ".docx", ".JPG", ".tar.gz", "",      ".m4a"};

std::string ToBase36(std::uint64_t value) {
    std::string text;
    do {
        text += "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        value /= 36;
    } while (value != 0);
    std::reverse(text.begin(), text.end());
    return text;
}

// A name of mixed length and script. `serial` makes it unique within its folder.
std::string MakeName(Random& random, std::uint64_t serial, bool withExtension) {
    std::size_t length = 0;
    const auto band = random.below(10);
    if (band < 4) {
        length = 1 + random.below(8);
    } else if (band < 8) {
        length = 9 + random.below(16);
    } else {
        length = 25 + random.below(56);
    }
    const auto style = random.below(20);  // 14 ASCII, 3 accented, 2 CJK, 1 everything
    std::string name;
    for (std::size_t i = 0; i < length; ++i) {
        const auto pick = random.below(10);
        if ((style == 14 || style == 15 || style == 16 || style == 19) && pick < 3) {
            name += kAccented[random.below(std::size(kAccented))];
        } else if ((style == 17 || style == 18 || style == 19) && pick < 7) {
            name += kCjk[random.below(std::size(kCjk))];
        } else {
            name += kAscii[random.below(kAscii.size())];
        }
    }
    // Dot-names are hidden and skipped by the walk; only the caller decides how many there are.
    if (name[0] == '.') {
        name[0] = '_';
    }
    // The serial goes last, in brackets before the extension, so two names of one folder differ
    // whatever their random parts are.
    name += " (";
    name += ToBase36(serial);
    name += ')';
    if (withExtension) {
        name += kExtensions[random.below(std::size(kExtensions))];
    }
    return name;
}

// How many folders each level holds: growing by one factor per level and adding up to `total`.
std::vector<long long> LevelSizes(long long total, int depth) {
    depth = static_cast<int>(std::min<long long>(depth, total));
    std::vector<long long> sizes;
    if (depth <= 0) {
        return sizes;
    }
    const auto sum = [depth](double factor) {
        double s = 0;
        double power = 1;
        for (int d = 1; d <= depth; ++d) {
            power *= factor;
            s += power;
        }
        return s;
    };
    double low = 0;
    double high = static_cast<double>(total);
    for (int i = 0; i < 200; ++i) {
        const double middle = (low + high) / 2;
        (sum(middle) < static_cast<double>(total) ? low : high) = middle;
    }
    long long used = 0;
    double power = 1;
    for (int d = 1; d < depth; ++d) {
        power *= low;
        const long long size = std::max(1LL, std::llround(power));
        sizes.push_back(size);
        used += size;
    }
    sizes.push_back(std::max(1LL, total - used));
    return sizes;
}

struct Folder {
    std::string relative;  // from the tree's root, "" for the root itself
    int level = 0;
};

struct Tally {
    long long files = 0;
    long long links = 0;
    long long dotFiles = 0;
    long long tildeNames = 0;
    long long folders = 0;
};

class FolderHandle {
  public:
    explicit FolderHandle(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) {
            ThrowErrno("cannot open " + path);
        }
    }
    ~FolderHandle() { ::close(fd_); }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

void CreateEmptyFile(int folderFd, const std::string& name, const std::string& where) {
    const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        ThrowErrno("cannot create " + where + "/" + name);
    }
    ::close(fd);
}

void CreateLink(int folderFd, const std::string& target, const std::string& name,
                const std::string& where) {
    if (::symlinkat(target.c_str(), folderFd, name.c_str()) != 0) {
        ThrowErrno("cannot link " + where + "/" + name);
    }
}

std::string UpLevels(int levels) {
    std::string up;
    for (int i = 0; i < levels; ++i) {
        up += "../";
    }
    return up;
}

Tally WriteTree(const Options& options) {
    Random random(kSeed);
    Tally tally;

    std::vector<Folder> folders{{"", 0}};
    const std::vector<long long> sizes = LevelSizes(options.folders, options.depth);
    std::size_t parentsBegin = 0;
    std::size_t parentsCount = 1;
    for (std::size_t level = 0; level < sizes.size(); ++level) {
        const std::size_t begin = folders.size();
        const auto count = static_cast<std::size_t>(sizes[level]);
        std::vector<std::uint64_t> serials(parentsCount, 0);
        for (std::size_t i = 0; i < count; ++i) {
            // Contiguous runs of children per parent keep every parent of a level populated.
            const std::size_t parentOffset = i * parentsCount / count;
            const Folder& parent = folders[parentsBegin + parentOffset];
            std::string name = MakeName(random, serials[parentOffset]++, false);
            if (random.perMille(10)) {
                name.insert(0, 1, '.');
            } else if (random.perMille(10)) {
                name.insert(0, 1, '~');
            }
            std::string relative = parent.relative.empty() ? name : parent.relative + "/" + name;
            folders.push_back({std::move(relative), static_cast<int>(level) + 1});
        }
        parentsBegin = begin;
        parentsCount = count;
    }

    const std::string root = options.dir;
    for (std::size_t i = 1; i < folders.size(); ++i) {
        const std::string path = root + "/" + folders[i].relative;
        if (::mkdir(path.c_str(), 0755) != 0) {
            ThrowErrno("cannot create folder " + path);
        }
    }
    tally.folders = static_cast<long long>(folders.size()) - 1;

    // Files land in folders at random; grouping them by folder lets each folder be opened once.
    std::vector<std::uint32_t> fileCounts(folders.size(), 0);
    for (long long i = 0; i < options.files; ++i) {
        ++fileCounts[random.below(folders.size())];
    }

    std::vector<std::string> regularFiles;  // relative paths, the targets of links
    regularFiles.reserve(static_cast<std::size_t>(options.files));
    for (std::size_t f = 0; f < folders.size(); ++f) {
        const Folder& folder = folders[f];
        const std::string path = folder.relative.empty() ? root : root + "/" + folder.relative;
        const FolderHandle handle(path);
        for (std::uint32_t serial = 0; serial < fileCounts[f]; ++serial) {
            std::string name = MakeName(random, serial, true);
            const auto prefix = random.below(100);
            if (prefix < 2) {
                name.insert(0, 1, '~');
                ++tally.tildeNames;
            } else if (prefix < 5) {
                name.insert(0, 1, '.');
                ++tally.dotFiles;
            }
            if (random.perMille(5) && !regularFiles.empty()) {
                const std::string& target = regularFiles[random.below(regularFiles.size())];
                CreateLink(handle.fd(), UpLevels(folder.level) + target, name, path);
                ++tally.links;
                continue;
            }
            CreateEmptyFile(handle.fd(), name, path);
            regularFiles.push_back(folder.relative.empty() ? name : folder.relative + "/" + name);
            ++tally.files;
        }
    }

    // The few entries a walk must survive rather than list.
    const Folder& deepest = folders.back();
    const std::string deepestPath = root + "/" + deepest.relative;
    if (deepest.level >= 2) {
        const FolderHandle handle(deepestPath);
        // Back up to the level-1 ancestor: following it would walk the tree again, forever.
        std::string up = UpLevels(deepest.level - 1);
        up.pop_back();
        CreateLink(handle.fd(), up, "loop to an ancestor", deepestPath);
        CreateLink(handle.fd(), "no such file.mp3", "dangling link.mp3", deepestPath);
        tally.links += 2;
    }
    {
        // Names that are not UTF-8: a file, and a folder with files inside.
        const FolderHandle handle(root);
        CreateEmptyFile(handle.fd(), "not utf-8 \xff\xfe.mp3", root);
        const std::string badFolder = "not utf-8 \xc3\x28";
        if (::mkdirat(handle.fd(), badFolder.c_str(), 0755) != 0) {
            ThrowErrno("cannot create folder " + root + "/" + badFolder);
        }
        const FolderHandle inside(root + "/" + badFolder);
        for (int i = 0; i < 3; ++i) {
            CreateEmptyFile(inside.fd(), "inside " + std::to_string(i) + ".mp3", badFolder);
        }
        tally.files += 4;
        tally.folders += 1;
    }
    return tally;
}

std::string StampText(const Options& options) {
    std::ostringstream text;
    text << "make-bench-tree layout=" << kLayoutVersion << " seed=" << kSeed
         << " files=" << options.files << " folders=" << options.folders
         << " depth=" << options.depth;
    return text.str();
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWhole(const fs::path& path, const std::string& text) {
    const fs::path temporary = path.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            throw Failure("cannot write " + temporary.string());
        }
    }
    fs::rename(temporary, path);
}

bool ParseCount(std::string_view text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

int Usage() {
    std::fputs("usage: make-bench-tree DIR [--files N] [--folders M] [--depth D]\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--files" || arg == "--folders" || arg == "--depth") {
            long long value = 0;
            if (i + 1 >= argc || !ParseCount(argv[++i], value)) {
                return Usage();
            }
            if (arg == "--files") {
                options.files = value;
            } else if (arg == "--folders") {
                options.folders = value;
            } else if (value < 1 || value > 64) {
                return Usage();
            } else {
                options.depth = static_cast<int>(value);
            }
        } else if (!arg.empty() && arg[0] != '-' && options.dir.empty()) {
            options.dir = std::string(arg);
        } else {
            return Usage();
        }
    }
    while (options.dir.size() > 1 && options.dir.back() == '/') {
        options.dir.pop_back();
    }
    if (options.dir.empty()) {
        return Usage();
    }

    try {
        const fs::path dir = options.dir;
        const fs::path stamp = options.dir + ".stamp";
        // Named after this tool, so that no folder of someone else's is taken for it.
        const fs::path trash = options.dir + ".make-bench-tree-old";
        const std::string complete = StampText(options) + " complete\n";
        if (fs::exists(stamp) && ReadWhole(stamp) == complete && fs::is_directory(dir)) {
            std::printf("make-bench-tree: %s is up to date\n", options.dir.c_str());
            return 0;
        }
        if (fs::exists(dir)) {
            if (!fs::is_directory(dir)) {
                throw Failure(options.dir + " exists and is not a folder");
            }
            if (!fs::is_empty(dir)) {
                if (!fs::exists(stamp)) {
                    throw Failure(options.dir +
                                  " is not empty and was not made by make-bench-tree; remove it or "
                                  "choose another folder");
                }
                // The old tree goes only after the new one is written: on ext4 without a journal,
                // creating files just after deleting a few hundred thousand is many times slower,
                // as every free inode number is checked for a recent deletion.
                fs::remove_all(trash);  // left by an interrupted run
                fs::rename(dir, trash);
            }
        }
        if (!dir.parent_path().empty()) {
            fs::create_directories(dir.parent_path());
        }
        fs::create_directories(dir);
        // Claims the folder before filling it, so that an interrupted run is wiped next time.
        WriteWhole(stamp, StampText(options) + " started\n");

        const auto start = std::chrono::steady_clock::now();
        const Tally tally = WriteTree(options);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        WriteWhole(stamp, complete);
        fs::remove_all(trash);
        std::printf(
            "make-bench-tree: wrote %s in %.1f s: %lld files, %lld links, %lld folders "
            "(%lld dot-files, %lld names starting with \"~\")\n",
            options.dir.c_str(), took.count(), tally.files, tally.links, tally.folders,
            tally.dotFiles, tally.tildeNames);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-bench-tree: %s\n", e.what());
        return 2;
    }
}
