#include "lists/normalize_path.hpp"

#include <gtest/gtest.h>

#include "lists/list_has_text.hpp"

namespace gantrylux {
namespace {

TEST(NormalizePath, WindowsForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\\\b", "C:\\a\\b"},
        {"C:\\a\\\\\\b", "C:\\a\\\\b"},
        {"C:\\a\\\\\\\\b", "C:\\a\\\\b"},
        {"\\\\\\srv\\x", "\\\\srv\\x"},
        {"\\x", "\\\\x"},
        {"", ""},
        {"\\\\\\\\", "\\\\"},
        {"C:\\Music\\\\Sub\\\\b.mp3", "C:\\Music\\Sub\\b.mp3"},
        {"a/b//c", "a/b//c"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(NormalizeWindowsPath(path), expected) << path;
    }
}

TEST(NormalizePath, PosixForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a//b", "/a/b"},
        {"/a///b", "/a//b"},
        {"///srv/x", "/srv/x"},
        {"/x", "/x"},
        {"", ""},
        {"////", "/"},
        {"/music//Sub//b.mp3", "/music/Sub/b.mp3"},
        {"a\\\\b", "a\\\\b"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(NormalizePosixPath(path), expected) << path;
    }
}

TEST(ListHasText, ComparesExactly) {
    PathList list;
    EXPECT_FALSE(ListHasText(list, ""));
    list.append("C:\\A.txt");
    list.append("B");
    EXPECT_TRUE(ListHasText(list, "C:\\A.txt"));
    EXPECT_FALSE(ListHasText(list, "c:\\a.txt"));
    EXPECT_FALSE(ListHasText(list, "C:\\A.tx"));
}

}  // namespace
}  // namespace gantrylux
