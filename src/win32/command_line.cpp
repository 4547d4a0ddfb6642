#include "win32/command_line.hpp"

#include "base/product.hpp"

namespace gantrylux::win32 {

std::optional<std::string> CommandLineAnswer(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    const std::string product(kProductName);
    if (arguments.front() == "--version") {
        return product + " " GANTRYLUX_VERSION;
    }
    if (arguments.front() == "--help" || arguments.front() == "/?") {
        return "Usage: gantrylux.exe [paths...]\n\n" + product +
               " opens files at random. Files and folders given here are added to the file list "
               "as if they had been dropped on it.\n\n"
               "  --help, /?\tShow this help.\n"
               "  --version\tShow the version.";
    }
    return std::nullopt;
}

}  // namespace gantrylux::win32
