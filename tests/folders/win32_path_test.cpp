#include "folders/win32_path.hpp"

#include <gtest/gtest.h>

namespace gantrylux::win32 {
namespace {

// Wine takes long paths without the prefix, so only the text shows whether it is right.
TEST(Win32PathTest, LongPathsGetTheLengthLimitLiftingFormShortOnesStayAsTheyAre) {
    const std::wstring name(300, L'n');
    struct Case {
        std::wstring given;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a\\b.txt"},
        {L"C:\\a\\\\b.txt", L"C:\\a\\\\b.txt"},
        {L"C:\\a\\" + name, L"\\\\?\\C:\\a\\" + name},
        {L"C:\\a\\\\" + name, L"\\\\?\\C:\\a\\" + name},
        {L"C:/a/" + name, L"\\\\?\\C:\\a\\" + name},
        {L"C:\\a\\x\\..\\" + name, L"\\\\?\\C:\\a\\" + name},
        {L"\\\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
        {L"\\\\?\\C:\\a\\" + name, L"\\\\?\\C:\\a\\" + name},
        {L"\\\\?\\UNC\\server\\share\\" + name, L"\\\\?\\UNC\\server\\share\\" + name},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.given.substr(0, 20)));
        EXPECT_EQ(ForApi(c.given), c.expected);
    }
}

}  // namespace
}  // namespace gantrylux::win32
