#pragma once

#include <string>
#include <string_view>

namespace gantrylux {

// The title of message boxes that have none of their own, made from the product name: it
// loses its last word, and then further words from its end while it is longer than 40
// characters. "Gantrylux Software" gives "Gantrylux".
std::string MakeApplicationTitle(std::string_view productName);

}  // namespace gantrylux
