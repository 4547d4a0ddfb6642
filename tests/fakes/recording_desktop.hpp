#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/desktop.hpp"

namespace gantrylux::testing {

// Records every message box and answers from a script (OK when the script is empty).
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

    // Runs the job at once. A test can run commands "while it waits", as the event loop would.
    void runInBackground(const std::function<void(std::stop_token)>& job) override {
        ++backgroundJobs;
        if (whileWaiting) {
            whileWaiting();
        }
        job(std::stop_token{});
    }

    std::vector<Box> boxes;
    int backgroundJobs = 0;
    std::function<void()> whileWaiting;
    std::deque<int> answers;
};

}  // namespace gantrylux::testing
