#pragma once

#include <cstdint>
#include <string>

namespace gantrylux::win32 {

// The failure code of a folder read that failed with this system error code.
int FolderErrorCode(std::uint32_t system_error);

// The system's own text for an error code, in UTF-8, without the line break it ends with.
std::string SystemMessage(std::uint32_t system_error);

// Throws the FileSystemError that a folder read failing with this system error stands for.
[[noreturn]] void ThrowFolderError(std::uint32_t system_error);

}  // namespace gantrylux::win32
