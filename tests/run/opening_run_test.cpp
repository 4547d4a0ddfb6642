#include "run/opening_run.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fakes/fake_clock.hpp"
#include "fakes/fake_form.hpp"
#include "fakes/recording_desktop.hpp"

namespace gantrylux {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

class OpeningRunTest : public ::testing::Test {
  protected:
    OpeningRunTest() { desktop.clock = &clock; }

    void addCandidates(std::initializer_list<const char*> paths) {
        for (const char* path : paths) {
            candidates.append(path);
        }
    }
    std::vector<std::string> openedPaths() const {
        std::vector<std::string> paths;
        for (const auto& o : desktop.opened) {
            paths.push_back(o.path);
        }
        return paths;
    }
    std::chrono::seconds elapsed() const {
        return std::chrono::duration_cast<std::chrono::seconds>(clock.now() - Clock::TimePoint{});
    }

    testing::FakeForm form;
    testing::RecordingDesktop desktop;
    testing::FakeClock clock;
    PathList candidates;
    OpeningRun run{form, desktop, candidates, clock};
};

TEST_F(OpeningRunTest, WithNoCandidatesItSaysSoAndOpensNothing) {
    run.PushButton2_Click();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text, "No files added.");
    EXPECT_EQ(desktop.boxes[0].style, 0);
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(form.startCaptions.empty());
}

TEST_F(OpeningRunTest, ASinglePassOpensEveryCandidateOnceAndEndsByItself) {
    addCandidates({"/a b.txt", "/c.txt", "/d.txt"});
    form.interval = "0";
    run.PushButton2_Click();
    EXPECT_THAT(openedPaths(), UnorderedElementsAre("/a b.txt", "/c.txt", "/d.txt"));
    EXPECT_THAT(form.startCaptions, ElementsAre("Stop", "Start Opening"));
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_GE(desktop.pendingEventRounds, 3);  // no wait, yet every cycle let events through
}

TEST_F(OpeningRunTest, OneCandidateOpensOnceAndTheRunEndsAfterOneInterval) {
    addCandidates({"/only.txt"});
    form.interval = " 2.5 ";  // rounds to 2
    run.PushButton2_Click();
    EXPECT_THAT(openedPaths(), ElementsAre("/only.txt"));
    EXPECT_EQ(elapsed(), std::chrono::seconds(2));
}

TEST_F(OpeningRunTest, AnOpenerThatCannotBeStartedIsToldOnceARunWhichGoesOn) {
    addCandidates({"/a.txt", "/b.txt", "/c.txt"});
    form.interval = "0";
    desktop.openerFailure = "xdg-open cannot be started";
    run.PushButton2_Click();
    run.PushButton2_Click();
    EXPECT_EQ(desktop.opened.size(), 6u);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[1].text, "xdg-open cannot be started");
    EXPECT_EQ(desktop.boxes[1].style, message_style::kExclamation);
}

// Newest first, each once, at most 25, across runs; the start button's tip names the last.
TEST_F(OpeningRunTest, TheOpenedFilesAreRememberedAndTheLastIsTheStartButtonsTip) {
    form.interval = "0";
    EXPECT_EQ(form.startButtonTip, "");
    for (int i = 0; i < 30; ++i) {
        candidates.append("/" + std::to_string(i));
    }
    run.PushButton2_Click();
    ASSERT_EQ(run.history().newestFirst().size(), 25u);
    EXPECT_EQ(run.history().newestFirst().front(), desktop.opened.back().path);
    EXPECT_EQ(form.startButtonTip, desktop.opened.back().path);
    candidates.clear();
    candidates.append("/again");
    run.PushButton2_Click();
    run.PushButton2_Click();
    EXPECT_EQ(run.history().newestFirst().front(), "/again");
    EXPECT_EQ(run.history().newestFirst()[1], desktop.opened[29].path);
    EXPECT_EQ(run.history().newestFirst().size(), 25u);
}

