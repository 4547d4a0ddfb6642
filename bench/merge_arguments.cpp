#include "merge_arguments.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace gantrylux::bench {
namespace {

std::string AsFolderRow(std::string_view folder) {
    std::string row(folder);
    if (row.empty() || row.back() != '/') {
        row += '/';
    }
    return row;
}

void ReadFolderRows(const std::string& file, std::vector<std::string>& rows) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::invalid_argument("cannot read " + file);
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::invalid_argument("cannot read " + file);
    }
    // Folder names may hold newlines; a NUL-separated list (find -print0) carries them.
    const char separator = text.find('\0') != std::string::npos ? '\0' : '\n';
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(separator, begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > begin) {
            rows.push_back(AsFolderRow(std::string_view(text).substr(begin, end - begin)));
        }
        begin = end + 1;
    }
}

}  // namespace

MergeArguments ParseMergeArguments(int argc, const char* const argv[], bool acceptNul) {
    MergeArguments arguments;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw std::invalid_argument(std::string(arg) + " needs a value");
            }
            return argv[++i];
        };
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            arguments.folderRows.push_back(AsFolderRow(arg));
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-0" && acceptNul) {
            arguments.nulSeparated = true;
        } else if (arg == "--kept") {
            arguments.keptRows = true;
        } else if (arg == "--file") {
            arguments.fileRows.push_back(value());
        } else if (arg == "--folder") {
            arguments.folderRows.push_back(value());
        } else if (arg == "--folders-from") {
            ReadFolderRows(value(), arguments.folderRows);
        } else if (arg == "-h" || arg == "--help") {
            arguments.help = true;
        } else {
            throw std::invalid_argument("unknown option " + std::string(arg));
        }
    }
    return arguments;
}

}  // namespace gantrylux::bench
