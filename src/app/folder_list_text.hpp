#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/packed_texts.hpp"

namespace gantrylux {

// The stored form of the folder list: every row followed by one ";", with no escaping.
std::string JoinFolderList(const PackedTexts& rows);

// The pieces of a stored folder list between the ";" separators, in order, blank ones included;
// a final ";" yields one last empty piece.
std::vector<std::string> SplitFolderList(std::string_view stored);

// True when the piece holds more than blanks and so becomes a folder row (kept as stored).
bool IsFolderRowPiece(std::string_view piece);

}  // namespace gantrylux
