#include "app/access_keys.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

namespace gantrylux {
namespace {

TEST(AccessKeys, MarkTheFirstMatchingLetterAndKeepAmpersandsLiteral) {
    const struct {
        std::string_view caption;
        char key;
        std::string_view marked;
    } cases[] = {
        {"Stop", 'T', "S&top"},
        {"Start Opening", 'T', "S&tart Opening"},
        {"Add Folder(s)", 'O', "Add F&older(s)"},
        {"Tom & Jerry", 'J', "Tom && &Jerry"},
        {"Help", 'Q', "Help"},  // not in the caption: nothing marked
        {"Help", 0, "Help"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionWithAccessKey(c.caption, c.key), c.marked) << c.caption;
        EXPECT_EQ(CaptionWithoutAccessKey(CaptionWithAccessKey(c.caption, c.key)), c.caption);
    }
}

// Alt and a letter must reach exactly one control, and the letter must be the one the user sees
// underlined, also once the start button reads "Stop".
TEST(AccessKeys, EachCommandHasItsOwnLetterFromItsCaption) {
    std::set<char> keys;
    std::set<std::string_view> names;
    for (const ControlLayout& c : kWindowLayout) {
        if (c.kind != ControlKind::Frame) {
            EXPECT_TRUE(names.insert(AccessibleName(c)).second) << c.name << " shares its name";
            EXPECT_FALSE(AccessibleName(c).empty()) << c.name;
        }
        const bool pressable = c.kind == ControlKind::PushButton || c.kind == ControlKind::Option ||
                               c.kind == ControlKind::CheckBox;
        if (!pressable) {
            EXPECT_EQ(c.accessKey, 0) << c.name;
            continue;
        }
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(c.accessKey)));
        EXPECT_TRUE(keys.insert(key).second) << c.name << " shares its access key";
        EXPECT_NE(CaptionWithAccessKey(c.caption, key).find('&'), std::string::npos) << c.name;
    }
    EXPECT_EQ(CaptionWithAccessKey("Stop", LaidOutControl("PushButton2").accessKey), "S&top");
}

}  // namespace
}  // namespace gantrylux
