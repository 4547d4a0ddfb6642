#include "base/procedure.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes/recording_desktop.hpp"

namespace gantrylux {
namespace {

using testing::RecordingDesktop;

TEST(ErrorReport, TextIsExactToTheByte) {
    EXPECT_EQ(
        FormatErrorReport("Path not found", "Gantrylux2021/08/31.Form1.PushButton2_Click", 146),
        "Path not found\r\nin Gantrylux2021/08/31.Form1.PushButton2_Click at line 146\r\r"
        "Please email screenshot of this message to support@quillmere.com");
    EXPECT_EQ(FormatErrorReport("", "Tamblewick2021/08/31.AddFolder.GetSubDirectories2016", 0),
              "\r\nin Tamblewick2021/08/31.AddFolder.GetSubDirectories2016 at line 0\r\r"
              "Please email screenshot of this message to support@quillmere.com");
}

TEST(Procedure, ReportsEachFailedStepInOrderAndCarriesOn) {
    RecordingDesktop desktop;
    Procedure p{"Gantrylux2021/08/31.Form1.Form_Load", desktop};
    std::vector<int> ran;
    EXPECT_TRUE(p.step(100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(p.step(102, [&] { throw std::runtime_error("first"); }));
    EXPECT_TRUE(p.step(104, [&] { ran.push_back(104); }));
    EXPECT_FALSE(p.step(106, [&] { throw 42; }));
    EXPECT_TRUE(p.step(108, [&] { ran.push_back(108); }));

    EXPECT_EQ(ran, (std::vector<int>{100, 104, 108}));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].text,
              FormatErrorReport("first", "Gantrylux2021/08/31.Form1.Form_Load", 102));
    EXPECT_EQ(desktop.boxes[1].text,
              FormatErrorReport("Unknown failure", "Gantrylux2021/08/31.Form1.Form_Load", 106));
    for (const auto& box : desktop.boxes) {
        EXPECT_EQ(box.title, "Application Error");
        EXPECT_EQ(box.style, 48);
    }
}

}  // namespace
}  // namespace gantrylux
