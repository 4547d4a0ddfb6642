#include "folders/folder_watch.hpp"
#include "folders/inotify_folder_watch.hpp"

namespace gantrylux {

std::shared_ptr<FolderWatch> MakeNativeFolderWatch() {
    return InotifyFolderWatch::Open();
}

}  // namespace gantrylux
