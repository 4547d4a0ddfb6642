#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "folders/win32_api.hpp"

namespace gantrylux::testing {

// A fresh folder under the system's temporary folder, built and removed through "\\?\" paths so
// that long paths, read-only files and names the usual path parsing would trim all work.
class Win32TempFolder {
  public:
    Win32TempFolder() : Win32TempFolder(SystemTempFolder()) {}
    // Under another folder, given with its closing separator.
    explicit Win32TempFolder(const std::wstring& parent) {
        std::random_device seed;
        root_ = parent + L"gantrylux-win32-" + std::to_wstring(seed()) + std::to_wstring(seed());
        EXPECT_TRUE(CreateDirectoryW(Long(root_).c_str(), nullptr));
    }
    ~Win32TempFolder() { RemoveTree(Long(root_)); }
    Win32TempFolder(const Win32TempFolder&) = delete;
    Win32TempFolder& operator=(const Win32TempFolder&) = delete;

    // The full wide path of a relative one ("" for the folder itself).
    std::wstring at(const std::wstring& relative = L"") const {
        return relative.empty() ? root_ : root_ + L'\\' + relative;
    }
    static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

    void folder(const std::wstring& relative, DWORD attributes = 0) const {
        ASSERT_TRUE(CreateDirectoryW(Long(at(relative)).c_str(), nullptr)) << GetLastError();
        setAttributes(relative, attributes);
    }
    void file(const std::wstring& relative, DWORD attributes = 0) const {
        const HANDLE handle = CreateFileW(Long(at(relative)).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
        CloseHandle(handle);
        setAttributes(relative, attributes);
    }

    static std::wstring SystemTempFolder() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        return std::wstring(temp, length);
    }

  private:
    void setAttributes(const std::wstring& relative, DWORD attributes) const {
        if (attributes != 0) {
            ASSERT_TRUE(SetFileAttributesW(Long(at(relative)).c_str(), attributes));
        }
    }

    static void RemoveTree(const std::wstring& path) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        // A junction goes with RemoveDirectoryW alone: its target is not ours to empty.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            WIN32_FIND_DATAW found;
            const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    const std::wstring name = found.cFileName;
                    if (name != L"." && name != L"..") {
                        RemoveTree(path + L'\\' + name);
                    }
                } while (FindNextFileW(search, &found));
                FindClose(search);
            }
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    }

    std::wstring root_;
};

}  // namespace gantrylux::testing