TEST_F(OpeningRunTest, EachDisplayOptionGivesItsShowCommand) {
    const std::pair<DisplayOption, int> cases[] = {
        {DisplayOption::Normal, 9}, {DisplayOption::Maximized, 3}, {DisplayOption::Minimized, 2}};
    addCandidates({"/x"});
    form.interval = "0";
    for (const auto& [option, command] : cases) {
        form.option = option;
        desktop.opened.clear();
        run.PushButton2_Click();
        ASSERT_EQ(desktop.opened.size(), 1u);
        EXPECT_EQ(desktop.opened[0].showCommand, command);
    }
}

TEST_F(OpeningRunTest, EndlessModeGoesOnUntilStopTakesEffectAfterTheWaitInProgress) {
    addCandidates({"/a", "/b"});
    form.endless = true;
    form.interval = "10";
    for (int i = 0; i < 5; ++i) {
        desktop.events.push_back([] {});
    }
    desktop.events.push_back([&] { run.PushButton2_Click(); });  // "Stop", nested in wait 6
    run.PushButton2_Click();
    EXPECT_EQ(desktop.opened.size(), 6u);
    EXPECT_EQ(elapsed(), std::chrono::seconds(60));  // the sixth wait ran to its end
    EXPECT_TRUE(run.StopRequested());
    EXPECT_THAT(form.startCaptions, ElementsAre("Stop", "Start Opening"));
}

// Esc is "Stop" only while a run is on; a screen reader hears the run start, each file's name
// and the end.
TEST_F(OpeningRunTest, EscStopsARunThatSaysWhatItDoes) {
    addCandidates({"C:\\Music\\a.mp3"});
    form.endless = true;
    form.interval = "1";
    run.stopIfRunning();
    EXPECT_TRUE(form.startCaptions.empty());
    desktop.events.push_back([&] { run.stopIfRunning(); });
    run.PushButton2_Click();
    EXPECT_EQ(desktop.opened.size(), 1u);
    EXPECT_THAT(form.announced,
                ElementsAre("Opening files at random.", "Opened a.mp3", "Opening has ended."));
}

TEST_F(OpeningRunTest, FilesAddedDuringAPassAreOpenedToo) {
    addCandidates({"/1", "/2"});
    form.interval = "1";
    desktop.events.push_back([&] { addCandidates({"/3", "/4"}); });
    run.PushButton2_Click();
    EXPECT_THAT(openedPaths(), UnorderedElementsAre("/1", "/2", "/3", "/4"));
}

TEST_F(OpeningRunTest, AnEmptiedListInEndlessModeReportsEachCycleUntilStop) {
    addCandidates({"/a"});
    form.endless = true;
    form.interval = "1";
    desktop.events.push_back([&] { candidates.clear(); });
    desktop.events.push_back([] {});
    desktop.events.push_back([&] { run.PushButton2_Click(); });
    run.PushButton2_Click();
    EXPECT_EQ(desktop.opened.size(), 1u);
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_THAT(desktop.boxes[0].text, HasSubstr("PushButton2_Click at line 130"));
}

TEST_F(OpeningRunTest, AFailingCycleThatCannotWaitASecondEndsTheRun) {
    const struct {
        bool endless;
        const char* interval;
        bool emptied;
        int step;
    } cases[] = {{true, "abc", false, 132},
                 {false, "abc", false, 144},
                 {true, "0", true, 130},
                 {true, "1e9", false, 132}};
    for (const auto& c : cases) {
        candidates.clear();
        addCandidates({"/a", "/b"});
        desktop.boxes.clear();
        desktop.opened.clear();
        form.endless = c.endless;
        form.interval = c.interval;
        if (c.emptied) {
            desktop.events.push_back([&] { candidates.clear(); });
        }
        run.PushButton2_Click();
        SCOPED_TRACE(c.interval);
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_THAT(desktop.boxes[0].text, HasSubstr("at line " + std::to_string(c.step)));
        EXPECT_EQ(form.startCaption, "Start Opening");
        desktop.events.clear();
    }
}

TEST_F(OpeningRunTest, ClosingDuringARunOpensNoFurtherFile) {
    addCandidates({"/a", "/b", "/c"});
    form.endless = true;
    form.interval = "5";
    desktop.events.push_back([&] { desktop.closeProgram(); });
    run.PushButton2_Click();
    EXPECT_EQ(desktop.opened.size(), 1u);
}

}  // namespace
}  // namespace gantrylux
