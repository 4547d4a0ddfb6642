// The program as the installer left it, started by the installer's test
// (tests/installer/installer-test), which names it in GANTRYLUX_INSTALLED_PROGRAM.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "program_process.hpp"
#include "win32/main_window.hpp"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

TEST(InstalledProgram, StartsAndLoadsTheSamplesInstalledBesideIt) {
    const char* installed = std::getenv("GANTRYLUX_INSTALLED_PROGRAM");
    if (installed == nullptr) {
        GTEST_SKIP() << "run by tests/installer/installer-test";
    }
    const ProgramProcess program(Wide(installed));
    ASSERT_NE(program.window(), nullptr);
    const HWND files = GetDlgItem(program.window(), control::kListView1);
    PostMessageW(GetDlgItem(program.window(), control::kPushButton5), BM_CLICK, 0, 0);
    // It asks whether to open the samples' folder: no.
    const HWND question = program.waitForWindow(L"#32770", std::chrono::seconds(20));
    ASSERT_NE(question, nullptr);
    PostMessageW(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    LRESULT rows = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (rows < 6 && std::chrono::steady_clock::now() < deadline) {
        Sleep(50);
        rows = SendMessageW(files, LVM_GETITEMCOUNT, 0, 0);
    }
    EXPECT_EQ(rows, 6);
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.handle(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
}  // namespace gantrylux::win32
