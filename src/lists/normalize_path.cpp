#include "lists/normalize_path.hpp"

namespace gantrylux {
namespace {

// Replaces each pair of separators by one, left to right, without looking at the replaced
// text again: three in a row become two. Copies whole runs between the pairs.
void AppendCollapsed(std::string& out, std::string_view text, char separator) {
    const char pair[] = {separator, separator};
    const std::string_view doubled(pair, 2);
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(doubled, from);
        if (at == std::string_view::npos) {
            out.append(text.substr(from));
            return;
        }
        out.append(text.substr(from, at + 1 - from));
        from = at + 2;
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
