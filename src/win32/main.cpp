// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "folders/native_file_system.hpp"
#include "ports/worker_job.hpp"
#include "win32/main_window.hpp"
#include "win32/registry_settings_store.hpp"
#include "win32/wide_text.hpp"

namespace {

// Every argument is a path for the file list ("Open With", a drop on the program's icon).
std::vector<std::string> CommandLinePaths() {
    std::vector<std::string> paths;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return paths;
    }
    for (int i = 1; i < count; ++i) {
        paths.push_back(gantrylux::win32::Utf8(arguments[i]));
    }
    LocalFree(arguments);
    return paths;
}

// How long a close waits for workers that are about to end.
constexpr std::chrono::milliseconds kWorkersPatience{250};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    // The shell's dialogs and the handlers ShellExecuteW runs want a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES |
                                                                          ICC_STANDARD_CLASSES |
                                                                          ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int code = 0;
    try {
        gantrylux::win32::RegistrySettingsStore store;
        gantrylux::win32::Win32Desktop desktop;
        const auto fs = gantrylux::MakeNativeFileSystem();
        const gantrylux::SystemClock clock;
        gantrylux::win32::MainWindow window(desktop, store, *fs, clock);
        window.mainForm().setCommandLinePaths(CommandLinePaths());
        window.show(showCommand);
        code = desktop.runMessageLoop();
        if (!gantrylux::JoinWorkers(kWorkersPatience)) {
            // A worker is stuck in a call on a share that does not answer, or still busy; the
            // folder list is stored, and waiting could take for ever. ExitProcess stops the
            // workers before any static destructor runs.
            ExitProcess(static_cast<UINT>(code));
        }
    } catch (const std::exception& failure) {
        MessageBoxW(nullptr, gantrylux::win32::Wide(failure.what()).c_str(), L"Gantrylux Software",
                    MB_OK | MB_ICONERROR);
        code = 1;
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return code;
}
