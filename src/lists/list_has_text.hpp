#pragma once

#include <string_view>

#include "lists/path_list.hpp"

namespace gantrylux {

// True when some row's text equals the text exactly (case-sensitive).
bool ListHasText(const PathList& list, std::string_view text);

}  // namespace gantrylux
