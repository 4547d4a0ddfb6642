#include "app/application_title.hpp"

namespace gantrylux {
namespace {

// Everything before the last blank; a text without one is left as it is.
std::string_view CutLastWord(std::string_view text) {
    const std::size_t blank = text.rfind(' ');
    return blank == std::string_view::npos ? text : text.substr(0, blank);
}

}  // namespace

std::string MakeApplicationTitle(std::string_view productName) {
    std::string_view title = CutLastWord(productName);
    while (title.size() > 40) {
        const std::string_view shorter = CutLastWord(title);
        if (shorter.size() == title.size()) {
            break;  // one long word: nothing more to cut at
        }
        title = shorter;
    }
    return std::string(title);
}

}  // namespace gantrylux
