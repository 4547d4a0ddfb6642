#include <string>

#include "app/folder_list_text.hpp"
#include "fuzz_check.hpp"

using namespace gantrylux;

// A stored folder list, as a hand edit or a cut-short write may leave it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stored = fuzz::Text(data, size);
    const std::vector<std::string> pieces = SplitFolderList(stored);
    std::string joined;
    PackedTexts rows;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        FUZZ_CHECK(pieces[i].find(';') == std::string::npos);
        joined += pieces[i];
        if (i + 1 < pieces.size()) {
            joined += ';';
        }
        if (IsFolderRowPiece(pieces[i])) {
            FUZZ_CHECK(pieces[i].find_first_not_of(' ') != std::string::npos);
            rows.push_back(pieces[i]);
        }
    }
    FUZZ_CHECK(joined == stored);
    // The rows kept, stored again, read back as the same rows.
    const std::vector<std::string> again = SplitFolderList(JoinFolderList(rows));
    FUZZ_CHECK(again.size() == rows.size() + 1 && again.back().empty());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(again[i] == rows[i]);
    }
    return 0;
}
