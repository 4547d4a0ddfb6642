#include "app/folder_list_autosave.hpp"

#include "app/folder_list_text.hpp"

namespace gantrylux {

void FolderListAutosave::save() {
    store_.write(setting::kFolderList, JoinFolderList(folders_.packed()));
}

}  // namespace gantrylux
