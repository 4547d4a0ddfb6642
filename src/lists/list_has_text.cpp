#include "lists/list_has_text.hpp"

namespace gantrylux {

bool ListHasText(const PathList& list, std::string_view text) {
    const PackedTexts& rows = list.packed();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == text) {
            return true;
        }
    }
    return false;
}

}  // namespace gantrylux
