#include "folders/folder_watch.hpp"
#include "folders/win32_folder_watch.hpp"

namespace gantrylux {

std::shared_ptr<FolderWatch> MakeNativeFolderWatch() {
    return std::make_shared<Win32FolderWatch>();
}

}  // namespace gantrylux
