#include "win32/win32_desktop.hpp"

#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "folders/win32_error.hpp"
#include "folders/win32_file_system.hpp"
#include "lists/picked_files.hpp"
#include "win32/resource_ids.h"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

const wchar_t* Text(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

struct InputBoxState {
    const std::wstring* title;
    const std::wstring* prompt;
    std::wstring text;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<InputBoxState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, state->title->c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, state->prompt->c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_TEXT, state->text.c_str());
            // Typing replaces the proposal: the field has the focus, its text selected. FALSE
            // keeps the dialog manager from moving the focus to the first button.
            SetFocus(GetDlgItem(dialog, IDC_INPUT_TEXT));
            SendDlgItemMessageW(dialog, IDC_INPUT_TEXT, EM_SETSEL, 0, -1);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const HWND edit = GetDlgItem(dialog, IDC_INPUT_TEXT);
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(
                    GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                state->text = std::move(text);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

constexpr UINT kDeliverMessage = WM_APP + 40;
constexpr const wchar_t* kMailboxClass = L"GantryluxMailbox";

// The quoted path to hand the shell: past the classic limit, which the shell and most programs
// cannot open, its short form. A path without one is left out of the candidates by the merge.
std::u16string OpenableFile(const std::u16string& quoted) {
    if (quoted.size() < MAX_PATH || quoted.size() < 2) {
        return quoted;
    }
    const std::wstring path(quoted.begin() + 1, quoted.end() - 1);
    const std::optional<std::wstring> openable = OpenablePath(path);
    if (!openable) {
        return quoted;
    }
    return u"\"" + std::u16string(openable->begin(), openable->end()) + u"\"";
}

}  // namespace

void ThrowForFileDialogError(DWORD extendedError) {
    if (extendedError == FNERR_BUFFERTOOSMALL) {
        throw SelectionTooLong();
    }
    if (extendedError != 0) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(extendedError));
        throw std::runtime_error(std::string("The file dialog failed (common dialog error ") +
                                 code + ")");
    }
}

std::string Win32Desktop::ShellExecuteOpener(const ShellExecuteArguments& a, OpenHeld held) {
    try {
        StartDetached([a, held = std::move(held)] {
            // The shell's handlers may use COM, which wants an apartment on this thread.
            const HRESULT com =
                CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
            const std::u16string file = OpenableFile(a.file);
            SHELLEXECUTEINFOW info{};
            info.cbSize = sizeof info;
            // The thread ends after the call, so the shell must finish its work within it. An
            // open's failure is never told, so no error box. No owner either: a prompt the shell
            // still shows (a security warning, a credentials box) is modal on this thread and
            // would otherwise disable the main window, "Stop" with it.
            info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
            info.hwnd = nullptr;
            info.lpVerb = a.verb ? Text(*a.verb) : nullptr;
            info.lpFile = Text(file);
            info.lpParameters = a.parameters ? Text(*a.parameters) : nullptr;
            info.lpDirectory = Text(a.directory);
            info.nShow = a.showCommand;
            ShellExecuteExW(&info);
            if (SUCCEEDED(com)) {
                CoUninitialize();
            }
        });
    } catch (const std::exception& failure) {
        return "Files cannot be opened: no thread can be started to hand them to Windows (" +
               std::string(failure.what()) + ").";
    }
    return {};
}

Win32Desktop::Win32Desktop(Opener opener)
    : opener_(std::move(opener)),
      jobs_([this] { PostMessageW(mailboxWindow_, kDeliverMessage, 0, 0); }) {
    static const ATOM registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = MailboxProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = kMailboxClass;
        return RegisterClassExW(&type);
    }();
    if (registered == 0) {
        throw std::runtime_error("Cannot register the window class of background jobs");
    }
    mailboxWindow_ = CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    if (mailboxWindow_ == nullptr) {
        throw std::runtime_error("Cannot create the window of background jobs: " +
                                 SystemMessage(GetLastError()));
    }
    SetWindowLongPtrW(mailboxWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&jobs_));
}

Win32Desktop::~Win32Desktop() {
    jobs_.close();
    DestroyWindow(mailboxWindow_);
}

LRESULT CALLBACK Win32Desktop::MailboxProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == kDeliverMessage) {
        if (auto* jobs =
                reinterpret_cast<BackgroundJobs*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            jobs->deliver();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Win32Desktop::messageBox(const std::string& text, int style, const std::string& title) {
    return MessageBoxW(window_, Wide(text).c_str(), Wide(title.empty() ? title_ : title).c_str(),
                       static_cast<UINT>(style));
}

std::vector<std::string> Win32Desktop::openFiles(const std::string& title) {
    std::vector<wchar_t> buffer(kSelectionTextLimit, L'\0');
    const std::wstring caption = Wide(title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = L"All Files (*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = caption.c_str();
    // The read-only box shown and ticked; a typed name need not exist, as the file list keeps
    // any row it is given.
    dialog.Flags = OFN_READONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES;
    if (!GetOpenFileNameW(&dialog)) {
        ThrowForFileDialogError(CommDlgExtendedError());
        return {};  // cancelled
    }
    // One file: its full path. Several: the folder, then each name, each closed by a NUL.
    std::vector<std::wstring> parts;
    for (const wchar_t* part = buffer.data(); *part != L'\0'; part += wcslen(part) + 1) {
        parts.emplace_back(part);
    }
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths.push_back(Utf8(parts.front()));
        return paths;
    }
    std::wstring folder = parts.front();
    if (!folder.empty() && folder.back() != L'\\') {
        folder += L'\\';
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(Utf8(folder + parts[i]));
    }
    return paths;
}

std::string Win32Desktop::inputBox(const std::string& prompt, const std::string& proposal) {
    const std::wstring title = Wide(title_);
    // The dialog's static text breaks lines at CR LF only.
    std::wstring shown;
    for (const wchar_t c : Wide(prompt)) {
        if (c == L'\n' && (shown.empty() || shown.back() != L'\r')) {
            shown += L'\r';
        }
        shown += c;
    }
    InputBoxState state{&title, &shown, Wide(proposal)};
    const INT_PTR answer =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX), window_,
                        InputBoxProc, reinterpret_cast<LPARAM>(&state));
    if (answer == -1) {
        // Not a cancel: the box never showed, and the caller must not take it for one.
        throw std::runtime_error("Cannot show the input box: " + SystemMessage(GetLastError()));
    }
    return answer == IDOK ? Utf8(state.text) : std::string();
}

