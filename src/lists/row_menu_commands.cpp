// The menu of a row of either list: open it, show it in its folder, copy its path, remove it.
#include "base/procedure.hpp"
#include "base/product.hpp"
#include "lists/list_commands.hpp"

namespace gantrylux {
namespace {

constexpr int kShowNormal = 9;  // a restored window, as a run opens a file with "Normal"

}  // namespace

std::optional<std::string> ListCommands::selectedText(ListId list) const {
    const PathList& rows = list == ListId::Files ? files_ : folders_;
    const std::optional<std::size_t> selected = form_.selectedRow(list);
    if (!selected || *selected < 1 || *selected > rows.count()) {
        return std::nullopt;
    }
    return std::string(rows.at(*selected));
}

void ListCommands::RowMenu_Open(ListId list) {
    Procedure p{std::string(identity::kRowOpen), desktop_};
    p.step(100, [&] {
        if (const auto row = selectedText(list)) {
            if (const std::string failure = desktop_.shellOpen(*row, kShowNormal);
                !failure.empty()) {
                desktop_.messageBox(failure, message_style::kExclamation, "");
            }
        }
    });
}

void ListCommands::RowMenu_ShowInFolder(ListId list) {
    Procedure p{std::string(identity::kRowShowInFolder), desktop_};
    p.step(100, [&] {
        if (const auto row = selectedText(list)) {
            desktop_.showInFolder(*row);
        }
    });
}

void ListCommands::RowMenu_CopyPath(ListId list) {
    Procedure p{std::string(identity::kRowCopyPath), desktop_};
    p.step(100, [&] {
        if (const auto row = selectedText(list)) {
            desktop_.copyText(*row);
        }
    });
}

void ListCommands::RowMenu_Remove(ListId list) {
    if (list == ListId::Files) {
        ListView1_KeyDown(kDeleteKey);
    } else {
        ListView3_KeyDown(kDeleteKey);
    }
}

}  // namespace gantrylux
