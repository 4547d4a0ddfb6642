#include "folders/existence.hpp"

namespace gantrylux {

bool FileExists(const FileSystem& fs, std::string_view path) {
    return fs.fileExists(path);
}

bool PathExists(const FileSystem& fs, std::string_view path) {
    return fs.pathExists(path);
}

bool IsFolder(const FileSystem& fs, std::string_view path) {
    const auto attributes = fs.attributes(path);
    return attributes && (*attributes & attribute::kDirectory) != 0;
}

}  // namespace gantrylux
