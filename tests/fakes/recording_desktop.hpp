#pragma once

#include <deque>
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

    std::vector<Box> boxes;
    std::deque<int> answers;
};

}  // namespace gantrylux::testing
