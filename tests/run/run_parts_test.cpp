#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

#include "base/number_text.hpp"
#include "fakes/fake_clock.hpp"
#include "fakes/recording_desktop.hpp"
#include "run/interval_text.hpp"
#include "run/random_item_index.hpp"
#include "run/random_order.hpp"
#include "run/shell_execute_arguments.hpp"
#include "run/wait_interval.hpp"

namespace gantrylux {
namespace {

TEST(ReadInterval, RoundsHalvesToEvenWithinSixteenBits) {
    const std::pair<const char*, int> cases[] = {
        {"2.5", 2},   {"3.5", 4},   {"-5", -5},       {"0", 0},           {" 7 ", 7},   {"+3", 3},
        {"1e2", 100}, {"-2.5", -2}, {"32767", 32767}, {"-32768", -32768}, {"0.4999", 0}};
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(ReadInterval(text), seconds) << text;
    }
    for (const char* text : {"32768", "-32769", "abc", "", "1,5", "32767.5"}) {
        EXPECT_THROW(ReadInterval(text), ConversionFailure) << text;
    }
}

TEST(RandomItemIndex, DrawsAreUniformAndMoveOnWithinOneClockTick) {
    testing::FakeClock clock;  // never moves: every draw sees the same time of day
    RandomItemIndexer random(clock);
    constexpr int kCount = 10;
    constexpr int kDraws = 20000;
    int hits[kCount + 1] = {};
    std::set<int> firstHundred;
    for (int i = 0; i < kDraws; ++i) {
        const int position = random.RandomItemIndex(kCount);
        ASSERT_GE(position, 1);
        ASSERT_LE(position, kCount);
        ++hits[position];
        if (i < 100) {
            firstHundred.insert(position);
        }
    }
    double chiSquare = 0;
    for (int p = 1; p <= kCount; ++p) {
        const double expected = kDraws / static_cast<double>(kCount);
        chiSquare += (hits[p] - expected) * (hits[p] - expected) / expected;
    }
    EXPECT_LT(chiSquare, 27.88);  // 9 degrees of freedom, p = 0.001
    EXPECT_EQ(firstHundred.size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(random.RandomItemIndex(0), 1);
}

// Every position once, whatever is asked; the first of them equally often each.
TEST(RandomOrder, DrawsEachPositionOnceAndTheFirstUniformly) {
    testing::FakeClock clock;
    RandomItemIndexer random(clock);
    std::vector<std::size_t> all = RandomOrder(1000, SIZE_MAX, random);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    EXPECT_EQ(all.size(), 1000u);
    EXPECT_EQ(all.back(), 999u);
    EXPECT_EQ(RandomOrder(5, 3, random).size(), 3u);
    EXPECT_TRUE(RandomOrder(0, 3, random).empty());
    int firsts[4] = {};
    for (int i = 0; i < 8000; ++i) {
        ++firsts[RandomOrder(4, 1, random).front()];
    }
    for (const int hits : firsts) {
        EXPECT_NEAR(hits, 2000, 200);
    }
}

TEST(WaitInterval, NothingIsDispatchedForNoWait) {
    testing::FakeClock clock;
    testing::RecordingDesktop desktop;
    desktop.clock = &clock;
    for (int seconds : {0, -5}) {
        WaitInterval(seconds, clock, desktop);
    }
    EXPECT_EQ(desktop.waits, 0);
}

TEST(WaitInterval, LastsItsIntervalAcrossMidnightAndHandlesEventsMeanwhile) {
    testing::FakeClock clock;
    clock.setTimeOfDay(86398);  // 23:59:58
    testing::RecordingDesktop desktop;
    desktop.clock = &clock;
    bool handled = false;
    desktop.events.push_back([&] { handled = true; });
    const auto start = clock.now();
    WaitInterval(5, clock, desktop);
    EXPECT_TRUE(handled);
    EXPECT_EQ(clock.now() - start, std::chrono::seconds(5));
}

TEST(WaitInterval, AWaitWokenEarlyGoesBackToSleep) {
    testing::FakeClock clock;
    struct EarlyRiser : testing::RecordingDesktop {
        void waitForEvents(std::chrono::steady_clock::time_point) override {
            ++waits;
            clock->advance(std::chrono::milliseconds(400));
        }
    } desktop;
    desktop.clock = &clock;
    const auto start = clock.now();
    WaitInterval(1, clock, desktop);
    EXPECT_EQ(desktop.waits, 3);
    EXPECT_GE(clock.now() - start, std::chrono::seconds(1));
}

TEST(ShellExecuteArguments, QuoteThePathAndNothingElse) {
    const ShellExecuteArguments a = MakeShellExecuteArguments("C:\\My Files\\été 日本 😀.txt", 3);
    EXPECT_FALSE(a.verb.has_value());
    EXPECT_FALSE(a.parameters.has_value());
    EXPECT_EQ(a.file, u"\"C:\\My Files\\été 日本 😀.txt\"");
    EXPECT_EQ(a.directory, u"C:\\");
    EXPECT_EQ(a.showCommand, 3);
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\uFFFDb");
}

}  // namespace
}  // namespace gantrylux
