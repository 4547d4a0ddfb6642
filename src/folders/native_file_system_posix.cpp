#include "folders/native_file_system.hpp"
#include "folders/posix_file_system.hpp"

namespace gantrylux {

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

}  // namespace gantrylux
