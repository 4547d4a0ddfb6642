#include "app/hand_over.hpp"

#include <gtest/gtest.h>

namespace gantrylux {
namespace {

TEST(HandOver, ComesBackAsItWentWhateverTheBytes) {
    const HandOver cases[] = {
        {},
        {{"/home/a b/x.txt", std::string("bad\xff\0nul", 8), ""}, {"file://other/x"}},
        {std::vector<std::string>(5000, "/music/long name.mp3"), {}},
    };
    for (const HandOver& handOver : cases) {
        EXPECT_EQ(UnpackHandOver(PackHandOver(handOver)), handOver);
    }
}

TEST(HandOver, AMessageThatIsNotOneIsRefused) {
    const std::string good = PackHandOver({{"/a", "/bc"}, {"file://h/x"}});
    const std::string refused[] = {
        "",
        "GLX",
        "XXXX" + good.substr(4),
        good.substr(0, good.size() - 1),                          // cut short
        good + "x",                                               // more than it says
        std::string("GLX1\xff\xff\xff\xff\0\0\0\0", 12),          // a count past what follows
        std::string("GLX1\1\0\0\0\0\0\0\0\xff\xff\xff\xff", 16),  // a length past the end
    };
    for (const std::string& message : refused) {
        EXPECT_EQ(UnpackHandOver(message), std::nullopt) << message.size();
    }
}

}  // namespace
}  // namespace gantrylux
