#pragma once

// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on

#include <chrono>
#include <string>

namespace gantrylux::win32 {

// The program started in a process of its own, with its first visible window once it shows.
// Ends the process, if it still runs, when it goes.
class ProgramProcess {
  public:
    explicit ProgramProcess(const std::wstring& exe) {
        std::wstring command = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_)) {
            return;
        }
        window_ = waitForWindow(nullptr, std::chrono::seconds(30));
    }
    ~ProgramProcess() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    HWND window() const { return window_; }
    HANDLE handle() const { return process_.hProcess; }

    // A visible top-level window of the process, of the given class (any when null), or null
    // when none shows in time.
    HWND waitForWindow(const wchar_t* kind, std::chrono::milliseconds patience) const {
        struct Search {
            DWORD process;
            const wchar_t* kind;
            HWND found = nullptr;
        } search{process_.dwProcessId, kind};
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (search.found == nullptr && std::chrono::steady_clock::now() < deadline) {
            EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(data);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    wchar_t kind[64] = L"";
                    GetClassNameW(window, kind, 64);
                    if (owner == s->process && IsWindowVisible(window) &&
                        (s->kind == nullptr || std::wstring(kind) == s->kind)) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            Sleep(50);
        }
        return search.found;
    }

  private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

}  // namespace gantrylux::win32
