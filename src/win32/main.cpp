// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/application_title.hpp"
#include "base/product.hpp"
#include "folders/absolute_path.hpp"
#include "folders/folder_watch.hpp"
#include "folders/native_file_system.hpp"
#include "ports/worker_job.hpp"
#include "win32/command_line.hpp"
#include "win32/main_window.hpp"
#include "win32/registry_settings_store.hpp"
#include "win32/single_instance.hpp"
#include "win32/wide_text.hpp"

namespace {

// The arguments after the program's name.
std::vector<std::string> CommandLineArguments() {
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
    const std::vector<std::string> arguments = CommandLineArguments();
    if (const auto answer = gantrylux::win32::CommandLineAnswer(arguments)) {
        const std::wstring title =
            gantrylux::win32::Wide(gantrylux::MakeApplicationTitle(gantrylux::kProductName));
        MessageBoxW(nullptr, gantrylux::win32::Wide(*answer).c_str(), title.c_str(),
                    MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    // One window per session: a later launch hands its paths, absolute since the running
    // window works in another folder, to that window and ends. Where that cannot be done, it
    // opens a window of its own.
    gantrylux::HandOver mine;
    for (const std::string& path : arguments) {
        mine.paths.push_back(gantrylux::AbsolutePath(path));
    }
    gantrylux::win32::SingleInstance instance;
    if (instance.claim(mine) == gantrylux::win32::SingleInstance::Role::HandedOver) {
        return 0;
    }
    // The shell's dialogs on this thread want a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES |
                                                                          ICC_STANDARD_CLASSES |
                                                                          ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    int code = 0;
    try {
        gantrylux::win32::RegistrySettingsStore store;
        gantrylux::win32::Win32Desktop desktop;
        const gantrylux::SystemClock clock;
        gantrylux::win32::MainWindow window(desktop, store, gantrylux::MakeNativeFileSystem(),
                                            clock);
        window.mainForm().watchFolders(gantrylux::MakeNativeFolderWatch());
        window.mainForm().setCommandLinePaths(arguments);
        instance.onHandOver([&window](const gantrylux::HandOver& handOver) {
            window.comeForward();
            window.mainForm().commands().AddCommandLinePaths(handOver.paths, {}, handOver.notLocal);
        });
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
