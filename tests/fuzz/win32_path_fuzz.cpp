#include <algorithm>
#include <string>

#include "folders/win32_path.hpp"
#include "fuzz_check.hpp"

using namespace gantrylux;

// A Windows path as the system hands it over: 16-bit units, little-endian.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring path;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        path.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    const bool root = win32::IsRootPath(path);
    const bool prefixed = win32::HasNamespacePrefix(path);
    // Either separator is accepted everywhere.
    std::wstring backslashed = path;
    std::replace(backslashed.begin(), backslashed.end(), L'/', L'\\');
    FUZZ_CHECK(win32::HasNamespacePrefix(backslashed) == prefixed);
    if (root) {
        FUZZ_CHECK(win32::IsRootPath(backslashed));
        FUZZ_CHECK(path.size() >= 2);
    }
    return 0;
}
