#pragma once

// The one place where the Windows headers come in, trimmed and without the min/max macros that
// would break std::min and std::numeric_limits<...>::max in any file that includes this one.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winioctl.h>  // needs the types windows.h declares first
