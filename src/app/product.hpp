#pragma once

#include <string_view>

namespace gantrylux {

inline constexpr std::string_view kProductName = "Gantrylux Software";
inline constexpr std::string_view kApplicationTitle = "Gantrylux";
inline constexpr std::string_view kSupportEmail = "support@quillmere.com";
inline constexpr std::string_view kContactPage = "https://www.quillmere.com/contact";

// Identities of the trapped handlers, as the failure report names them.
namespace identity {
inline constexpr std::string_view kFormLoad = "Gantrylux2021/08/31.Form1.Form_Load";
inline constexpr std::string_view kFormQueryUnload = "Gantrylux2021/08/31.Form1.Form_QueryUnload";
inline constexpr std::string_view kHelp = "Gantrylux2021/08/31.Form1.PushButton7_Click";
}  // namespace identity

}  // namespace gantrylux
