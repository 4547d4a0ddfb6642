#include "win32/main_window.hpp"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/access_keys.hpp"
#include "app/window_layout.hpp"
#include "folders/win32_error.hpp"
#include "win32/accessible_names.hpp"
#include "win32/resource_ids.h"
#include "win32/wide_text.hpp"

namespace gantrylux::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"GantryluxMainWindow";
constexpr UINT kStartUpMessage = WM_APP + 1;
constexpr UINT kIntervalCheckMessage = WM_APP + 2;

const wchar_t kFileListToolTip[] =
    L"Drag and drop files here. Double-click item to remove it. Move | line to right and out of "
    L"window to reveal full names.";

constexpr int kPushButtons[] = {
    control::kPushButton1,  control::kPushButton4, control::kPushButton2,
    control::kPushButton3,  control::kPushButton5, control::kPushButton15,
    control::kPushButton21, control::kPushButton6, control::kPushButton7};

bool IsPushButton(int id) {
    return std::find(std::begin(kPushButtons), std::end(kPushButtons), id) !=
           std::end(kPushButtons);
}

void RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW kind{};
        kind.cbSize = sizeof kind;
        kind.style = CS_DBLCLKS;
        kind.lpfnWndProc = DefWindowProcW;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = kWindowClass;
        return RegisterClassExW(&kind) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("Cannot register the main window's class: " +
                                 SystemMessage(GetLastError()));
    }
}

}  // namespace

MainWindow::MainWindow(Win32Desktop& desktop, SettingsStore& store,
                       std::shared_ptr<const FileSystem> fs, const Clock& clock, ScreenFacts screen)
    : desktop_(desktop),
      screen_(std::move(screen)),
      mainForm_(*this, desktop, store, std::move(fs), clock) {
    RegisterWindowClass();
    // Made before it is laid out: the DPI and the work area are those of its monitor.
    window_ =
        CreateWindowExW(kWindowExStyle, kWindowClass, L"", kWindowStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        throw std::runtime_error("Cannot create the main window: " + SystemMessage(GetLastError()));
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    desktop_.setWindow(window_);
    dpi_ = screen_.dpi(window_);
    const RECT work = screen_.workArea(window_);
    fit_ = fitFactor(work);
    makeFonts();
    buildControls();
    refreshColours();
    ACCEL keys[] = {{FVIRTKEY, VK_F1, control::kHelpKey},
                    {FVIRTKEY, VK_ESCAPE, control::kEscapeKey}};
    accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    desktop_.setAccelerators(accelerators_);

    hand_ = LoadCursorW(nullptr, IDC_HAND);
    try {
        dragPath_ = desktop_.programFolder() + "\\drag.ico";
        drag_ = CursorFromFile(dragPath_);
        ownDrag_ = true;
    } catch (const std::runtime_error&) {
        drag_ = LoadCursorW(nullptr, IDC_SIZENS);
    }
    mainForm_.Form_Load();
    placeWindow(work, nullptr);
}

// The views observe the lists of mainForm_, which goes before them.
MainWindow::~MainWindow() {
    fileView_.reset();
    folderView_.reset();
    if (window_ != nullptr) {
        desktop_.setWindow(nullptr);
        desktop_.setAccelerators(nullptr);
        DestroyWindow(window_);
    }
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(buttonFont_),
                           static_cast<HGDIOBJ>(faceBrush_), static_cast<HGDIOBJ>(fieldBrush_),
                           static_cast<HGDIOBJ>(buttonBrush_)}) {
        DeleteObject(object);
    }
    if (ownHand_) {
        DestroyCursor(hand_);
    }
    if (ownDrag_) {
        DestroyCursor(drag_);
    }
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

HWND MainWindow::place(const wchar_t* kind, int id, const std::wstring& text, DWORD style, int left,
                       int top, int width, int height, HFONT font) {
    const HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                         pixels(left), pixels(top), pixels(width), pixels(height),
                                         window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         GetModuleHandleW(nullptr), nullptr);
    if (control == nullptr) {
        throw std::runtime_error("Cannot create a control of the main window: " +
                                 SystemMessage(GetLastError()));
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowSubclass(control, &ControlProc, static_cast<UINT_PTR>(id),
                      reinterpret_cast<DWORD_PTR>(this));
    return control;
}

