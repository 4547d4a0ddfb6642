#pragma once

#include <chrono>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

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

// The open-file dialog's selection did not fit what the dialog can hand over.
class SelectionTooLong : public std::runtime_error {
  public:
    SelectionTooLong()
        : std::runtime_error("The selection does not fit the file dialog's buffer") {}
};

// What the core asks of the desktop it runs on: dialogs now, shell services as they come.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Shows a modal message box and returns the answer. An empty title means the application
    // title.
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;

    // The open-file dialog with one filter ("All Files (*.*)" matches every file, with or
    // without a dot in its name), several files allowed. Gives the full paths picked, in the
    // dialog's order, all from one folder; nothing when cancelled. Throws SelectionTooLong when
    // the dialog could not hand the whole selection over.
    virtual std::vector<std::string> openFiles(const std::string& title) = 0;
    // A text prompt with OK and Cancel, pre-filled with the proposal; the application title.
    // Gives the edited text on OK and "" on Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& proposal) = 0;
    // The folder picker, starting in the given folder (its own default place when that is
    // empty or missing). Gives the chosen folder without a final separator (except a root),
    // or "" when cancelled.
    virtual std::string browseForFolder(const std::string& title,
                                        const std::string& startFolder) = 0;
    // The title of message boxes and input boxes that have none of their own.
    virtual void setApplicationTitle(const std::string& title) = 0;
    // The folder that holds the program, without a final separator (except a root).
    virtual std::string programFolder() const = 0;

    // Runs a long job on a worker thread that the window's thread never waits for, then
    // `finished` on the window's thread, as one of its events, with the job's failure if it
    // threw. Once the program is closing, `finished` no longer runs. The job must keep what it
    // writes alive by itself: it may outlive everything the window owns.
    virtual void startInBackground(std::function<void()> job,
                                   std::function<void(std::exception_ptr)> finished) = 0;

    // Handles the window's events as they come, sleeping between them, until the deadline of
    // the monotonic clock has passed, the program is closing, or an event handler ran long.
    // Callers check the time again and call it anew.
    virtual void waitForEvents(std::chrono::steady_clock::time_point deadline) = 0;
    // Handles the events that are waiting now, without sleeping.
    virtual void processPendingEvents() = 0;

    // Opens a file or a folder with the desktop's default application; the show command (1 normal,
    // 2 minimized, 3 maximized, 9 restored) applies where the desktop has window states. The
    // outcome for the file is not reported; what comes back, for the user to read, is why the
    // desktop's opener itself cannot be started (it is missing, say), empty when it could.
    virtual std::string shellOpen(const std::string& path, int showCommand) = 0;
    // Whether shellOpen would hand a file on now. A desktop that opens on workers says no while
    // too many of its opens are still out; the run then waits, serving the window's events, and
    // asks again, so no file is dropped.
    virtual bool readyToOpen() const { return true; }

    // Opens the file manager at the path's folder with the path selected; where no file manager
    // answers, the folder itself is opened. The outcome is not reported.
    virtual void showInFolder(const std::string& path) = 0;
    // Puts the text on the clipboard. Throws when the clipboard cannot be had.
    virtual void copyText(const std::string& text) = 0;

    // Closing the window ends the program: every wait returns at once from then on.
    virtual void closeProgram() = 0;
    virtual bool closing() const = 0;
};

}  // namespace gantrylux
