#include "win32/single_instance.hpp"

#include <chrono>
#include <thread>

#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

// WM_COPYDATA's tag for a hand-over: "GLX1".
constexpr ULONG_PTR kHandOverTag = 0x31584C47;
constexpr UINT kDeliverMessage = WM_APP + 1;
constexpr auto kPatience = std::chrono::seconds(10);

std::string Utf16Bytes(const std::string& utf8) {
    const std::wstring wide = Wide(utf8);
    return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)};
}

std::string Utf8FromBytes(const std::string& bytes) {
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(bytes.begin(),
              bytes.begin() + static_cast<std::ptrdiff_t>(wide.size() * sizeof(wchar_t)),
              reinterpret_cast<char*>(wide.data()));
    return Utf8(wide);
}

HandOver Converted(const HandOver& from, std::string (*convert)(const std::string&)) {
    HandOver to;
    for (const std::string& path : from.paths) {
        to.paths.push_back(convert(path));
    }
    for (const std::string& path : from.notLocal) {
        to.notLocal.push_back(convert(path));
    }
    return to;
}

}  // namespace

std::wstring SingleInstance::DefaultName() {
    wchar_t given[128] = L"";
    const DWORD length = GetEnvironmentVariableW(L"GANTRYLUX_INSTANCE", given, 128);
    return length > 0 && length < 128 ? std::wstring(given) : std::wstring(L"GantryluxSoftware");
}

SingleInstance::SingleInstance(std::wstring name) : name_(std::move(name)) {}

void SingleInstance::onHandOver(std::function<void(const HandOver&)> take) {
    take_ = std::move(take);
    if (window_ != nullptr) {
        PostMessageW(window_, kDeliverMessage, 0, 0);  // what came before there was a taker
    }
}

SingleInstance::~SingleInstance() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (mutex_ != nullptr) {
        CloseHandle(mutex_);
    }
}

SingleInstance::Role SingleInstance::claim(const HandOver& mine) {
    // "Local\": one window per session, as each user's desktop is a session of its own.
    mutex_ = CreateMutexW(nullptr, FALSE, (L"Local\\" + name_ + L".Window").c_str());
    if (mutex_ == nullptr) {
        return Role::Alone;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return listen() ? Role::First : Role::Alone;
    }
    return handOver(mine) ? Role::HandedOver : Role::Alone;
}

bool SingleInstance::listen() {
    const std::wstring kind = name_ + L".HandOver";
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kind.c_str();
    RegisterClassExW(&windowClass);  // fails harmlessly when registered before
    window_ = CreateWindowExW(0, kind.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        return false;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

// The running window may still be making its message window: it is looked for a while.
bool SingleInstance::handOver(const HandOver& mine) const {
    const std::wstring kind = name_ + L".HandOver";
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    HWND running = nullptr;
    while ((running = FindWindowExW(HWND_MESSAGE, nullptr, kind.c_str(), nullptr)) == nullptr &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (running == nullptr) {
        return false;
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(running, &owner);
    // This launch was started by the user, so it may let the running window come forward.
    AllowSetForegroundWindow(owner);
    std::string message = PackHandOver(Converted(mine, &Utf16Bytes));
    COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(message.size()), message.data()};
    DWORD_PTR taken = FALSE;
    const auto patience = std::chrono::duration_cast<std::chrono::milliseconds>(kPatience);
    return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG, static_cast<UINT>(patience.count()),
                               &taken) != 0 &&
           taken == TRUE;
}

// The sender waits for the answer, so the paths are only taken here; the window adds them
// from its own message loop.
LRESULT CALLBACK SingleInstance::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* self = reinterpret_cast<SingleInstance*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_COPYDATA) {
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data.dwData != kHandOverTag || data.lpData == nullptr) {
            return FALSE;
        }
        const std::optional<HandOver> handOver =
            UnpackHandOver(std::string_view(static_cast<const char*>(data.lpData), data.cbData));
        if (!handOver) {
            return FALSE;
        }
        self->arrived_.push_back(Converted(*handOver, &Utf8FromBytes));
        PostMessageW(window, kDeliverMessage, 0, 0);
        return TRUE;
    }
    if (message == kDeliverMessage) {
        while (self->take_ && !self->arrived_.empty()) {
            const HandOver handOver = std::move(self->arrived_.front());
            self->arrived_.pop_front();
            self->take_(handOver);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace gantrylux::win32
