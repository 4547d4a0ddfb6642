#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "folders/file_system.hpp"

namespace gantrylux {

// The open-file dialog's result never held more characters than this.
inline constexpr std::size_t kSelectionTextLimit = 30000;

// How long, in UTF-16 units, the dialog's result text is for these picked paths: a single file's
// full path; or the folder (with a final separator only when it is a root), then a NUL and a name
// per file. Either way two NULs close it.
std::size_t SelectionTextLength(const std::vector<std::string>& paths, const FileSystem& fs);

// The file rows of the picked paths: a single path as the dialog gave it; several as folder,
// separator and name, normalised, so a root folder gives single separators.
std::vector<std::string> PickedFileRows(const std::vector<std::string>& paths,
                                        const FileSystem& fs);

}  // namespace gantrylux
