#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace gantrylux {

// What the command line asks for. Help and the version go to standard output with exit code 0;
// a refusal is one line for standard error with exit code 2.
struct CommandLine {
    enum class Action { Start, Help, Version, Print, Refuse };
    Action action = Action::Start;
    QString text;  // the help, the version line or the refusal, ending in a line break
    // Start only: the paths to add to the file list, as the bytes given (file:// URLs as local
    // paths).
    std::vector<std::string> paths;
    // Start only: file:// URLs of another machine, which name no file here, as given.
    std::vector<std::string> notLocal;
    // Print only (--print, with the paths as rows): how many candidates (-n), and whether each
    // ends in a NUL rather than a line break (-0).
    std::optional<std::size_t> count;
    bool nulTerminated = false;
};

// Reads the program's arguments as the bytes they are, the program's own name first. "--" ends
// the options: everything after it is a path.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// How many of the arguments the toolkit may see: those before the first "--". Everything after
// it is a path, which the toolkit would otherwise take for its own options ("-reverse").
int ToolkitArgumentCount(int argc, const char* const* argv);

// The path a file:// URL names on this machine ("file:///p", "file://localhost/p" and
// "file:/p" name "/p", percent escapes decoded to bytes); nothing for a URL of another host.
// Any other text is no URL and comes back as it is.
struct LocalPath {
    bool local = true;
    std::string path;
};
LocalPath FileUrlPath(const std::string& argument);

}  // namespace gantrylux
