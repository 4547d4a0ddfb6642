#pragma once

#include <string_view>

namespace gantrylux {

inline constexpr std::string_view kProductName = "Gantrylux Software";
inline constexpr std::string_view kSupportEmail = "support@quillmere.com";
inline constexpr std::string_view kContactPage = "https://www.quillmere.com/contact";

// Identities of the trapped handlers, as the failure report names them.
namespace identity {
inline constexpr std::string_view kFormLoad = "Gantrylux2021/08/31.Form1.Form_Load";
inline constexpr std::string_view kFormQueryUnload = "Gantrylux2021/08/31.Form1.Form_QueryUnload";
inline constexpr std::string_view kHelp = "Gantrylux2021/08/31.Form1.PushButton7_Click";
inline constexpr std::string_view kAddFiles = "Gantrylux2021/08/31.Form1.PushButton1_Click";
inline constexpr std::string_view kClearFiles = "Gantrylux2021/08/31.Form1.PushButton3_Click";
inline constexpr std::string_view kAddAllFiles = "Gantrylux2021/08/31.Form1.PushButton4_Click";
inline constexpr std::string_view kLoadSamples = "Gantrylux2021/08/31.Form1.PushButton5_Click";
inline constexpr std::string_view kClearFolders = "Gantrylux2021/08/31.Form1.PushButton6_Click";
inline constexpr std::string_view kAddFolder = "Gantrylux2021/08/31.Form1.PushButton15_Click";
inline constexpr std::string_view kAddSubfolders = "Gantrylux2021/08/31.Form1.PushButton21_Click";
// The drops have no numbered steps: an unexpected failure reports step 0 rather than ending
// the program.
inline constexpr std::string_view kFileListDrop = "Gantrylux2021/08/31.Form1.ListView1_OLEDragDrop";
inline constexpr std::string_view kFolderListDrop =
    "Gantrylux2021/08/31.Form1.ListView3_OLEDragDrop";
// The menus of a row and of the start button.
inline constexpr std::string_view kRowOpen = "Gantrylux2021/08/31.Form1.RowMenu_Open";
inline constexpr std::string_view kRowShowInFolder =
    "Gantrylux2021/08/31.Form1.RowMenu_ShowInFolder";
inline constexpr std::string_view kRowCopyPath = "Gantrylux2021/08/31.Form1.RowMenu_CopyPath";
inline constexpr std::string_view kOpenAgain = "Gantrylux2021/08/31.Form1.OpenedMenu_OpenAgain";
inline constexpr std::string_view kOpenedShowInFolder =
    "Gantrylux2021/08/31.Form1.OpenedMenu_ShowInFolder";
}  // namespace identity

}  // namespace gantrylux
