#include <algorithm>
#include <string>

#include "fuzz_check.hpp"
#include "lists/normalize_path.hpp"

using namespace gantrylux;

namespace {

std::string WithoutSeparators(std::string_view path, char separator) {
    std::string rest(path);
    std::erase(rest, separator);
    return rest;
}

void Check(std::string_view path, const std::string& normal, char separator,
           std::size_t leadingRun) {
    // Only separators go or come, never any other byte.
    FUZZ_CHECK(WithoutSeparators(normal, separator) == WithoutSeparators(path, separator));
    const bool leading = !path.empty() && path.front() == separator;
    if (leading) {
        FUZZ_CHECK(normal.size() >= leadingRun &&
                   std::all_of(normal.begin(), normal.begin() + static_cast<long>(leadingRun),
                               [&](char c) { return c == separator; }));
        FUZZ_CHECK(normal.size() == leadingRun || normal[leadingRun] != separator);
    } else {
        FUZZ_CHECK(normal.size() <= path.size());
        FUZZ_CHECK(normal.empty() || normal.front() != separator);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path = fuzz::Text(data, size);
    Check(path, NormalizePosixPath(path), '/', 1);
    Check(path, NormalizeWindowsPath(path), '\\', 2);
    return 0;
}
