#include "app/folder_list_text.hpp"

namespace gantrylux {

std::string JoinFolderList(const PackedTexts& rows) {
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        text += rows[i];
        text += ';';
    }
    return text;
}

std::vector<std::string> SplitFolderList(std::string_view stored) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = stored.find(';', start);
        pieces.emplace_back(stored.substr(start, end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

bool IsFolderRowPiece(std::string_view piece) {
    return piece.find_first_not_of(' ') != std::string_view::npos;
}

}  // namespace gantrylux
