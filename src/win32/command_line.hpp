#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gantrylux::win32 {

// What the program was asked on its command line (the arguments after the program's name).
// "--help", "/?" or "--version" given alone is answered with a text, in a message box: the
// program has no console. Any other arguments are paths for the file list ("Open With", a drop
// on the program's icon), a file named like an option among them.
std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments);

}  // namespace gantrylux::win32
