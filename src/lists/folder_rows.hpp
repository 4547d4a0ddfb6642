#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folders/folder_reader.hpp"

namespace gantrylux {

// A path that begins with two separators names a shared folder on another machine. Only
// Windows has that form; on posix a leading "//" is just a doubled separator.
bool IsNetworkPath(std::string_view path, char separator);

// The folder-list row of a chosen or dropped folder: its path and a separator, normalised (so a
// root gives one separator, not two), except a network path, which stays as it is.
std::string FolderRow(std::string_view folder, char separator);

// The rows of every folder below the walk entry (a folder and a separator), level by level, as
// the walk makes them. Touches neither the lists nor the window, so it runs on a worker.
std::vector<std::string> SubfolderRows(FolderReader& reader, const std::string& walkEntry);

// The folder list is stored as its rows, each followed by ";", so a folder whose path holds
// ";" would come back as two rows that name other folders. Such rows are taken out of `rows`
// and returned, in order.
std::vector<std::string> TakeUnstorableRows(std::vector<std::string>& rows);

// Why the folders were left out, in one message; empty when none was.
std::string UnstorableFoldersMessage(const std::vector<std::string>& leftOut);

}  // namespace gantrylux
