#pragma once

// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/main_form.hpp"
#include "app/window_layout.hpp"
#include "ports/form.hpp"
#include "win32/path_list_view.hpp"
#include "win32/screen_facts.hpp"
#include "win32/win32_desktop.hpp"
#include "win32/window_colours.hpp"

namespace gantrylux::win32 {

// The control identifiers, for GetDlgItem.
namespace control {
inline constexpr int kListView1 = 1001;
inline constexpr int kListView3 = 1003;
inline constexpr int kPushButton1 = 1101;
inline constexpr int kPushButton2 = 1102;
inline constexpr int kPushButton3 = 1103;
inline constexpr int kPushButton4 = 1104;
inline constexpr int kPushButton5 = 1105;
inline constexpr int kPushButton6 = 1106;
inline constexpr int kPushButton7 = 1107;
inline constexpr int kPushButton15 = 1115;
inline constexpr int kPushButton21 = 1121;
inline constexpr int kText1 = 1201;
inline constexpr int kOption1 = 1301;
inline constexpr int kOption2 = 1302;
inline constexpr int kOption3 = 1303;
inline constexpr int kCheck3 = 1401;
inline constexpr int kFrame1 = 1501;
inline constexpr int kFrame2 = 1502;
inline constexpr int kFrame5 = 1505;
// The status line that screen readers speak; it has no size and no place in the table.
inline constexpr int kRunStatus = 1601;
// The commands of the window's keys.
inline constexpr int kHelpKey = 1801;
inline constexpr int kEscapeKey = 1802;

// The id of a control of the window's table, by its name.
int ControlId(std::string_view name);
}  // namespace control

// The main window on Win32 controls at their fixed places, and the glue from the window's
// messages to the handlers of MainForm. The window is made at once but shown by show().
class MainWindow : public Form {
  public:
    MainWindow(Win32Desktop& desktop, SettingsStore& store, std::shared_ptr<const FileSystem> fs,
               const Clock& clock, ScreenFacts screen = ScreenFacts::System());
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    // The menu of a row of either list: Open, Show in Folder, Copy Path, Remove.
    static HMENU MakeRowMenu();
    // The menu of "Start Opening"/"Stop": each file opened, with Show in Folder and Open Again.
    static HMENU MakeOpenedMenu(const std::deque<std::string>& opened);
    MainForm& mainForm() { return mainForm_; }
    // Shows the window; the start-up merge follows from the message loop, then the callback.
    void show(int showCommand, std::function<void()> startUpFinished = {});
    bool skinned() const { return skinned_; }
    // Restored from the task bar and brought to the front: another launch asked for it.
    void comeForward();

    // Form
    void setCaption(const std::string& caption) override;
    void showProgramIcon() override;
    void loadCustomPointer(const std::string& cursorPath) override;
    void applySkin(const std::string& skinPath) override;
    std::string startButtonCaption() const override;
    void setStartButtonCaption(const std::string& caption) override;
    void setStartButtonTip(const std::string& tip) override;
    void setPointer(WindowPointer pointer) override;
    void addColumn(ListId list, const std::string& heading) override;
    void setColumnWidth(ListId list, int column, int twips) override;
    std::optional<std::size_t> selectedRow(ListId list) const override;
    void selectRow(ListId list, std::size_t row) override;
    void announce(const std::string& text) override;
    bool endlessChecked() const override;
    void setEndlessChecked(bool checked) override;
    std::string intervalText() const override;
    void setIntervalText(const std::string& text) override;
    void focusIntervalText() override;
    DisplayOption displayOption() const override;
    void selectDisplayOption(DisplayOption option) override;

  private:
    // The frames paint only their edge and caption, so the window paints beneath its children.
    static constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    static constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

    // At the system's pointer size, or at `size` pixels a side.
    static HCURSOR CursorFromFile(const std::string& path, int size = 0);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleFileList(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls();
    // The size-less label a screen reader names a list or the interval box by.
    void placeSpokenLabel(const ControlLayout& control);
    HWND place(const wchar_t* kind, int id, const std::wstring& text, DWORD style, int left,
               int top, int width, int height, HFONT font);
    int pixels(int twips) const;
    double fitFactor(const RECT& workArea) const;
    void makeFonts();
    void layOut();
    void placeWindow(const RECT& workArea, const POINT* topLeft);
    void onDpiChanged(int dpi, const RECT& suggested);
    void resizePointers();
    void refreshColours();
    LRESULT controlColours(HDC dc, HWND control) const;
    LRESULT drawHeader(const NMCUSTOMDRAW& draw) const;
    void onCommand(int id, int code);
    void pressFocusedButton();
    bool onContextMenu(HWND over, LPARAM where);
    void optionChanged();
    bool onSetCursor(HWND over);
    void refreshPointer();
    void dropFiles(HWND list, HDROP drop);
    void endFileListPress();
    void moveOverFileList(POINT position, bool buttonHeld);
    PathListView& view(ListId list) const;
    HWND item(int id) const { return GetDlgItem(window_, id); }

    Win32Desktop& desktop_;
    ScreenFacts screen_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    double fit_ = 1;  // the share of its designed size the layout is drawn at, on a small screen
    HFONT font_ = nullptr;
    HFONT buttonFont_ = nullptr;
    WindowColours colours_{};
    HBRUSH faceBrush_ = nullptr;
    HBRUSH fieldBrush_ = nullptr;
    HBRUSH buttonBrush_ = nullptr;
    HWND tip_ = nullptr;             // the tool tips of the file list and the start button
    HACCEL accelerators_ = nullptr;  // F1 and Esc
    bool startTipShown_ = false;
    HCURSOR hand_ = nullptr;
    HCURSOR drag_ = nullptr;
    bool ownHand_ = false;
    bool ownDrag_ = false;
    std::string handPath_;
    std::string dragPath_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool skinned_ = false;
    WindowPointer pointer_ = WindowPointer::Default;
    bool fileListDragPointer_ = false;
    DisplayOption option_ = DisplayOption::Normal;
    std::unique_ptr<PathListView> fileView_;
    std::unique_ptr<PathListView> folderView_;
    std::function<void()> startUpFinished_;
    bool shown_ = false;
    MainForm mainForm_;
};

}  // namespace gantrylux::win32
