#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gantrylux::win32 {

// A path from the core as the wide text the system takes. Nothing when the text is not UTF-8 or
// holds a NUL: such a path names no file, and handing the system a path cut short at the NUL
// would ask about a different one.
std::optional<std::wstring> WidenPath(std::string_view path);

struct NarrowedName {
    std::string text;
    bool exact = true;  // false when the name held a lone surrogate, which UTF-8 cannot carry
};

// A name or message from the system as UTF-8.
NarrowedName Narrow(std::wstring_view text);

}  // namespace gantrylux::win32
