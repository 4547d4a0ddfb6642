#pragma once

#include <memory>

#include "folders/file_system.hpp"

namespace gantrylux {

// The file system of the platform the program was built for: posix or win32.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

}  // namespace gantrylux