// The tab order is the order of creation, so the controls are made in the table's order.
// Controls that sit in a frame are the window's own, placed over the frame; the frames come
// last, so that they lie beneath the rest and are never a Tab stop.
void MainWindow::buildControls() {
    using namespace control;
    bool firstOption = true;
    for (const ControlLayout& c : kWindowLayout) {
        const wchar_t* kind = WC_BUTTONW;
        DWORD style = WS_TABSTOP | WS_GROUP;
        switch (c.kind) {
            case ControlKind::List:
                kind = WC_LISTVIEWW;
                style |= WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
                break;
            case ControlKind::PushButton:
                style |= BS_PUSHBUTTON;
                break;
            case ControlKind::TextBox:
                kind = WC_EDITW;
                style |= WS_BORDER | ES_AUTOHSCROLL;
                break;
            case ControlKind::Option:
                // One group, one Tab stop: the arrow keys move between the options.
                style = (std::exchange(firstOption, false) ? style : 0) | BS_AUTORADIOBUTTON;
                break;
            case ControlKind::CheckBox:
                style |= BS_AUTOCHECKBOX;
                break;
            case ControlKind::Frame:
                style = WS_GROUP | BS_GROUPBOX;
                break;
        }
        placeSpokenLabel(c);
        place(kind, ControlId(c.name), Wide(CaptionWithAccessKey(c.caption, c.accessKey)), style,
              c.left, c.top, c.width, c.height,
              c.font == ControlFont::Button ? buttonFont_ : font_);
        if (!c.accessibleName.empty()) {
            NameForScreenReaders(item(ControlId(c.name)), Wide(c.accessibleName));
        }
    }
    CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX, 0, 0, 0, 0,
                    window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRunStatus)),
                    GetModuleHandleW(nullptr), nullptr);
    // The box would cut a longer stored text, and with it its meaning.
    SendMessageW(item(kText1), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SendMessageW(item(kOption1), BM_SETCHECK, BST_CHECKED, 0);
    const HWND list1 = item(kListView1);
    const HWND list3 = item(kListView3);

    for (HWND list : {list1, list3}) {
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        DragAcceptFiles(list, TRUE);
    }
    fileView_ = std::make_unique<PathListView>(list1, mainForm_.fileList());
    folderView_ = std::make_unique<PathListView>(list3, mainForm_.folderList());

    tip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(list1);
    tool.lpszText = const_cast<wchar_t*>(kFileListToolTip);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, pixels(6000));
    SetFocus(list1);
}

