#pragma once

#include "folders/win32_api.hpp"

namespace gantrylux::win32 {

// Owns a kernel handle and closes it on every way out, throws included. Some calls fail with
// a null handle (events), others with INVALID_HANDLE_VALUE (files): neither is closed.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

}  // namespace gantrylux::win32
