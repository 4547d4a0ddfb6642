#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "app/application_title.hpp"
#include "base/product.hpp"
#include "ports/desktop.hpp"
#include "ports/worker_job.hpp"

class QWidget;

namespace gantrylux {

// Dialogs on Qt widgets, shown over the window they are given.
class QtDesktop : public Desktop {
  public:
    QtDesktop();
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    void setWindow(QWidget* window) { window_ = window; }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::vector<std::string> openFiles(const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& proposal) override;
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    std::string programFolder() const override;
    void setApplicationTitle(const std::string& title) override { title_ = title; }
    void startInBackground(std::function<void()> job,
                           std::function<void(std::exception_ptr)> finished) override;
    // Background jobs whose end has not been handled yet.
    int jobsOut() const noexcept { return jobs_.out(); }
    void waitForEvents(std::chrono::steady_clock::time_point deadline) override;
    void processPendingEvents() override;
    std::string shellOpen(const std::string& path, int showCommand) override;
    void showInFolder(const std::string& path) override;
    void copyText(const std::string& text) override;
    void closeProgram() override;
    bool closing() const override { return closing_; }

  private:
    // Lives on the window's thread: the workers' wake-ups are queued to it, and go with it.
    QObject eventTarget_;
    BackgroundJobs jobs_;
    QWidget* window_ = nullptr;
    bool closing_ = false;
    std::string title_ = MakeApplicationTitle(kProductName);
};

}  // namespace gantrylux
