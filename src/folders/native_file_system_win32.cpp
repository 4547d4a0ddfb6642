#include "folders/native_file_system.hpp"
#include "folders/win32_file_system.hpp"

namespace gantrylux {

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace gantrylux
