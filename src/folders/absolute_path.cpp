#include "folders/absolute_path.hpp"

#include <filesystem>
#include <system_error>

namespace gantrylux {

std::string AbsolutePath(std::string_view path) {
    // UTF-8 throughout: on Windows the path converts to the wide form and back.
    const std::filesystem::path given(std::u8string(path.begin(), path.end()));
    if (path.empty() || given.is_absolute()) {
        return std::string(path);
    }
    std::error_code failed;
    const std::filesystem::path full = std::filesystem::absolute(given, failed);
    if (failed) {
        return std::string(path);
    }
    const std::u8string text = full.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace gantrylux
