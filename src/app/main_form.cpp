#include "app/main_form.hpp"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/application_title.hpp"
#include "app/folder_list_text.hpp"
#include "base/number_text.hpp"
#include "base/procedure.hpp"
#include "base/product.hpp"
#include "folders/existence.hpp"

namespace gantrylux {
namespace {

// Handlers that have no numbered steps of their own still report a failure (a settings file
// that cannot be written) instead of letting it end the program.
void RunUntrapped(std::string_view handler, Desktop& desktop, auto&& body) {
    Procedure procedure{"Gantrylux2021/08/31.Form1." + std::string(handler), desktop};
    procedure.step(0, body);
}

const char* TruthText(bool value) {
    return value ? "True" : "False";
}

}  // namespace

MainForm::MainForm(Form& form, Desktop& desktop, SettingsStore& store,
                   std::shared_ptr<const FileSystem> fs, const Clock& clock,
                   std::chrono::milliseconds answerDeadline)
    : form_(form),
      desktop_(desktop),
      store_(store),
      fs_(std::move(fs)),
      busy_([this](bool busy) {
          form_.setPointer(busy ? WindowPointer::Hourglass : WindowPointer::Default);
      }),
      merger_(fileList_, folderList_, candidateList_, busy_, desktop, fs_, answerDeadline),
      run_(form, desktop, candidateList_, clock, &merger_),
      commands_(form, desktop, store, fs_, fileList_, folderList_, busy_, merger_, answerDeadline),
      folderAutosave_(folderList_, store) {}

void MainForm::Form_Load() {
    Procedure p{std::string(identity::kFormLoad), desktop_};
    applySkinAndPointer(p);
    p.step(122, [&] {
        form_.setCaption(std::string(kProductName));
        form_.showProgramIcon();
        desktop_.setApplicationTitle(MakeApplicationTitle(kProductName));
    });
    p.step(124, [&] { form_.addColumn(ListId::Files, "File(s)"); });
    p.step(126, [&] { form_.setColumnWidth(ListId::Files, 1, 7000); });
    p.step(128, [&] { form_.addColumn(ListId::Folders, "Folder(s)"); });
    p.step(130, [&] { form_.addColumn(ListId::Folders, ""); });
    p.step(132, [&] { form_.setColumnWidth(ListId::Folders, 1, 6800); });
    p.step(134, [&] { form_.setColumnWidth(ListId::Folders, 2, 1); });
    restoreFolderList(p);
    restoreControls(p);
    // From here on every change of the folder list is stored as it happens.
    folderList_.addObserver(folderAutosave_);
}

// A failure here is still one of the start-up's, reported under its step.
void MainForm::mergeAtStartUp(std::function<void()> finished) {
    if (desktop_.closing()) {
        return;  // closed before the merge came to run
    }
    Procedure p{std::string(identity::kFormLoad), desktop_};
    p.step(148, [&] { merger_.CorrelateListviewsWrapper(); });
    merger_.whenMerged([this, finished = std::move(finished)] {
        if ((!commandLinePaths_.empty() || !commandLineNotLocal_.empty()) && !desktop_.closing()) {
            commands_.AddCommandLinePaths(std::exchange(commandLinePaths_, {}), finished,
                                          std::exchange(commandLineNotLocal_, {}));
        } else if (finished) {
            finished();
        }
    });
}

// The skin and the hand pointer are files beside the program; without them the window keeps
// its own white look and the platform's pointing hand.
void MainForm::applySkinAndPointer(Procedure& p) {
    const std::string separator(1, fs_->separator());
    p.step(100, [&] {
        const std::string skin = desktop_.programFolder() + separator + "x" + separator + "o.cjs";
        // A lookup for ordinary files finds it: a hidden or system file is no skin.
        const auto bits = fs_->attributes(skin);
        if (FileExists(*fs_, skin) && bits &&
            (*bits & (attribute::kHidden | attribute::kSystem)) == 0) {
            form_.applySkin(skin);
        }
    });
    std::string pointer;
    bool present = false;
    p.step(102, [&] {
        pointer = desktop_.programFolder() + separator + "HAND-M.CUR";
        present = PathExists(*fs_, pointer);
    });
    if (present) {
        p.step(104, [&] { form_.loadCustomPointer(pointer); });
    }
}

void MainForm::PushButton_MouseMove() {
    if (!busy_.busy()) {
        form_.setPointer(WindowPointer::Custom);
    }
}

void MainForm::Form_MouseMove() {
    if (!busy_.busy()) {
        form_.setPointer(WindowPointer::Default);
    }
}

void MainForm::restoreFolderList(Procedure& p) {
    std::string stored;
    bool present = false;
    p.step(136, [&] {
        stored = store_.read(setting::kFolderList, "");
        present = !stored.empty();
        // The first read of the start-up tells of a store that could not be read, once for
        // all its keys. What could be read is used still: starting from the defaults would
        // store them over the user's folder list and choices at the next write.
        if (const auto failure = store_.readFailure()) {
            throw std::runtime_error(*failure);
        }
    });
    if (!present) {
        return;
    }
    std::vector<std::string> pieces;
    p.step(138, [&] { pieces = SplitFolderList(stored); });
    for (const std::string& piece : pieces) {
        bool keep = false;
        p.step(142, [&] { keep = IsFolderRowPiece(piece); });
        if (keep) {
            p.step(144, [&] { folderList_.append(piece); });
        }
    }
}

void MainForm::restoreControls(Procedure& p) {
    // Setting a control runs its change handler, which would store back what was just read,
    // or a tidied form of it: the start-up leaves the store as it found it.
    restoring_ = true;
    const struct Restored {
        bool& restoring;
        ~Restored() { restoring = false; }
    } restored{restoring_};
    p.step(150, [&] {
        form_.setEndlessChecked(ReadNumber(store_.read(setting::kInfiniteLoop, "0")) != 0);
    });
    p.step(152, [&] { form_.setIntervalText(store_.read(setting::kInterval, "1")); });
    // A stored "False" never clears a selection: the options are one exclusive group, and a
    // state with none selected would open files hidden.
    const struct {
        int step;
        std::string_view key;
        std::string_view defaultText;
        DisplayOption option;
    } options[] = {{154, setting::kOption1, "1", DisplayOption::Normal},
                   {156, setting::kOption2, "0", DisplayOption::Maximized},
                   {158, setting::kOption3, "0", DisplayOption::Minimized}};
    for (const auto& o : options) {
        p.step(o.step, [&] {
            if (ReadTruthValue(store_.read(o.key, o.defaultText))) {
                form_.selectDisplayOption(o.option);
            }
        });
    }
}

void MainForm::Form_QueryUnload() {
    Procedure p{std::string(identity::kFormQueryUnload), desktop_};
    std::string text;
    std::size_t rows = 0;
    p.step(100, [&] { text.clear(); });
    p.step(102, [&] { rows = folderList_.count(); });
    for (std::size_t row = 1; row <= rows; ++row) {
        p.step(104, [&] {
            text += folderList_.at(row);
            text += ';';
        });
    }
    p.step(108, [&] { store_.write(setting::kFolderList, text); });
}

void MainForm::Form_Unload() {
    desktop_.closeProgram();
}

void MainForm::Check3_Click() {
    if (restoring_) {
        return;
    }
    RunUntrapped("Check3_Click", desktop_,
                 [&] { store_.write(setting::kInfiniteLoop, form_.endlessChecked() ? "1" : "0"); });
}

void MainForm::Option1_Click() {
    storeDisplayOptions("Option1_Click");
}

void MainForm::Option2_Click() {
    storeDisplayOptions("Option2_Click");
}

void MainForm::Option3_Click() {
    storeDisplayOptions("Option3_Click");
}

void MainForm::Option_Click(DisplayOption selected) {
    switch (selected) {
        case DisplayOption::Normal:
            Option1_Click();
            break;
        case DisplayOption::Maximized:
            Option2_Click();
            break;
        case DisplayOption::Minimized:
            Option3_Click();
            break;
    }
}

// Each option button stores all three: selecting one clears the other two.
void MainForm::storeDisplayOptions(std::string_view handler) {
    if (restoring_) {
        return;
    }
    RunUntrapped(handler, desktop_, [&] {
        const DisplayOption selected = form_.displayOption();
        store_.write(setting::kOption1, TruthText(selected == DisplayOption::Normal));
        store_.write(setting::kOption2, TruthText(selected == DisplayOption::Maximized));
        store_.write(setting::kOption3, TruthText(selected == DisplayOption::Minimized));
    });
}

void MainForm::Text1_Change() {
    if (restoring_) {
        return;
    }
    RunUntrapped("Text1_Change", desktop_,
                 [&] { store_.write(setting::kInterval, form_.intervalText()); });
}

bool MainForm::Text1_LostFocus() {
    try {
        ReadNumber(form_.intervalText());
        return true;
    } catch (const ConversionFailure&) {
    }
    desktop_.messageBox("Must be a numeric entry.", message_style::kOkOnly, "");
    form_.focusIntervalText();
    return false;
}

void MainForm::OpenedMenu_OpenAgain(const std::string& path) {
    Procedure p{std::string(identity::kOpenAgain), desktop_};
    p.step(100, [&] {
        const std::string failure = desktop_.shellOpen(path, ShowCommandFor(form_.displayOption()));
        if (!failure.empty()) {
            desktop_.messageBox(failure, message_style::kExclamation, "");
        }
    });
}

void MainForm::OpenedMenu_ShowInFolder(const std::string& path) {
    Procedure p{std::string(identity::kOpenedShowInFolder), desktop_};
    p.step(100, [&] { desktop_.showInFolder(path); });
}

void MainForm::PushButton7_Click() {
    Procedure p{std::string(identity::kHelp), desktop_};
    p.step(100, [&] {
        desktop_.messageBox(
            "Questions? Please contact Team Quillmere at " + std::string(kContactPage),
            message_style::kOkOnly, "");
    });
}

}  // namespace gantrylux
