#include "run/opening_run.hpp"

#include <limits>
#include <set>
#include <stdexcept>
#include <utility>

#include "base/procedure.hpp"
#include "run/interval_text.hpp"
#include "run/wait_interval.hpp"

namespace gantrylux {
namespace {

constexpr std::string_view kIdentity = "Gantrylux2021/08/31.Form1.PushButton2_Click";
constexpr std::string_view kStart = "Start Opening";
constexpr std::string_view kStop = "Stop";
// What a screen reader hears: the run's start, each file it opens, and its end.
constexpr std::string_view kRunStarted = "Opening files at random.";
constexpr std::string_view kOpened = "Opened ";
constexpr std::string_view kRunEnded = "Opening has ended.";
constexpr auto kRefreshEvery = std::chrono::minutes(3);

// The name of a file without its folder, on either platform's separators.
std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::int32_t RowCount(const PathList& list) {
    return static_cast<std::int32_t>(
        std::min<std::size_t>(list.count(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

int ShowCommandFor(DisplayOption option) {
    switch (option) {
        case DisplayOption::Maximized:
            return 3;
        case DisplayOption::Minimized:
            return 2;
        case DisplayOption::Normal:
            break;
    }
    // Also where no option is selected: a file is never opened hidden.
    return 9;
}

// An opener that cannot be started fails every file alike: told once a run, which goes on, so
// that the user learns why nothing opens without a box for every turn.
void OpeningRun::open(std::int32_t position, int showCommand) {
    const std::string path(candidates_.at(static_cast<std::size_t>(position)));
    const std::string openerFailure = desktop_.shellOpen(path, showCommand);
    if (openerFailure.empty()) {
        // Only what was really handed on is remembered as opened.
        history_.record(path);
        form_.setStartButtonTip(path);
        form_.announce(std::string(kOpened) + std::string(FileName(path)));
    } else if (!std::exchange(openerFailureTold_, true)) {
        desktop_.messageBox(openerFailure, message_style::kOkOnly | message_style::kExclamation,
                            "");
    }
}

void OpeningRun::PushButton2_Click() {
    Procedure p{std::string(kIdentity), desktop_};
    bool starting = false;
    p.step(100, [&] { starting = form_.startButtonCaption() == kStart; });
    if (!starting) {
        p.step(152, [&] { stopRequested_ = true; });
        if (std::exchange(waitingForMerge_, false)) {
            // Nothing was opened yet and no wait is in progress: the run ends here.
            showRunning(p, false);
        }
        return;
    }
    if (merger_ != nullptr && merger_->running()) {
        showRunning(p, true);
        waitingForMerge_ = true;
        merger_->whenMerged([this] { startWhenMerged(); });
        return;
    }
    start(p);
}

void OpeningRun::startWhenMerged() {
    if (!std::exchange(waitingForMerge_, false) || desktop_.closing()) {
        return;  // stopped meanwhile
    }
    Procedure p{std::string(kIdentity), desktop_};
    // The caption reads "Stop" while the merge ran; start as if it had read "Start Opening",
    // without telling the user that the run ended.
    p.step(148, [&] { form_.setStartButtonCaption(std::string(kStart)); });
    start(p);
}

void OpeningRun::start(Procedure& p) {
    bool any = false;
    p.step(102, [&] { any = candidates_.count() >= 1; });
    if (!any) {
        p.step(150, [&] { desktop_.messageBox("No files added.", message_style::kOkOnly, ""); });
        if (announcedRunning_) {
            showRunning(p, false);  // it read "Stop" while the merge that emptied it ran
        }
        return;
    }
    int showCommand = 9;
    p.step(104, [&] { showCommand = ShowCommandFor(form_.displayOption()); });
    showRunning(p, true);
    refreshFolders();
    run(p, showCommand);
    showRunning(p, false);
}

// The folder rows are walked again in the background at each start and every few minutes of a
// run, for the files saved or deleted since; the run goes on with the files known meanwhile.
void OpeningRun::refreshFolders() {
    if (merger_ != nullptr) {
        merger_->refresh();
        lastRefresh_ = clock_.now();
    }
}

// The caption at step 116 or 148, said aloud when the run really starts or ends: a run that
// waited for the merge reads "Start Opening" for a moment before it starts, unannounced.
void OpeningRun::showRunning(Procedure& p, bool running) {
    p.step(running ? 116 : 148, [&] {
        form_.setStartButtonCaption(std::string(running ? kStop : kStart));
        if (std::exchange(announcedRunning_, running) != running) {
            form_.announce(std::string(running ? kRunStarted : kRunEnded));
        }
    });
}

void OpeningRun::stopIfRunning() {
    if (form_.startButtonCaption() != kStart) {
        PushButton2_Click();
    }
}

// Each draw is made from the candidates of the lists as they now stand: a merge still under way
// (a row was added or removed) is waited for first, and so is a desktop that cannot take one more
// open yet. The window serves the user meanwhile, and "Stop" ends the wait.
void OpeningRun::waitUntilReady() {
    constexpr auto kSlice = std::chrono::milliseconds(50);
    while (!desktop_.closing() && !stopRequested_ &&
           ((merger_ != nullptr && merger_->running()) || !desktop_.readyToOpen())) {
        desktop_.waitForEvents(std::chrono::steady_clock::now() + kSlice);
    }
}

// One cycle opens one file and waits. Two guards keep every run stoppable: a cycle that did
// not wait still lets the window's pending events through, and a cycle that reported a failure
// without then waiting at least a second ends the run, since its reports would otherwise
// follow one another with nothing able to reach "Stop".
void OpeningRun::run(Procedure& p, int showCommand) {
    std::set<std::int32_t> opened;
    std::int32_t openedCount = 0;
    p.step(122, [&] { stopRequested_ = false; });
    openerFailureTold_ = false;
    bool endless = false;
    p.step(124, [&] { endless = form_.endlessChecked(); });

    while (!desktop_.closing()) {
        waitUntilReady();
        if (clock_.now() - lastRefresh_ >= kRefreshEvery) {
            refreshFolders();
        }
        const int failuresBefore = p.failures();
        int waited = 0;
        const auto waitTheInterval = [&] {
            const int seconds = ReadInterval(form_.intervalText());
            WaitInterval(seconds, clock_, desktop_);
            waited = seconds;
        };
        std::int32_t position = 0;
        if (endless) {
            bool stop = false;
            p.step(126, [&] { stop = stopRequested_; });
            if (stop) {
                return;
            }
            p.step(128, [&] { position = random_.RandomItemIndex(RowCount(candidates_)); });
            p.step(130, [&] { open(position, showCommand); });
            p.step(132, waitTheInterval);
        } else {
            bool more = false;
            p.step(134, [&] { more = openedCount < RowCount(candidates_) && !stopRequested_; });
            if (!more) {
                return;
            }
            do {
                p.step(136, [&] { position = random_.RandomItemIndex(RowCount(candidates_)); });
            } while (opened.contains(position));
            p.step(140, [&] { opened.insert(position); });
            p.step(142, [&] { open(position, showCommand); });
            p.step(144, waitTheInterval);
            p.step(146, [&] {
                if (openedCount == std::numeric_limits<std::int32_t>::max()) {
                    throw std::overflow_error("Overflow");
                }
                ++openedCount;
            });
        }
        if (p.failures() > failuresBefore && waited < 1) {
            return;
        }
        if (waited <= 0) {
            desktop_.processPendingEvents();
        }
    }
}

}  // namespace gantrylux
