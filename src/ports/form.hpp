#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace gantrylux {

class PathList;

enum class DisplayOption { Normal = 1, Maximized = 2, Minimized = 3 };

enum class ListId { Files, Folders };

// The window's pointer: the standard arrow, the hourglass, or the custom hand image.
enum class WindowPointer { Default = 0, Hourglass = 11, Custom = 99 };

// The main window as the core sees it. The window owns its controls; the core reads and sets
// them through here and never sees a widget.
class Form {
  public:
    virtual ~Form() = default;

    virtual void setCaption(const std::string& caption) = 0;
    virtual void showProgramIcon() = 0;
    // Loads the custom (hand) pointer from a cursor file; throws when it cannot be read.
    virtual void loadCustomPointer(const std::string& cursorPath) = 0;
    // Gives the window and its plain controls the button-face colour and applies the skin in
    // the file to the whole window; throws when the file cannot be read.
    virtual void applySkin(const std::string& skinPath) = 0;
    // The caption of the Start Opening / Stop button, which tells whether a run is active.
    virtual std::string startButtonCaption() const = 0;
    virtual void setStartButtonCaption(const std::string& caption) = 0;
    // The tool tip of "Start Opening"/"Stop": the last file opened, with its full path.
    virtual void setStartButtonTip(const std::string& tip) = 0;
    virtual void setPointer(WindowPointer pointer) = 0;

    virtual void addColumn(ListId list, const std::string& heading) = 0;
    // Column numbers are 1-based; widths are in twips.
    virtual void setColumnWidth(ListId list, int column, int twips) = 0;

    // The selected row of a list (1-based), if any.
    virtual std::optional<std::size_t> selectedRow(ListId list) const = 0;
    // Selects a row (1-based) and makes it the list's current one.
    virtual void selectRow(ListId list, std::size_t row) = 0;
    // Tells assistive technology what the run is doing, through the window's spoken status.
    virtual void announce(const std::string& text) = 0;

    // Setting a control behaves as if the user had changed it: its change handler runs.
    virtual bool endlessChecked() const = 0;
    virtual void setEndlessChecked(bool checked) = 0;
    virtual std::string intervalText() const = 0;
    virtual void setIntervalText(const std::string& text) = 0;
    virtual void focusIntervalText() = 0;
    // Exactly one display option is selected at any time.
    virtual DisplayOption displayOption() const = 0;
    virtual void selectDisplayOption(DisplayOption option) = 0;
};

}  // namespace gantrylux
