#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gantrylux {

// What ShellExecuteW receives to open a file with its default action.
struct ShellExecuteArguments {
    std::optional<std::u16string> verb;        // none: the file type's default action
    std::u16string file;                       // the path in double quotation marks
    std::optional<std::u16string> parameters;  // none
    std::u16string directory;                  // the working folder
    int showCommand = 0;
};

ShellExecuteArguments MakeShellExecuteArguments(std::string_view utf8Path, int showCommand);

// UTF-8 to UTF-16; a malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace gantrylux
