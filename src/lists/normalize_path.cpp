#include "lists/normalize_path.hpp"

namespace gantrylux {
namespace {

void AppendCollapsed(std::string& out, std::string_view text, char separator) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator) {
            ++i;
        }
    }
}

std::string Normalize(std::string_view path, char separator, std::string_view leadingRun) {
    std::string out;
    out.reserve(path.size());
    if (path.empty() || path.front() != separator) {
        AppendCollapsed(out, path, separator);
        return out;
    }
    std::size_t start = path.find_first_not_of(separator);
    if (start == std::string_view::npos) {
        start = path.size();
    }
    out = leadingRun;
    AppendCollapsed(out, path.substr(start), separator);
    return out;
}

}  // namespace

std::string NormalizePosixPath(std::string_view path) {
    return Normalize(path, '/', "/");
}

std::string NormalizeWindowsPath(std::string_view path) {
    return Normalize(path, '\\', "\\\\");
}

std::string NormalizePath(std::string_view path) {
#ifdef _WIN32
    return NormalizeWindowsPath(path);
#else
    return NormalizePosixPath(path);
#endif
}

}  // namespace gantrylux
