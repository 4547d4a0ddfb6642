#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "fake_clock.hpp"
#include "ports/desktop.hpp"

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

    // Runs the job at once. A test can run commands "while it waits", as the event loop would.
    void runInBackground(const std::function<void(std::stop_token)>& job) override {
        ++backgroundJobs;
        if (whileWaiting) {
            whileWaiting();
        }
        job(std::stop_token{});
    }

    void waitForEvents(std::chrono::steady_clock::time_point deadline) override {
        ++waits;
        dispatch();
        if (clock != nullptr && clock->now() < deadline) {
            clock->advance(deadline - clock->now());
        }
    }
    void processPendingEvents() override {
        ++pendingEventRounds;
        dispatch();
    }
    void shellOpen(const std::string& path, int showCommand) override {
        opened.push_back({path, showCommand});
    }
    void closeProgram() override { closingProgram = true; }
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
    std::deque<std::string> pickedFolders;
    std::vector<std::string> asked;
    std::string programFolderPath;
    std::string applicationTitle;

    FakeClock* clock = nullptr;
    std::deque<std::function<void()>> events;
    std::vector<Opened> opened;
    int waits = 0;
    int pendingEventRounds = 0;
    bool closingProgram = false;
    std::vector<Box> boxes;
    int backgroundJobs = 0;
    std::function<void()> whileWaiting;
    std::deque<int> answers;
};

}  // namespace gantrylux::testing
