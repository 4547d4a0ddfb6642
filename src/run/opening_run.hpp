#pragma once

#include "lists/candidate_merger.hpp"
#include "lists/path_list.hpp"
#include "ports/clock.hpp"
#include "ports/desktop.hpp"
#include "ports/form.hpp"
#include "run/opened_history.hpp"
#include "run/random_item_index.hpp"

namespace gantrylux {

// The show command for the chosen display option: 9 (restored), 3 (maximized), 2 (minimized).
int ShowCommandFor(DisplayOption option);

// "Start Opening": opens the candidates at random with the desktop's default application,
// waiting the interval between two files, once each or endlessly; pressed again while it reads
// "Stop", it asks the running run to stop at the end of the wait in progress. Pressed while the
// merger is building the candidates, it reads "Stop" at once and starts with them as soon as
// they are in.
class OpeningRun {
  public:
    OpeningRun(Form& form, Desktop& desktop, const PathList& candidates, const Clock& clock,
               CandidateMerger* merger = nullptr)
        : form_(form),
          desktop_(desktop),
          candidates_(candidates),
          clock_(clock),
          random_(clock),
          merger_(merger) {}

    void PushButton2_Click();
    // Esc: "Stop" while a run is on, nothing otherwise.
    void stopIfRunning();
    bool StopRequested() const noexcept { return stopRequested_; }
    const OpenedHistory& history() const noexcept { return history_; }

  private:
    // From step 102 on: the candidates are in.
    void start(class Procedure& p);
    void startWhenMerged();
    void run(Procedure& p, int showCommand);
    void waitUntilReady();
    void open(std::int32_t position, int showCommand);
    void showRunning(Procedure& p, bool running);
    void refreshFolders();

    Form& form_;
    Desktop& desktop_;
    const PathList& candidates_;
    const Clock& clock_;
    RandomItemIndexer random_;
    CandidateMerger* merger_;
    bool stopRequested_ = false;
    bool waitingForMerge_ = false;
    bool openerFailureTold_ = false;  // in this run
    bool announcedRunning_ = false;
    Clock::TimePoint lastRefresh_{};
    OpenedHistory history_;
};

}  // namespace gantrylux
