#include "folders/win32_text.hpp"

#include <gtest/gtest.h>

namespace gantrylux::win32 {
namespace {

TEST(Win32TextTest, NamesTravelBetweenUtf16AndUtf8Unchanged) {
    const std::wstring wide = L"a\u00e9\u6570\U0001F600\u2014";
    const std::string utf8 = "a\xc3\xa9\xe6\x95\xb0\xf0\x9f\x98\x80\xe2\x80\x94";

    const NarrowedName narrowed = Narrow(wide);

    EXPECT_EQ(narrowed.text, utf8);
    EXPECT_TRUE(narrowed.exact);
    EXPECT_EQ(WidenPath(utf8), wide);
}

TEST(Win32TextTest, NameWithALoneSurrogateIsMarkedAsNotCarriedExactly) {
    // Windows names may hold unpaired surrogates; their UTF-8 stand-in names no file.
    const NarrowedName narrowed = Narrow(std::wstring(L"a") + wchar_t(0xD800) + L"b");

    EXPECT_FALSE(narrowed.exact);
    EXPECT_EQ(narrowed.text,
              "a\xef\xbf\xbd"
              "b");
}

TEST(Win32TextTest, PathsThatNameNoFileAreRefused) {
    const std::string cases[] = {
        "C:\\\xff.txt",                   // not UTF-8
        "C:\\\xed\xa0\x80.txt",           // an encoded surrogate
        std::string("C:\\a.txt\0b", 10),  // an embedded NUL
    };
    for (const std::string& path : cases) {
        EXPECT_EQ(WidenPath(path), std::nullopt);
    }
    EXPECT_EQ(WidenPath(""), std::wstring());
}

}  // namespace
}  // namespace gantrylux::win32
