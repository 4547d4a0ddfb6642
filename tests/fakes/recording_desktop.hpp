#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fake_clock.hpp"
#include "ports/desktop.hpp"
#include "ports/worker_job.hpp"

namespace gantrylux::testing {

// Records every message box and every file opened, answers dialogs from a script (OK when the
// script is empty), and plays a script of window events while the program waits: each wait
// handles the events queued for it, then moves the fake clock to its deadline.
class RecordingDesktop : public Desktop {
  public:
    struct Box {
        std::string text;
        int style;
        std::string title;
    };

    // Waits (a while) for the workers of replaced jobs, which may still read what the test
    // owns.
    ~RecordingDesktop() override {
        mailbox->close();
        JoinWorkers(std::chrono::seconds(20));
    }

    int messageBox(const std::string& text, int style, const std::string& title) override {
        boxes.push_back({text, style, title});
        if (answers.empty()) {
            return message_answer::kOk;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> openFiles(const std::string& title) override {
        asked.push_back("openFiles: " + title);
        if (selectionTooLong) {
            throw SelectionTooLong();
        }
        return next(pickedFiles);
    }
    std::string inputBox(const std::string& prompt, const std::string& proposal) override {
        asked.push_back("inputBox: " + prompt + " [" + proposal + "]");
        return next(inputAnswers);
    }
    std::string browseForFolder(const std::string& title, const std::string& start) override {
        asked.push_back("browseForFolder: " + title + " [" + start + "]");
        return next(pickedFolders);
    }
    std::string programFolder() const override { return programFolderPath; }
    void setApplicationTitle(const std::string& title) override { applicationTitle = title; }

    // Runs the job at once and then its end, unless `threaded`. A test can run commands "while
    // it runs", as the event loop would.
    void startInBackground(std::function<void()> job,
                           std::function<void(std::exception_ptr)> finished) override {
        ++backgroundJobs;
        if (threaded) {
            ++jobsOut;
            StartWorker(mailbox, std::move(job),
                        [this, finished = std::move(finished)](std::exception_ptr failure) {
                            --jobsOut;
                            finished(failure);
                        });
            return;
        }
        std::exception_ptr failure;
        try {
            if (whileWaiting) {
                whileWaiting();
            }
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        if (!closingProgram) {
            finished(failure);
        }
    }

    // Threaded jobs: handles their ends as they come until none is out, or the time is up.
    // False when the time ran out.
    bool settle(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        return settleUntil([&] { return jobsOut == 0; }, timeout);
    }
    // The same, until `done` holds, for jobs that are always out (a wait for watched changes).
    // What `done` asks may change on a worker without a post, so it is asked again now and
    // then.
    bool settleUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        const auto until = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            mailbox->deliver();
            if (done()) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= until) {
                return false;
            }
            std::unique_lock lock(*posted);
            wake->wait_for(lock, std::chrono::milliseconds(10),
                           [&] { return postedCount->exchange(0) > 0; });
        }
    }

    void waitForEvents(std::chrono::steady_clock::time_point deadline) override {
        ++waits;
        if (threaded && events.empty() && jobsOut > 0) {
            // Workers are out and no event is scripted: sleep until one posts, a little while.
            std::unique_lock lock(*posted);
            wake->wait_for(lock, std::chrono::milliseconds(5),
                           [&] { return postedCount->exchange(0) > 0; });
        }
        mailbox->deliver();
        dispatch();
        if (clock != nullptr && clock->now() < deadline) {
            clock->advance(deadline - clock->now());
        }
    }
    void processPendingEvents() override {
        ++pendingEventRounds;
        mailbox->deliver();
        dispatch();
    }
    std::string shellOpen(const std::string& path, int showCommand) override {
        opened.push_back({path, showCommand});
        if (onOpen) {
            onOpen(path);
        }
        if (openSlots != nullptr) {
            --*openSlots;
        }
        return openerFailure;
    }
    bool readyToOpen() const override { return openSlots == nullptr || *openSlots > 0; }
    void showInFolder(const std::string& path) override { shownInFolder.push_back(path); }
    void copyText(const std::string& text) override { copied.push_back(text); }
    void closeProgram() override {
        closingProgram = true;
        mailbox->close();
    }
    bool closing() const override { return closingProgram; }

    // Window events, one per wait or round of pending events.
    void dispatch() {
        if (!events.empty()) {
            const auto event = std::move(events.front());
            events.pop_front();
            event();
        }
    }

    struct Opened {
        std::string path;
        int showCommand;
        friend bool operator==(const Opened&, const Opened&) = default;
    };

    // Answers of the dialogs, taken in order; an exhausted script answers as a cancel would.
    template <typename Answer>
    static Answer next(std::deque<Answer>& script) {
        if (script.empty()) {
            return Answer{};
        }
        Answer answer = std::move(script.front());
        script.pop_front();
        return answer;
    }
    std::deque<std::vector<std::string>> pickedFiles;
    std::deque<std::string> inputAnswers;
    bool selectionTooLong = false;  // the file dialog could not hand the selection over
    std::deque<std::string> pickedFolders;
    std::vector<std::string> asked;
    std::string programFolderPath;
    std::string applicationTitle;

    FakeClock* clock = nullptr;
    std::deque<std::function<void()>> events;
    std::vector<Opened> opened;
    std::string openerFailure;                       // what every shellOpen answers
    std::function<void(const std::string&)> onOpen;  // looks at the program as a file opens
    // When set, how many more opens the desktop takes now; each open takes one.
    std::shared_ptr<std::atomic<int>> openSlots;
    std::vector<std::string> shownInFolder;
    std::vector<std::string> copied;
    int waits = 0;
    int pendingEventRounds = 0;
    bool closingProgram = false;
    std::vector<Box> boxes;
    int backgroundJobs = 0;
    std::function<void()> whileWaiting;
    // Jobs on real workers, their ends handled by settle() and by every wait.
    bool threaded = false;
    int jobsOut = 0;
    std::shared_ptr<std::mutex> posted = std::make_shared<std::mutex>();
    std::shared_ptr<std::condition_variable> wake = std::make_shared<std::condition_variable>();
    std::shared_ptr<std::atomic<int>> postedCount = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<EventMailbox> mailbox =
        std::make_shared<EventMailbox>([posted = posted, wake = wake, count = postedCount] {
            // Under the mailbox's lock: taking `posted` here cannot deadlock, since settle never
            // posts while holding it.
            std::lock_guard lock(*posted);
            count->fetch_add(1);
            wake->notify_all();
        });
    std::deque<int> answers;
};

}  // namespace gantrylux::testing