std::string Win32Desktop::browseForFolder(const std::string& title, const std::string& start) {
    const std::wstring caption = Wide(title);
    const std::wstring startFolder = Wide(start);
    BROWSEINFOW info{};
    info.hwndOwner = window_;
    info.lpszTitle = caption.c_str();
    // The classic dialog: it scrolls the start folder into view, where the newer one often
    // selects it out of sight.
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (chosen == nullptr) {
        return {};
    }
    std::vector<wchar_t> path(32768, L'\0');
    const bool found =
        SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(chosen);
    return found ? Utf8(path.data()) : std::string();
}

std::string Win32Desktop::programFolder() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    // A root keeps its separator ("C:\"); any other folder drops it.
    if (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    return Utf8(folder);
}

bool Win32Desktop::pumpMessages() {
    MSG message;
    while (!closing_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Every loop below the main one sees the closing and returns; the main one then
            // takes the quit again.
            closing_ = true;
            jobs_.close();
            exitCode_ = static_cast<int>(message.wParam);
            PostQuitMessage(exitCode_);
            break;
        }
        if (window_ != nullptr && accelerators_ != nullptr &&
            TranslateAcceleratorW(window_, accelerators_, &message) != 0) {
            continue;
        }
        if (window_ == nullptr || !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !closing_;
}

void Win32Desktop::startInBackground(std::function<void()> job,
                                     std::function<void(std::exception_ptr)> finished) {
    jobs_.start(std::move(job), std::move(finished));
}

void Win32Desktop::waitForEvents(std::chrono::steady_clock::time_point deadline) {
    using std::chrono::milliseconds;
    if (!pumpMessages()) {
        return;
    }
    const auto remaining =
        std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
    if (remaining <= milliseconds::zero()) {
        return;
    }
    const auto timeout = static_cast<DWORD>(std::min<milliseconds::rep>(
        remaining.count(), static_cast<milliseconds::rep>(INFINITE - 1)));
    if (MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
        WAIT_OBJECT_0) {
        pumpMessages();
    }
}

void Win32Desktop::processPendingEvents() {
    pumpMessages();
}

// Only a file that cannot be handed on at all is told; once handed on, its outcome is not.
std::string Win32Desktop::shellOpen(const std::string& path, int showCommand) {
    if (!readyToOpen()) {
        return "The file cannot be opened now: Windows has not yet answered for the last " +
               std::to_string(kMostOpensOut) + " files. Try again once one of them has opened.";
    }
    // Counted before the mark exists: should making it fail, its deleter still runs.
    opensOut_->fetch_add(1);
    OpenHeld held(nullptr, [count = opensOut_](const void*) { count->fetch_sub(1); });
    return opener_(MakeShellExecuteArguments(path, showCommand), std::move(held));
}

// Only the window's thread adds to the count, so a yes here holds for its next shellOpen.
bool Win32Desktop::readyToOpen() const {
    return opensOut_->load() < kMostOpensOut;
}

// Explorer at the file's folder with the file selected. The shell looks at the path first, which
// can hang on a share that does not answer, so it runs on a worker, as an open does.
void Win32Desktop::showInFolder(const std::string& path) {
    StartDetached([wide = Wide(path)] {
        const HRESULT com =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        PIDLIST_ABSOLUTE item = nullptr;
        if (SUCCEEDED(SHParseDisplayName(wide.c_str(), nullptr, &item, 0, nullptr))) {
            SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
            CoTaskMemFree(item);
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    });
}

void Win32Desktop::copyText(const std::string& text) {
    const std::wstring wide = Wide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (!OpenClipboard(window_)) {
        throw std::runtime_error("Cannot open the clipboard: " + SystemMessage(GetLastError()));
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (block != nullptr) {
        std::memcpy(GlobalLock(block), wide.c_str(), bytes);
        GlobalUnlock(block);
        placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    const DWORD failure = GetLastError();
    CloseClipboard();
    if (!placed) {
        if (block != nullptr) {
            GlobalFree(block);  // the clipboard owns it only once it is placed
        }
        throw std::runtime_error("Cannot put the text on the clipboard: " + SystemMessage(failure));
    }
}

void Win32Desktop::closeProgram() {
    if (!closing_) {
        closing_ = true;
        jobs_.close();
        PostQuitMessage(0);
    }
}

int Win32Desktop::runMessageLoop() {
    while (!closing_) {
        if (!pumpMessages()) {
            break;
        }
        WaitMessage();
    }
    return exitCode_;
}

}  // namespace gantrylux::win32
