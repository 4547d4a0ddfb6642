#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ports/desktop.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux::bench {

// A desktop without a window, for the tools that drive the core as the window does: background
// jobs run on real workers, and their ends are handled on the tool's own thread while it waits
// in runUntil. A message box is written to stderr and answered OK; dialogs are cancelled and
// nothing is opened, since no tool asks for either.
class BenchDesktop : public Desktop {
  public:
    BenchDesktop();
    // Waits a while for the workers, which may still read what the tool owns.
    ~BenchDesktop() override;
    BenchDesktop(const BenchDesktop&) = delete;
    BenchDesktop& operator=(const BenchDesktop&) = delete;

    // Handles the jobs' ends as they come until `done` holds. What `done` asks may change
    // without an end (a file the tool writes), so it is asked again every few milliseconds.
    // False when `timeout` passed first.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    int messages() const noexcept { return messages_; }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::vector<std::string> openFiles(const std::string&) override { return {}; }
    std::string inputBox(const std::string&, const std::string&) override { return {}; }
    std::string browseForFolder(const std::string&, const std::string&) override { return {}; }
    void setApplicationTitle(const std::string&) override {}
    std::string programFolder() const override { return {}; }
    void startInBackground(std::function<void()> job,
                           std::function<void(std::exception_ptr)> finished) override;
    void waitForEvents(std::chrono::steady_clock::time_point deadline) override;
    void processPendingEvents() override { jobs_.deliver(); }
    std::string shellOpen(const std::string&, int) override { return {}; }
    void showInFolder(const std::string&) override {}
    void copyText(const std::string&) override {}
    void closeProgram() override;
    bool closing() const override { return closing_; }

  private:
    // Sleeps until a job's end is posted or the deadline comes.
    void sleepUntil(std::chrono::steady_clock::time_point deadline);

    std::mutex mutex_;
    std::condition_variable posted_;
    bool woken_ = false;
    bool closing_ = false;
    int messages_ = 0;
    // Last: its mailbox is closed before the wake it calls goes.
    BackgroundJobs jobs_;
};

}  // namespace gantrylux::bench
