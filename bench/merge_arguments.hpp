#pragma once

#include <string>
#include <vector>

namespace gantrylux::bench {

// The rows a merge is built from, as the developer tools take them on their command line.
struct MergeArguments {
    std::vector<std::string> fileRows;
    std::vector<std::string> folderRows;
    bool nulSeparated = false;  // -0: write NUL after each path instead of a newline
    bool keptRows = false;      // --kept: merge as the candidate merger first does (MergeRows)
    bool help = false;
};

// Reads `[-0] [--kept] [--file ROW]... [--folder ROW]... [--folders-from FILE]... [DIR...]`.
// --file and --folder rows are taken exactly as given, like rows of the lists. A bare DIR and
// each entry of a --folders-from file (one a line, or NUL-separated when the file holds a NUL)
// is a folder as a user names it: it gets the "/" that rows of the folder list end in.
// Throws std::invalid_argument with a one-line reason.
MergeArguments ParseMergeArguments(int argc, const char* const argv[], bool acceptNul);

inline constexpr const char* kMergeUsage =
    "[-0] [--kept] [--file ROW]... [--folder ROW]... [--folders-from FILE]... [DIR...]";

}  // namespace gantrylux::bench
