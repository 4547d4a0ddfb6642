#pragma once

#include <string>
#include <vector>

#include "folders/file_system.hpp"

namespace gantrylux::testing {

// A plain, sequential, recursive rendering of the walk and the merge, one system call where
// the rules ask for one and no cache: the yardstick the fast merge is measured against.
std::vector<std::string> ReferenceMerge(const FileSystem& fs,
                                        const std::vector<std::string>& fileRows,
                                        const std::vector<std::string>& folderRows);

}  // namespace gantrylux::testing
