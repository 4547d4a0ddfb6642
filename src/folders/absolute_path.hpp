#pragma once

#include <string>
#include <string_view>

namespace gantrylux {

// The path made absolute against the program's working folder, as the system would resolve it
// now; an absolute path, or one the working folder cannot be had for, comes back unchanged.
// Paths read relative to the working folder must be handed on in this form: whoever opens them
// later may run in another folder.
std::string AbsolutePath(std::string_view path);

}  // namespace gantrylux
