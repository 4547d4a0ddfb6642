#pragma once

// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on

#include <deque>
#include <functional>
#include <string>

#include "app/hand_over.hpp"

namespace gantrylux::win32 {

// One window per user session: the first launch owns a named mutex and a message-only window;
// each later launch finds that window by its class, sends it its paths with WM_COPYDATA and
// ends. The paths travel as their UTF-16 code units.
class SingleInstance {
  public:
    enum class Role { First, HandedOver, Alone };

    // The name of the mutex and of the window class; the environment variable
    // GANTRYLUX_INSTANCE replaces it, so that tests keep apart from the user's window.
    explicit SingleInstance(std::wstring name = DefaultName());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Decides this launch's role, giving `mine` (UTF-8 paths) to the running window if there is
    // one. Waits a few seconds at most, for that window only.
    Role claim(const HandOver& mine);
    // Called on the window's thread, from its message loop, for each later launch; what
    // arrived before it was given is kept for it.
    void onHandOver(std::function<void(const HandOver&)> take);

    static std::wstring DefaultName();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool handOver(const HandOver& mine) const;
    bool listen();

    std::wstring name_;
    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
    std::deque<HandOver> arrived_;
    std::function<void(const HandOver&)> take_;
};

}  // namespace gantrylux::win32
