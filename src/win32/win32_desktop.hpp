#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/application_title.hpp"
#include "base/product.hpp"
#include "ports/desktop.hpp"
#include "ports/worker_job.hpp"
#include "run/shell_execute_arguments.hpp"

namespace gantrylux::win32 {

// What a failed GetOpenFileNameW means, given CommDlgExtendedError: nothing for a cancel (0);
// SelectionTooLong when the selection did not fit the buffer; any other failure is thrown with
// its code, for the procedure's error report.
void ThrowForFileDialogError(DWORD extendedError);

// Dialogs and shell services of Windows, and the window thread's nested message loops.
class Win32Desktop : public Desktop {
  public:
    // One open the shell has not answered yet, counted from the hand-over until the last copy is
    // gone. While kMostOpensOut are held, the desktop takes no further open.
    using OpenHeld = std::shared_ptr<const void>;
    static constexpr int kMostOpensOut = 16;
    // Hands a file to the shell and keeps the mark until the shell has answered; gives why the
    // file could not be handed on at all, or "". The program's own opens it through
    // ShellExecuteExW on a worker: the shell examines the file first, which blocks on a share
    // that does not answer, and may ask the user.
    using Opener = std::function<std::string(const ShellExecuteArguments&, OpenHeld)>;
    static std::string ShellExecuteOpener(const ShellExecuteArguments& arguments, OpenHeld held);

    explicit Win32Desktop(Opener opener = ShellExecuteOpener);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // The window that owns the dialogs and whose keyboard navigation the loops serve.
    void setWindow(HWND window) { window_ = window; }
    // The window's keyboard shortcuts, translated before the dialog keys (Tab, access keys).
    void setAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }
    HWND window() const { return window_; }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::vector<std::string> openFiles(const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& proposal) override;
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;
    void setApplicationTitle(const std::string& title) override { title_ = title; }
    std::string programFolder() const override;
    void startInBackground(std::function<void()> job,
                           std::function<void(std::exception_ptr)> finished) override;
    // Background jobs whose end has not been handled yet.
    int jobsOut() const noexcept { return jobs_.out(); }
    void waitForEvents(std::chrono::steady_clock::time_point deadline) override;
    void processPendingEvents() override;
    std::string shellOpen(const std::string& path, int showCommand) override;
    bool readyToOpen() const override;
    void showInFolder(const std::string& path) override;
    void copyText(const std::string& text) override;
    void closeProgram() override;
    bool closing() const override { return closing_; }

    // The program's main loop; returns the exit code once the program is closing.
    int runMessageLoop();
    const std::string& applicationTitle() const { return title_; }

  private:
    // Dispatches the messages waiting now; false once the program is closing.
    bool pumpMessages();

    static LRESULT CALLBACK MailboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Opener opener_;
    // Shared with the marks of the opens still out, which may outlive the desktop.
    std::shared_ptr<std::atomic<int>> opensOut_ = std::make_shared<std::atomic<int>>(0);
    // A message-only window that the workers' wake-ups are posted to: messages to a window reach
    // it through every loop, the modal ones of dialogs included.
    HWND mailboxWindow_ = nullptr;
    BackgroundJobs jobs_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    bool closing_ = false;
    int exitCode_ = 0;
    std::string title_ = MakeApplicationTitle(kProductName);
};

}  // namespace gantrylux::win32