// A list or a box has no text of its own to be named by: screen readers name it after the
// label just before it among the window's children, here one without size that only they see.
void MainWindow::placeSpokenLabel(const ControlLayout& control) {
    if (control.kind != ControlKind::List && control.kind != ControlKind::TextBox) {
        return;
    }
    // A group of its own: otherwise the arrow keys would move the focus from the button
    // before it onto the label.
    const HWND label = CreateWindowExW(0, WC_STATICW, Wide(AccessibleName(control)).c_str(),
                                       WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX, 0, 0, 0, 0,
                                       window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (label == nullptr) {
        throw std::runtime_error("Cannot create a label of the main window: " +
                                 SystemMessage(GetLastError()));
    }
}

void MainWindow::show(int showCommand, std::function<void()> startUpFinished) {
    startUpFinished_ = std::move(startUpFinished);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (!std::exchange(shown_, true)) {
        // The start-up merge waits until the window shows: a huge or looping folder tree
        // would keep it from ever appearing.
        PostMessageW(window_, kStartUpMessage, 0, 0);
    }
}

void MainWindow::comeForward() {
    if (IsIconic(window_)) {
        ShowWindow(window_, SW_RESTORE);
    }
    SetForegroundWindow(window_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == LVN_GETDISPINFOW && folderView_ != nullptr) {
                (header->idFrom == control::kListView1 ? fileView_ : folderView_)
                    ->answerDisplayRequest(lParam);
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SYSCOLORCHANGE:
            // Common controls take a new colour scheme only when told.
            EnumChildWindows(
                window_,
                [](HWND child, LPARAM) -> BOOL {
                    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
                    return TRUE;
                },
                0);
            refreshColours();
            return 0;
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            // High Contrast is switched by a setting change, not always with new colours.
            refreshColours();
            break;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, faceBrush_);
            return 1;
        }
        case WM_CONTEXTMENU:
            if (onContextMenu(reinterpret_cast<HWND>(wParam), lParam)) {
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && onSetCursor(reinterpret_cast<HWND>(wParam))) {
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            mainForm_.Form_MouseMove();
            return 0;
        case WM_CLOSE:
            // The folder list is stored before anything of the window goes; every nested loop
            // then returns, and the main loop ends the program.
            mainForm_.Form_QueryUnload();
            ShowWindow(window_, SW_HIDE);
            mainForm_.Form_Unload();
            return 0;
        case kStartUpMessage:
            mainForm_.mergeAtStartUp([this] {
                if (startUpFinished_) {
                    startUpFinished_();
                }
            });
            return 0;
        case kIntervalCheckMessage:
            mainForm_.Text1_LostFocus();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::onCommand(int id, int code) {
    using namespace control;
    if (id == IDOK) {
        pressFocusedButton();
        return;
    }
    if (id == kHelpKey) {
        mainForm_.PushButton7_Click();
        return;
    }
    if (id == kEscapeKey || id == IDCANCEL) {
        mainForm_.Form_EscapeKey();
        return;
    }
    ListCommands& commands = mainForm_.commands();
    if (IsPushButton(id) && code == BN_CLICKED) {
        switch (id) {
            case kPushButton1:
                commands.PushButton1_Click();
                break;
            case kPushButton4:
                commands.PushButton4_Click();
                break;
            case kPushButton2:
                mainForm_.PushButton2_Click();
                break;
            case kPushButton3:
                commands.PushButton3_Click();
                break;
            case kPushButton5:
                commands.PushButton5_Click();
                break;
            case kPushButton15:
                commands.PushButton15_Click();
                break;
            case kPushButton21:
                commands.PushButton21_Click();
                break;
            case kPushButton6:
                commands.PushButton6_Click();
                break;
            case kPushButton7:
                mainForm_.PushButton7_Click();
                break;
            default:
                break;
        }
        return;
    }
    if (id == kCheck3 && code == BN_CLICKED) {
        mainForm_.Check3_Click();
    } else if (id == kText1 && code == EN_CHANGE) {
        mainForm_.Text1_Change();
    } else if ((id == kOption1 || id == kOption2 || id == kOption3) && code == BN_CLICKED) {
        optionChanged();
    }
}

// A click on the option already selected changes nothing and stores nothing.
void MainWindow::optionChanged() {
    const DisplayOption selected = displayOption();
    if (selected == option_) {
        return;
    }
    option_ = selected;
    mainForm_.Option_Click(selected);
}

LRESULT CALLBACK MainWindow::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<MainWindow*>(self)->handleControl(control, message, wParam, lParam);
}

LRESULT MainWindow::handleControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(control);
    ListCommands& commands = mainForm_.commands();
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &ControlProc, static_cast<UINT_PTR>(id));
    } else if (IsPushButton(id)) {
        if (message == WM_MOUSEMOVE) {
            mainForm_.PushButton_MouseMove();
        } else if (message == WM_LBUTTONDOWN && GetFocus() == item(control::kText1) &&
                   !mainForm_.Text1_LostFocus()) {
            // The interval box's check complained: the press that would have left it is
            // swallowed, as the focus went back to the box.
            return 0;
        }
    } else if (id == control::kText1 && message == WM_KILLFOCUS) {
        const auto next = reinterpret_cast<HWND>(wParam);
        // Only a move to another control of this window asks for a number: a message box or
        // another program taking the focus is no reason to complain.
        if (next != nullptr && IsChild(window_, next)) {
            PostMessageW(window_, kIntervalCheckMessage, 0, 0);
        }
    } else if (id == control::kListView1 || id == control::kListView3) {
        const bool files = id == control::kListView1;
        switch (message) {
            case WM_DROPFILES:
                dropFiles(control, reinterpret_cast<HDROP>(wParam));
                return 0;
            case WM_KEYDOWN:
                // The handler sees the key before the list does.
                if (files) {
                    commands.ListView1_KeyDown(static_cast<int>(wParam));
                } else {
                    commands.ListView3_KeyDown(static_cast<int>(wParam));
                }
                break;
            case WM_MOUSEMOVE:
                mainForm_.Form_MouseMove();
                break;
            case WM_NOTIFY: {
                const auto& from = *reinterpret_cast<const NMHDR*>(lParam);
                if (from.code == NM_CUSTOMDRAW && from.hwndFrom == ListView_GetHeader(control)) {
                    return drawHeader(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
                }
                break;
            }
            default:
                break;
        }
        if (files && fileView_ != nullptr) {
            if (const auto handled = handleFileList(message, wParam, lParam); handled >= 0) {
                return handled;
            }
        } else if (message == WM_LBUTTONDBLCLK) {
            const LRESULT result = DefSubclassProc(control, message, wParam, lParam);
            commands.ListView3_DblClick();
            return result;
        }
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void MainWindow::dropFiles(HWND list, HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Utf8(path));
    }
    DragFinish(drop);
    if (paths.empty()) {
        return;
    }
    if (list == fileView_->handle()) {
        mainForm_.commands().ListView1_OLEDragDrop(paths);
    } else {
        mainForm_.commands().ListView3_OLEDragDrop(paths);
    }
}

PathListView& MainWindow::view(ListId list) const {
    return list == ListId::Files ? *fileView_ : *folderView_;
}

void MainWindow::setCaption(const std::string& caption) {
    SetWindowTextW(window_, Wide(caption).c_str());
}

void MainWindow::showProgramIcon() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto load = [&](int sizeMetric) {
        const int size = GetSystemMetrics(sizeMetric);
        const auto icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
        if (icon == nullptr) {
            throw std::runtime_error("Cannot load the program icon: " +
                                     SystemMessage(GetLastError()));
        }
        return icon;
    };
    bigIcon_ = load(SM_CXICON);
    smallIcon_ = load(SM_CXSMICON);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

}  // namespace gantrylux::win32
