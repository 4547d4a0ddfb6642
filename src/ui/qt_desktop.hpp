#pragma once

#include <string>

#include "app/application_title.hpp"
#include "app/product.hpp"
#include "ports/desktop.hpp"

class QWidget;

namespace gantrylux {

// Dialogs on Qt widgets, shown over the window they are given.
class QtDesktop : public Desktop {
  public:
    void setWindow(QWidget* window) { window_ = window; }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::vector<std::string> openFiles(const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& proposal) override;
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    std::string programFolder() const override;
    void setApplicationTitle(const std::string& title) override { title_ = title; }
    void runInBackground(const std::function<void(std::stop_token)>& job) override;
    void waitForEvents(std::chrono::steady_clock::time_point deadline) override;
    void processPendingEvents() override;
    void shellOpen(const std::string& path, int showCommand) override;
    void closeProgram() override;
    bool closing() const override { return closing_; }

  private:
    QWidget* window_ = nullptr;
    bool closing_ = false;
    std::string title_ = MakeApplicationTitle(kProductName);
};

}  // namespace gantrylux
