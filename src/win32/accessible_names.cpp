// clang-format off
#include <windows.h>  // first: the other system headers rely on it
#include <initguid.h>  // defines the property and class GUIDs of oleacc.h here
// clang-format on
#include "win32/accessible_names.hpp"

#include <oleacc.h>

namespace gantrylux::win32 {
namespace {

// Not in every SDK's headers.
constexpr DWORD kLiveRegionChanged = 0x8019;

}  // namespace

void NameForScreenReaders(HWND control, const std::wstring& name) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, name.c_str());
    services->Release();
}

void AnnounceChange(HWND status) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, status, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(kLiveRegionChanged, status, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace gantrylux::win32
