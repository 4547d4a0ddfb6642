#pragma once

#include "app/desktop.hpp"

class QWidget;

namespace gantrylux {

// Dialogs on Qt widgets, shown over the window they are given.
class QtDesktop : public Desktop {
  public:
    void setWindow(QWidget* window) { window_ = window; }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    void runInBackground(const std::function<void(std::stop_token)>& job) override;

  private:
    QWidget* window_ = nullptr;
};

}  // namespace gantrylux
