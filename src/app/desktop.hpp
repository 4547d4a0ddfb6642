#pragma once

#include <string>

namespace gantrylux {

// Message box styles and answers, with the values the window's message boxes have always used.
namespace message_style {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kExclamation = 48;
}  // namespace message_style

namespace message_answer {
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace message_answer

// What the core asks of the desktop it runs on: dialogs now, shell services as they come.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Shows a modal message box and returns the answer. An empty title means the application
    // title.
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;
};

}  // namespace gantrylux
