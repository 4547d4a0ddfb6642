#include "app/folder_list_text.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> RowsOf(std::string_view stored) {
    std::vector<std::string> rows;
    for (const std::string& piece : SplitFolderList(stored)) {
        if (IsFolderRowPiece(piece)) {
            rows.push_back(piece);
        }
    }
    return rows;
}

TEST(FolderListText, StoredTextsGiveTheseRows) {
    const struct {
        const char* stored;
        std::vector<std::string> rows;
    } cases[] = {
        {"", {}},
        {";;", {}},
        {"C:\\A;C:\\B;", {"C:\\A", "C:\\B"}},
        {"C:\\A; ;C:\\B", {"C:\\A", "C:\\B"}},
        {"D:\\B b", {"D:\\B b"}},
        {" /home/x ;", {" /home/x "}},  // blanks around a real piece are kept
        {"/a;b/;", {"/a", "b/"}},       // a ";" inside a path splits it
    };
    for (const auto& c : cases) {
        EXPECT_THAT(RowsOf(c.stored), ElementsAreArray(c.rows)) << "stored: " << c.stored;
    }
}

TEST(FolderListText, JoinEndsEveryRowWithOneSemicolon) {
    PackedTexts rows;
    EXPECT_EQ(JoinFolderList(rows), "");
    rows.push_back("C:\\A");
    rows.push_back("D:\\B b");
    EXPECT_EQ(JoinFolderList(rows), "C:\\A;D:\\B b;");
    EXPECT_THAT(SplitFolderList("a;"), ElementsAre("a", ""));
}

}  // namespace
}  // namespace gantrylux
