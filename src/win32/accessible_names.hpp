#pragma once

// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on

#include <string>

namespace gantrylux::win32 {

// Gives a control the name a screen reader says for it, over what the control's own text or
// the label before it would give. Without COM on this thread, or where the system keeps no
// such names, the control keeps the name its label gives it.
void NameForScreenReaders(HWND control, const std::wstring& name);

// Makes the status line's new text heard: screen readers speak a live region's changes.
void AnnounceChange(HWND status);

}  // namespace gantrylux::win32
