// The Windows window, started for real and driven with the messages the system would send.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app/access_keys.hpp"
#include "app/window_layout.hpp"
#include "folders/native_file_system.hpp"
#include "ports/clock.hpp"
#include "program_process.hpp"
#include "win32/main_window.hpp"
#include "win32/registry_settings_store.hpp"
#include "win32/resource_ids.h"
#include "win32/single_instance.hpp"
#include "win32/wide_text.hpp"
#include "win32/window_colours.hpp"

namespace gantrylux::win32 {
namespace {

// A folder of the repository, as Wine shows the Linux path.
std::string RepositoryFolder(std::string path) {
    path.insert(0, "Z:");
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string SamplesFolder() {
    return RepositoryFolder(GANTRYLUX_SAMPLES_DIR);
}

// Dialogs answered by the test; files "opened" by a stand-in that records them and, when told
// to, keeps them out as a shell that has not answered yet would.
class ScriptedDesktop : public Win32Desktop {
  public:
    ScriptedDesktop()
        : Win32Desktop([this](const ShellExecuteArguments& arguments, OpenHeld open) {
              opened.push_back(Utf8(std::wstring(arguments.file.begin(), arguments.file.end())));
              showCommands.push_back(arguments.showCommand);
              if (holdOpens) {
                  held.push_back(std::move(open));
              }
              if (onOpen) {
                  onOpen(opened.size());
              }
              return std::string();
          }) {}

    void waitForEvents(std::chrono::steady_clock::time_point deadline) override {
        if (whileFull && !readyToOpen()) {
            whileFull();
        }
        Win32Desktop::waitForEvents(deadline);
    }

    // A question is answered No (the buttons are the low four bits of the style).
    int messageBox(const std::string& text, int style, const std::string&) override {
        boxes.push_back(text);
        return (style & 0xF) == message_style::kYesNo ? message_answer::kNo : message_answer::kOk;
    }
    std::vector<std::string> openFiles(const std::string&) override { return {}; }
    std::string inputBox(const std::string&, const std::string&) override { return {}; }
    std::string browseForFolder(const std::string&, const std::string&) override {
        return pickedFolder;
    }
    std::string programFolder() const override { return folder; }

    std::vector<std::string> opened;
    std::vector<int> showCommands;
    std::vector<std::string> boxes;
    std::function<void(std::size_t opened)> onOpen;
    bool holdOpens = false;
    std::vector<OpenHeld> held;
    std::function<void()> whileFull;  // run by a wait while no further open is taken
    std::string folder = "Z:\\nonexistent-gantrylux-folder";
    std::string pickedFolder;  // by the folder picker
};

class WindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        keyPath_ = L"Software\\Quillmere Tests\\Gantrylux " +
                   Wide(::testing::UnitTest::GetInstance()->current_test_info()->name()) + L" " +
                   std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
    }

    void TearDown() override {
        window_.reset();
        if (!programFolder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(programFolder_, ignored);
        }
        // A closing test leaves the quit message behind; the next test starts afresh.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
    }

    // Starts the window as the program does and waits for the end of its start-up.
    void start() {
        store_ = std::make_unique<RegistrySettingsStore>(keyPath_);
        window_ = std::make_unique<MainWindow>(desktop_, *store_, fs_, clock_, screen_);
        bool started = false;
        window_->show(SW_SHOWNOACTIVATE, [&] { started = true; });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!started && std::chrono::steady_clock::now() < deadline) {
            desktop_.waitForEvents(std::chrono::steady_clock::now() +
                                   std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(started);
    }

    // A folder that stands for the program's own, for the files the window looks for beside it.
    std::filesystem::path programFolder() {
        if (programFolder_.empty()) {
            std::wstring name = keyPath_.substr(keyPath_.rfind(L'\\') + 1) + L" program";
            std::replace(name.begin(), name.end(), L'/', L'-');  // parameterised tests' names
            programFolder_ = std::filesystem::temp_directory_path() / name;
            std::filesystem::create_directories(programFolder_);
            desktop_.folder = Utf8(programFolder_.wstring());
        }
        return programFolder_;
    }

    // Endless, no wait between files, the samples folder in the folder list: set to run.
    void startWithEndlessRunOfTheSamples() {
        start();
        SetWindowTextW(item(control::kText1), L"0");
        click(control::kCheck3);
        drop(control::kListView3, {SamplesFolder()});
    }

    void placeSkin() {
        std::filesystem::create_directories(programFolder() / L"x");
        std::filesystem::copy_file(Wide(RepositoryFolder(GANTRYLUX_SKIN_FILE)),
                                   programFolder() / L"x" / L"o.cjs");
    }

    HWND item(int id) const { return GetDlgItem(window_->handle(), id); }

    // The pointer the system is given as the mouse moves over a control.
    HCURSOR pointerOver(int id) {
        SendMessageW(item(id), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        SendMessageW(item(id), WM_SETCURSOR, reinterpret_cast<WPARAM>(item(id)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    // A control's place in the window's client area.
    RECT placeOf(int id) const {
        RECT placed{};
        GetWindowRect(item(id), &placed);
        MapWindowPoints(nullptr, window_->handle(), reinterpret_cast<POINT*>(&placed), 2);
        return placed;
    }

    // Each control where the table puts it at this DPI, in the font of that size.
    void expectLaidOutAt(int dpi) const {
        const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
        for (const ControlLayout& c : kWindowLayout) {
            const int id = control::ControlId(c.name);
            const RECT placed = placeOf(id);
            EXPECT_EQ(placed.left, pixels(c.left)) << c.name << " at " << dpi;
            EXPECT_EQ(placed.top, pixels(c.top)) << c.name << " at " << dpi;
            EXPECT_EQ(placed.right - placed.left, pixels(c.width)) << c.name << " at " << dpi;
            EXPECT_EQ(placed.bottom - placed.top, pixels(c.height)) << c.name << " at " << dpi;
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(item(id), WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            const int hundredths = c.font == ControlFont::Button ? 1125 : 900;
            EXPECT_EQ(font.lfHeight, -MulDiv(hundredths, dpi, 7200)) << c.name << " at " << dpi;
        }
    }

    void placePointerFile() {
        std::filesystem::copy_file(Wide(RepositoryFolder(GANTRYLUX_POINTER_FILE)),
                                   programFolder() / L"HAND-M.CUR");
    }
    void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    bool checked(int id) const { return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string stored(std::string_view key) const { return store_->read(key, "<none>"); }

    std::vector<std::string> rows(int list) const {
        std::vector<std::string> texts;
        const auto count = SendMessageW(item(list), LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(4096, L'\0');
            LVITEMW request{};
            request.pszText = text.data();
            request.cchTextMax = static_cast<int>(text.size());
            text.resize(static_cast<std::size_t>(
                SendMessageW(item(list), LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&request))));
            texts.push_back(Utf8(text));
        }
        return texts;
    }

    // A drop as the shell delivers it: the paths in one block, each closed by a NUL.
    void drop(int list, const std::vector<std::string>& paths) {
        std::wstring names;
        for (const std::string& path : paths) {
            names += Wide(path);
            names += L'\0';
        }
        names += L'\0';
        const HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::copy(names.begin(), names.end(),
                  reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES)));
        GlobalUnlock(block);
        SendMessageW(item(list), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
        settle();
    }

    // Handles the window's messages until `done` holds or `patience` has passed.
    void serveUntil(const std::function<bool()>& done, std::chrono::seconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            desktop_.waitForEvents(std::chrono::steady_clock::now() +
                                   std::chrono::milliseconds(20));
        }
    }

    // Handles the window's messages until every background job has come back.
    void settle() {
        serveUntil([&] { return desktop_.jobsOut() == 0; }, std::chrono::seconds(20));
        ASSERT_EQ(desktop_.jobsOut(), 0);
    }

    // Makes `row` (from 0) the only selected row of the list.
    void select(int list, int row) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(item(list), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
        state.state = state.stateMask;
        SendMessageW(item(list), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
    }

    // The window with these rows, the folder rows stored, no wait between files; returns while
    // its start-up merge is still out. The window alone holds its file system.
    void startWithRows(const std::vector<std::string>& folderRows,
                       const std::vector<std::string>& fileRows = {}) {
        {
            RegistrySettingsStore filled(keyPath_);
            std::string stored;
            for (const std::string& row : folderRows) {
                stored += row + ";";
            }
            filled.write("ListView3", stored);
            filled.write("Interval", "0");
        }
        store_ = std::make_unique<RegistrySettingsStore>(keyPath_);
        window_ = std::make_unique<MainWindow>(desktop_, *store_, MakeNativeFileSystem(), clock_);
        for (const std::string& row : fileRows) {
            window_->mainForm().fileList().append(row);
        }
        window_->show(SW_SHOWNOACTIVATE, [this] { startedUp_ = true; });
        desktop_.processPendingEvents();
    }

    POINT rowCentre(int list, int row) const {
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(item(list), LVM_GETITEMRECT, row - 1, reinterpret_cast<LPARAM>(&bounds));
        return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }

    std::wstring keyPath_;
    std::filesystem::path programFolder_;
    ScriptedDesktop desktop_;
    std::shared_ptr<FileSystem> fs_ = MakeNativeFileSystem();
    SystemClock clock_;
    std::unique_ptr<RegistrySettingsStore> store_;
    std::unique_ptr<MainWindow> window_;
    bool startedUp_ = false;
    ScreenFacts screen_ = ScreenFacts::System();  // set before start()
};

TEST_F(WindowTest, StartsFromTheStoredSettings) {
    RegistrySettingsStore filled(keyPath_);
    filled.write("Infinite Loop", "1");
    filled.write("Interval", "2.5");
    filled.write("Option1", "False");
    filled.write("Option3", "True");
    filled.write("ListView3", SamplesFolder() + "\\;");
    start();
    EXPECT_TRUE(checked(control::kCheck3));
    EXPECT_EQ(window_->intervalText(), "2.5");
    EXPECT_FALSE(checked(control::kOption1));
    EXPECT_TRUE(checked(control::kOption3));
    EXPECT_EQ(rows(control::kListView3), std::vector<std::string>{SamplesFolder() + "\\"});
    EXPECT_EQ(window_->mainForm().candidateList().count(), 6u);
    EXPECT_TRUE(desktop_.boxes.empty());
    // The start-up leaves the store as it found it.
    EXPECT_EQ(stored("Option2"), "<none>");
}

TEST_F(WindowTest, StoresEveryChangeAsItHappens) {
    start();
    const struct {
        const char* change;
        std::function<void()> make;
        std::string_view key;
        std::string value;
    } changes[] = {
        {"check box", [&] { click(control::kCheck3); }, "Infinite Loop", "1"},
        {"option", [&] { click(control::kOption2); }, "Option2", "True"},
        {"option cleared", [] {}, "Option1", "False"},
        {"interval", [&] { SetWindowTextW(item(control::kText1), L"7"); }, "Interval", "7"},
        {"folder drop", [&] { drop(control::kListView3, {SamplesFolder()}); }, "ListView3",
         SamplesFolder() + "\\;"},
        {"folder clear", [&] { click(control::kPushButton6); }, "ListView3", ""},
    };
    for (const auto& c : changes) {
        c.make();
        EXPECT_EQ(stored(c.key), c.value) << c.change;
    }
}

TEST_F(WindowTest, SinglePassOpensEachDroppedFileOnce) {
    start();
    SetWindowTextW(item(control::kText1), L"0");
    click(control::kOption2);
    drop(control::kListView3, {SamplesFolder()});
    click(control::kPushButton2);
    std::vector<std::string> expected;
    for (const auto& entry : std::filesystem::directory_iterator(Wide(SamplesFolder()))) {
        expected.push_back("\"" + SamplesFolder() + "\\" + Utf8(entry.path().filename().wstring()) +
                           "\"");
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> opened = desktop_.opened;
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(desktop_.showCommands, std::vector<int>(expected.size(), SW_MAXIMIZE));
    EXPECT_EQ(window_->startButtonCaption(), "Start Opening");
}

// With every open still out, a pass waits for one to end, serving the window meanwhile: it drops
// no file, and "Stop" ends the wait.
TEST_F(WindowTest, APassWaitsForTheShellInsteadOfDroppingFiles) {
    const std::filesystem::path folder = programFolder() / "twenty";
    std::filesystem::create_directories(folder);
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "file" + std::to_string(i) + ".txt";
        std::ofstream(folder / name).put('x');
        expected.push_back("\"" + Utf8(folder.wstring()) + "\\" + name + "\"");
    }
    start();
    SetWindowTextW(item(control::kText1), L"0");
    drop(control::kListView3, {Utf8(folder.wstring())});
    desktop_.holdOpens = true;

    desktop_.whileFull = [&] { PostMessageW(item(control::kPushButton2), BM_CLICK, 0, 0); };
    click(control::kPushButton2);
    EXPECT_EQ(desktop_.opened.size(), std::size_t{Win32Desktop::kMostOpensOut});
    EXPECT_EQ(window_->startButtonCaption(), "Start Opening");

    desktop_.opened.clear();
    desktop_.whileFull = [&] { desktop_.held.erase(desktop_.held.begin()); };
    click(control::kPushButton2);
    std::sort(desktop_.opened.begin(), desktop_.opened.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(desktop_.opened, expected);
    EXPECT_TRUE(desktop_.boxes.empty());
}

TEST_F(WindowTest, StopEndsAnEndlessRun) {
    startWithEndlessRunOfTheSamples();
    desktop_.onOpen = [&](std::size_t count) {
        if (count == 20) {
            PostMessageW(item(control::kPushButton2), BM_CLICK, 0, 0);
        }
    };
    click(control::kPushButton2);  // returns when the run has ended
    EXPECT_GE(desktop_.opened.size(), 20u);
    EXPECT_LE(desktop_.opened.size(), 21u);
    EXPECT_EQ(window_->startButtonCaption(), "Start Opening");
}

TEST_F(WindowTest, ClosingDuringARunStoresTheFolderListAndOpensNoMore) {
    startWithEndlessRunOfTheSamples();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, keyPath_.c_str(), L"ListView3");
    desktop_.onOpen = [&](std::size_t count) {
        if (count == 3) {
            PostMessageW(window_->handle(), WM_CLOSE, 0, 0);
        }
    };
    click(control::kPushButton2);
    EXPECT_TRUE(desktop_.closing());
    EXPECT_LE(desktop_.opened.size(), 4u);
    EXPECT_EQ(stored("ListView3"), SamplesFolder() + "\\;");
    EXPECT_FALSE(IsWindowVisible(window_->handle()));
}

TEST_F(WindowTest, DraggingARowDownCarriesIt) {
    start();
    for (const char* text : {"A", "B", "C", "D"}) {
        window_->mainForm().fileList().append(text);
    }
    const HWND list = item(control::kListView1);
    const auto at = [&](int row) {
        const POINT p = rowCentre(control::kListView1, row);
        return MAKELPARAM(p.x, p.y);
    };
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at(2));
    SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(3));
    SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(4));
    SendMessageW(list, WM_LBUTTONUP, 0, at(4));
    EXPECT_EQ(rows(control::kListView1), (std::vector<std::string>{"A", "C", "D", "B"}));
    EXPECT_EQ(window_->selectedRow(ListId::Files), 4u);

    // Delete takes the selected row out.
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(rows(control::kListView1), (std::vector<std::string>{"A", "C", "D"}));
}

// The pointer the system asks for as the mouse moves: the hand drawn in the file beside the
// program (its own hot spot) over a button, the arrow over a list, the hourglass while busy.
TEST_F(WindowTest, ThePointerFollowsWhatIsUnderItAndTheBusyState) {
    placePointerFile();
    start();
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(pointerOver(control::kPushButton2), &hand));
    DeleteObject(hand.hbmMask);
    DeleteObject(hand.hbmColor);
    EXPECT_EQ(hand.xHotspot, 12u);
    EXPECT_EQ(hand.yHotspot, 1u);
    EXPECT_EQ(pointerOver(control::kListView1), LoadCursorW(nullptr, IDC_ARROW));
    {
        const BusyGuard busy(window_->mainForm().busy());
        EXPECT_EQ(pointerOver(control::kPushButton2), LoadCursorW(nullptr, IDC_WAIT));
        EXPECT_EQ(pointerOver(control::kListView3), LoadCursorW(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(pointerOver(control::kListView3), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(desktop_.boxes.empty());
}

// Each control of the table at its place, at the window's DPI, with its caption.
TEST_F(WindowTest, EveryControlOfTheLayoutTableSitsWhereItSays) {
    start();
    const HDC screen = GetDC(nullptr);
    expectLaidOutAt(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    for (const ControlLayout& c : kWindowLayout) {
        if (c.kind != ControlKind::List) {
            wchar_t caption[64] = L"";
            GetWindowTextW(item(control::ControlId(c.name)), caption, 64);
            EXPECT_EQ(Utf8(caption), CaptionWithAccessKey(c.caption, c.accessKey)) << c.name;
        }
    }
}

TEST_F(WindowTest, TheMenusHaveTheirItemsAndCopyPathFillsTheClipboard) {
    const HMENU menu = MainWindow::MakeRowMenu();
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        items.push_back(Utf8(text));
    }
    DestroyMenu(menu);
    EXPECT_EQ(items, (std::vector<std::string>{"Open", "Show in Folder", "Copy Path", "Remove"}));
    const HMENU opened = MainWindow::MakeOpenedMenu({"C:\\b.txt", "C:\\a.txt"});
    ASSERT_EQ(GetMenuItemCount(opened), 2);
    wchar_t first[64] = L"";
    GetMenuStringW(opened, 0, first, 64, MF_BYPOSITION);
    EXPECT_EQ(Utf8(first), "C:\\b.txt");
    const HMENU actions = GetSubMenu(opened, 0);
    wchar_t again[64] = L"";
    GetMenuStringW(actions, 1, again, 64, MF_BYPOSITION);
    EXPECT_EQ(GetMenuItemCount(actions), 2);
    EXPECT_EQ(Utf8(again), "Open Again");
    DestroyMenu(opened);

    start();
    const std::string path = "C:\\\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe\\x.txt";  // C:\Фото\x.txt
    window_->mainForm().fileList().append(path);
    LVITEMW selected{};
    selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(item(control::kListView1), LVM_SETITEMSTATE, 0,
                 reinterpret_cast<LPARAM>(&selected));
    window_->mainForm().commands().RowMenu_CopyPath(ListId::Files);
    ASSERT_TRUE(OpenClipboard(nullptr));
    std::wstring copied;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        copied = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(Utf8(copied), path);
    EXPECT_TRUE(desktop_.boxes.empty());
}

// Enter presses a focused command button; in a list it removes nothing.
TEST_F(WindowTest, EnterPressesTheFocusedButton) {
    start();
    drop(control::kListView1, {SamplesFolder()});
    ASSERT_FALSE(rows(control::kListView1).empty());
    const auto pressEnter = [&](int id) {
        SetFocus(item(id));
        PostMessageW(item(id), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(item(id), WM_KEYUP, VK_RETURN, 0xC0000001);
        desktop_.waitForEvents(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
        settle();
    };
    pressEnter(control::kListView1);
    EXPECT_FALSE(rows(control::kListView1).empty());
    pressEnter(control::kPushButton3);  // Clear List under the files
    EXPECT_TRUE(rows(control::kListView1).empty());
}

// The skin file beside the program gives the window's plain controls the button face; without
// it they are white.
class SkinTest : public WindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SkinTest, TheSkinFileGivesThePlainControlsTheButtonFace) {
    if (GetParam()) {
        placeSkin();
    }
    start();
    for (const int id : {control::kCheck3, control::kOption1}) {
        const HDC dc = GetDC(item(id));
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(window_->handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(item(id))));
        ReleaseDC(item(id), dc);
        LOGBRUSH shown{};
        ASSERT_EQ(GetObjectW(brush, sizeof shown, &shown), static_cast<int>(sizeof shown));
        EXPECT_EQ(shown.lbColor, GetParam() ? GetSysColor(COLOR_BTNFACE) : RGB(255, 255, 255));
    }
    if (GetParam()) {
        // A new colour scheme reaches the skinned controls. Only this test reads the face.
        const int element = COLOR_BTNFACE;
        const COLORREF before = GetSysColor(element);
        const COLORREF changed = RGB(10, 200, 30);
        SetSysColors(1, &element, &changed);
        SendMessageW(window_->handle(), WM_SYSCOLORCHANGE, 0, 0);
        const HDC dc = GetDC(item(control::kCheck3));
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(window_->handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(item(control::kCheck3))));
        ReleaseDC(item(control::kCheck3), dc);
        LOGBRUSH shown{};
        const int size = GetObjectW(brush, sizeof shown, &shown);
        SetSysColors(1, &element, &before);  // which makes the window take a new brush again
        ASSERT_EQ(size, static_cast<int>(sizeof shown));
        EXPECT_EQ(shown.lbColor, changed);
    }
    EXPECT_TRUE(desktop_.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithout, SkinTest, ::testing::Bool());

// System colours set for one test and put back after it.
class SystemColours {
  public:
    explicit SystemColours(const std::vector<std::pair<int, COLORREF>>& colours) {
        for (const auto& [element, colour] : colours) {
            elements_.push_back(element);
            before_.push_back(GetSysColor(element));
            after_.push_back(colour);
        }
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), after_.data());
    }
    ~SystemColours() {
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), before_.data());
    }
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

  private:
    std::vector<int> elements_;
    std::vector<COLORREF> before_;
    std::vector<COLORREF> after_;
};

enum class Scheme { Default, Dark, HighContrast };

// The contrast of a list header's first caption as drawn: the colour most of the column shows
// against the one of its pixels that stands out most from it.
double HeaderCaptionContrast(HWND list) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT all{};
    GetClientRect(header, &all);
    RECT part{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&part));
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), all.right, -all.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ before = SelectObject(dc, picture);
    SendMessageW(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<COLORREF> shown;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = part.top + 2; y < part.bottom - 2; ++y) {
        for (int x = part.left + 2; x < part.right - 2; ++x) {
            const DWORD p = pixels[y * all.right + x];
            shown.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    }
    SelectObject(dc, before);
    DeleteDC(dc);
    DeleteObject(picture);
    std::sort(shown.begin(), shown.end());
    COLORREF back = 0;
    std::ptrdiff_t most = 0;
    for (auto run = shown.begin(); run != shown.end();) {
        const auto end = std::upper_bound(run, shown.end(), *run);
        if (end - run > most) {
            most = end - run;
            back = *run;
        }
        run = end;
    }
    double contrast = 1;
    for (const COLORREF colour : shown) {
        contrast = std::max(contrast, ContrastRatio(colour, back));
    }
    return contrast;
}

// Every text of the window against its background, in each scheme, with and without the skin;
// the scheme changes while the window is open.
class ColourTest : public WindowTest,
                   public ::testing::WithParamInterface<std::tuple<Scheme, bool>> {
  protected:
    bool highContrast_ = false;  // outlives the window, which asks for it at any change
};

TEST_P(ColourTest, EveryTextReadsAgainstItsBackground) {
    const auto [scheme, skinned] = GetParam();
    if (skinned) {
        placeSkin();
    }
    screen_.highContrast = [this] { return highContrast_; };
    start();
    std::vector<std::pair<int, COLORREF>> colours;
    if (scheme == Scheme::Dark) {
        colours = {{COLOR_WINDOW, RGB(32, 32, 32)},
                   {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
                   {COLOR_BTNFACE, RGB(43, 43, 43)},
                   {COLOR_BTNTEXT, RGB(255, 255, 255)}};
    } else if (scheme == Scheme::HighContrast) {
        colours = {{COLOR_WINDOW, RGB(0, 0, 0)},
                   {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
                   {COLOR_BTNFACE, RGB(0, 0, 0)},
                   {COLOR_BTNTEXT, RGB(255, 255, 0)}};
    }
    const SystemColours changed(colours);
    highContrast_ = scheme == Scheme::HighContrast;
    SendMessageW(window_->handle(), WM_SYSCOLORCHANGE, 0, 0);
    SendMessageW(window_->handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);

    for (const ControlLayout& c : kWindowLayout) {
        const HWND control = item(control::ControlId(c.name));
        if (c.kind == ControlKind::List) {
            const auto back = static_cast<COLORREF>(SendMessageW(control, LVM_GETBKCOLOR, 0, 0));
            const auto text = static_cast<COLORREF>(SendMessageW(control, LVM_GETTEXTCOLOR, 0, 0));
            const auto textBack =
                static_cast<COLORREF>(SendMessageW(control, LVM_GETTEXTBKCOLOR, 0, 0));
            EXPECT_GE(ContrastRatio(text, back), kReadableContrast) << c.name;
            EXPECT_TRUE(textBack == back || textBack == CLR_NONE) << c.name;
            EXPECT_GE(HeaderCaptionContrast(control), kReadableContrast) << c.name << " header";
            continue;
        }
        // The control's own defaults, as it would draw were the window to leave them.
        const HDC dc = CreateCompatibleDC(nullptr);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        const UINT message = c.kind == ControlKind::TextBox      ? WM_CTLCOLOREDIT
                             : c.kind == ControlKind::PushButton ? WM_CTLCOLORBTN
                                                                 : WM_CTLCOLORSTATIC;
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(window_->handle(), message, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(control)));
        LOGBRUSH back{};
        ASSERT_EQ(GetObjectW(brush, sizeof back, &back), static_cast<int>(sizeof back)) << c.name;
        EXPECT_EQ(GetBkColor(dc), back.lbColor) << c.name;
        EXPECT_GE(ContrastRatio(GetTextColor(dc), back.lbColor), kReadableContrast) << c.name;
        DeleteDC(dc);
    }
}

INSTANTIATE_TEST_SUITE_P(Schemes, ColourTest,
                         ::testing::Combine(::testing::Values(Scheme::Default, Scheme::Dark,
                                                              Scheme::HighContrast),
                                            ::testing::Bool()));

// On a 1920x1080 work area the whole window lies inside it at every DPI, and a move to a monitor
// of another DPI lays every control out again there, at the place Windows suggests.
class ScaleTest : public WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(ScaleTest, TheWindowFitsTheWorkAreaAndFollowsItsMonitorsDpi) {
    const int dpi = GetParam();
    const RECT work{0, 0, 1920, 1080};
    screen_.dpi = [dpi](HWND) { return dpi; };
    screen_.workArea = [work](HWND) { return work; };
    placePointerFile();
    start();
    RECT window{};
    GetWindowRect(window_->handle(), &window);
    EXPECT_GE(window.left, work.left);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.right, work.right);
    EXPECT_LE(window.bottom, work.bottom);
    // Shrunk no more than it must be.
    EXPECT_GE(window.bottom - window.top, std::min(MulDiv(7995, dpi, 1440), 1000));
    RECT client{};
    GetClientRect(window_->handle(), &client);
    for (const ControlLayout& c : kWindowLayout) {
        const RECT placed = placeOf(control::ControlId(c.name));
        EXPECT_GE(placed.left, 0) << c.name;
        EXPECT_GE(placed.top, 0) << c.name;
        EXPECT_LE(placed.right, client.right) << c.name;
        EXPECT_LE(placed.bottom, client.bottom) << c.name;
    }
    if (MulDiv(7995, dpi, 1440) < 1000) {
        expectLaidOutAt(dpi);
    }

    const int next = dpi == 96 ? 144 : 96;
    RECT suggested{100, 50, 100 + MulDiv(window.right - window.left, next, dpi),
                   50 + MulDiv(window.bottom - window.top, next, dpi)};
    SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(next, next),
                 reinterpret_cast<LPARAM>(&suggested));
    expectLaidOutAt(next);
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(pointerOver(control::kPushButton2), &hand));
    BITMAP mask{};
    GetObjectW(hand.hbmMask, sizeof mask, &mask);
    DeleteObject(hand.hbmMask);
    DeleteObject(hand.hbmColor);
    EXPECT_EQ(mask.bmWidth, GetSystemMetricsForDpi(SM_CXCURSOR, static_cast<UINT>(next)));
    GetWindowRect(window_->handle(), &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaleTest, ::testing::Values(96, 144, 192, 240));

// Finds this process's dialog with the given title from another thread, hands it to `answer`
// and gives up after 20 s.
std::thread AnswerDialog(std::wstring title, std::function<void(HWND)> answer) {
    return std::thread([title = std::move(title), answer = std::move(answer)] {
        for (int attempt = 0; attempt < 400; ++attempt) {
            if (const HWND box = FindWindowW(L"#32770", title.c_str())) {
                answer(box);
                return;
            }
            Sleep(50);
        }
    });
}

// The real input box: the prompt's lines as the static text needs them, the proposal in the
// edit field, and what was typed on OK, nothing on Cancel.
TEST(InputBoxTest, GivesWhatWasTypedOrNothingWhenCancelled) {
    Win32Desktop desktop;
    const std::string title = "Gantrylux input " + std::to_string(GetCurrentProcessId());
    desktop.setApplicationTitle(title);
    for (const int button : {IDOK, IDCANCEL}) {
        std::wstring prompt(200, L'\0');
        std::wstring proposal(200, L'\0');
        std::thread answerer = AnswerDialog(Wide(title), [&](HWND box) {
            prompt.resize(static_cast<std::size_t>(GetDlgItemTextW(
                box, IDC_INPUT_PROMPT, prompt.data(), static_cast<int>(prompt.size()))));
            proposal.resize(static_cast<std::size_t>(GetDlgItemTextW(
                box, IDC_INPUT_TEXT, proposal.data(), static_cast<int>(proposal.size()))));
            SetDlgItemTextW(box, IDC_INPUT_TEXT, L"*.txt");
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        });
        const std::string answer = desktop.inputBox("Extension?\nOne per line", "*.*");
        answerer.join();
        EXPECT_EQ(prompt, L"Extension?\r\nOne per line");
        EXPECT_EQ(proposal, L"*.*");
        EXPECT_EQ(answer, button == IDOK ? "*.txt" : "");
    }
}

// The one real message box: another thread finds it by its title and answers No.
TEST(MessageBoxTest, ShowsTheRealBoxAndGivesItsAnswer) {
    Win32Desktop desktop;
    const std::wstring title = L"Gantrylux box " + std::to_wstring(GetCurrentProcessId());
    std::thread answerer = AnswerDialog(title, [](HWND box) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    });
    const int answer = desktop.messageBox("Go on?", message_style::kYesNo, Utf8(title));
    answerer.join();
    EXPECT_EQ(answer, message_answer::kNo);
}

// Run through tests/fuse/with-hanging-share, which mounts a share whose folder "dead" never
// answers and names it in GANTRYLUX_HANGING_SHARE; Wine reaches it through its Z: drive.
const char* HangingShare() {
    return std::getenv("GANTRYLUX_HANGING_SHARE");
}

// A folder row of the share, as the window stores it.
std::string ShareFolder(const char* name) {
    return RepositoryFolder(std::string(HangingShare()) + "/" + name) + "\\";
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

TEST_F(WindowTest, UnansweringShareHoldsNothingElseBack) {
    if (HangingShare() == nullptr) {
        GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
    }
    const std::string dead = ShareFolder("dead");
    const std::string live = ShareFolder("live");
    startWithRows({dead, live});
    EXPECT_TRUE(IsWindowVisible(window_->handle()));

    // "Start Opening" during the start-up merge starts with its candidates once they are in.
    click(control::kPushButton2);
    EXPECT_EQ(window_->startButtonCaption(), "Stop");
    serveUntil([&] { return startedUp_ && desktop_.opened.size() >= 2; }, std::chrono::seconds(40));
    std::vector<std::string> opened = desktop_.opened;
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened,
              (std::vector<std::string>{"\"" + live + "one.txt\"", "\"" + live + "two.txt\""}));
    ASSERT_EQ(desktop_.boxes.size(), 1u);
    EXPECT_NE(desktop_.boxes[0].find(dead), std::string::npos) << desktop_.boxes[0];

    // "Clear List", then a run of the file list.
    click(control::kPushButton6);
    settle();
    drop(control::kListView1, {SamplesFolder() + "\\Welcome to Gantrylux.txt"});
    click(control::kPushButton2);
    EXPECT_EQ(desktop_.opened.size(), 3u);

    // The close stores the rows and lets the window go at once.
    window_->mainForm().folderList().append(dead);
    const auto start = std::chrono::steady_clock::now();
    SendMessageW(window_->handle(), WM_CLOSE, 0, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(IsWindowVisible(window_->handle()));
    EXPECT_EQ(stored("ListView3"), dead + ";");
}

// While a merge waits on the share, Delete takes a file row and a folder row out at once, and no
// removed row supplies a file: neither those removed during the start-up merge, nor one removed
// between two draws while a folder just added keeps the next merge out.
TEST_F(WindowTest, UnansweringShareRowsRemovedDuringAMergeAreNeverOpened) {
    if (HangingShare() == nullptr) {
        GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
    }
    const std::string dead = ShareFolder("dead");
    const std::vector<std::string> files = {SamplesFolder() + "\\Tide Table.csv",
                                            SamplesFolder() + "\\Lighthouse.png",
                                            SamplesFolder() + "\\Welcome to Gantrylux.txt"};
    startWithRows({dead, ShareFolder("live")}, files);
    ASSERT_EQ(desktop_.jobsOut(), 1);
    select(control::kListView1, 1);
    SendMessageW(item(control::kListView1), WM_KEYDOWN, VK_DELETE, 0);
    select(control::kListView3, 1);
    SendMessageW(item(control::kListView3), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(rows(control::kListView1), (std::vector<std::string>{files[0], files[2]}));
    EXPECT_EQ(rows(control::kListView3), std::vector<std::string>{dead});

    desktop_.onOpen = [&](std::size_t count) {
        if (count == 1) {
            desktop_.pickedFolder = dead + "inner";
            PostMessageW(item(control::kPushButton15), BM_CLICK, 0, 0);  // "Add Folder"
            select(control::kListView1, desktop_.opened[0] == Quoted(files[0]) ? 1 : 0);
            PostMessageW(item(control::kListView1), WM_KEYDOWN, VK_DELETE, 0);
        }
    };
    click(control::kPushButton2);  // single pass, once the merge is in
    serveUntil([&] { return window_->startButtonCaption() == "Start Opening"; },
               std::chrono::seconds(40));
    ASSERT_EQ(desktop_.opened.size(), 1u);
    EXPECT_EQ(rows(control::kListView1), std::vector<std::string>{desktop_.opened[0].substr(
                                             1, desktop_.opened[0].size() - 2)});
    ASSERT_EQ(desktop_.boxes.size(), 2u);  // that each folder of the share does not answer
    EXPECT_NE(desktop_.boxes[1].find(dead + "inner"), std::string::npos) << desktop_.boxes[1];
}

// "Load Sample/Example Files" while a read of the share is out: the question comes while the
// merge still waits on the share, the samples are added, and a run opens them.
TEST_F(WindowTest, UnansweringShareLeavesTheSamplesToLoad) {
    if (HangingShare() == nullptr) {
        GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
    }
    std::filesystem::copy(Wide(SamplesFolder()), programFolder() / L"Samples");
    std::vector<std::string> samples;
    for (const auto& entry : std::filesystem::directory_iterator(programFolder() / L"Samples")) {
        samples.push_back(Quoted(Utf8(entry.path().wstring())));
    }
    std::sort(samples.begin(), samples.end());
    startWithRows({ShareFolder("dead")});
    click(control::kPushButton5);
    serveUntil([&] { return !desktop_.boxes.empty(); }, std::chrono::seconds(20));
    ASSERT_EQ(desktop_.boxes.size(), 1u);
    EXPECT_NE(desktop_.boxes[0].find("sample files"), std::string::npos) << desktop_.boxes[0];
    EXPECT_FALSE(startedUp_);
    EXPECT_EQ(rows(control::kListView1).size(), samples.size());

    click(control::kPushButton2);
    serveUntil([&] { return window_->startButtonCaption() == "Start Opening"; },
               std::chrono::seconds(40));
    std::sort(desktop_.opened.begin(), desktop_.opened.end());
    EXPECT_EQ(desktop_.opened, samples);
}

// The shell looks at a file before it opens it, and on the share that look never returns: the
// window must have its thread back at once all the same.
TEST(UnansweringShare, OpeningAFileOnItNeverHoldsTheWindow) {
    if (HangingShare() == nullptr) {
        GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
    }
    const std::string file = ShareFolder("dead") + "x.txt";
    Win32Desktop desktop;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(desktop.shellOpen(file, SW_SHOWNORMAL), "");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// The program itself, closed while its start-up merge waits on the share: the process ends
// within a second, with the folder rows stored.
TEST(UnansweringShare, ACloseEndsTheProgramWithinASecondWithTheRowsStored) {
    if (HangingShare() == nullptr) {
        GTEST_SKIP() << "run through tests/fuse/with-hanging-share";
    }
    const std::string rows = ShareFolder("dead") + ";" + ShareFolder("live") + ";";
    RegistrySettingsStore settings;
    const std::string before = settings.read("ListView3", "");
    settings.write("ListView3", rows);

    const ProgramProcess program(Wide(RepositoryFolder(GANTRYLUX_PROGRAM)));
    ASSERT_NE(program.window(), nullptr);
    Sleep(2000);  // the start-up merge waits on the share meanwhile
    EXPECT_EQ(WaitForSingleObject(program.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    const auto start = std::chrono::steady_clock::now();
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    const DWORD ended = WaitForSingleObject(program.handle(), 10000);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(ended, static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(took, std::chrono::seconds(1))
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_EQ(settings.read("ListView3", ""), rows);
    settings.write("ListView3", before);
}

}  // namespace
}  // namespace gantrylux::win32

namespace gantrylux::win32 {
namespace {

// The focus is in the field with the proposal selected: typed keys replace it, Enter accepts.
TEST(InputBoxTest, TypingReplacesTheProposalAtOnce) {
    Win32Desktop desktop;
    const std::string title = "Gantrylux typing " + std::to_string(GetCurrentProcessId());
    desktop.setApplicationTitle(title);
    HWND focused = nullptr;
    DWORD selectionEnd = 0;
    std::thread typist = AnswerDialog(Wide(title), [&](HWND box) {
        GUITHREADINFO state{};
        state.cbSize = sizeof state;
        for (int attempt = 0; attempt < 100 && state.hwndFocus == nullptr; ++attempt) {
            Sleep(20);
            GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &state);
        }
        focused = state.hwndFocus;
        SendMessageW(GetDlgItem(box, IDC_INPUT_TEXT), EM_GETSEL, 0,
                     reinterpret_cast<LPARAM>(&selectionEnd));
        for (const wchar_t key : std::wstring(L"txt")) {
            PostMessageW(focused, WM_CHAR, key, 1);
        }
        PostMessageW(focused, WM_KEYDOWN, VK_RETURN, 1);
    });
    const std::string answer = desktop.inputBox("Enter file extension to load:", "csv");
    typist.join();
    EXPECT_EQ(answer, "txt");
    EXPECT_EQ(selectionEnd, 3u);
}

// What a screen reader is given for each control: a button its caption with the access key's
// mark taken out, a list or the interval box the label just before it.
TEST_F(WindowTest, ScreenReadersHaveANameForEveryControl) {
    start();
    for (const ControlLayout& c : kWindowLayout) {
        const HWND control = item(control::ControlId(c.name));
        if (c.kind == ControlKind::List || c.kind == ControlKind::TextBox) {
            const HWND label = GetWindow(control, GW_HWNDPREV);
            wchar_t text[100] = {};
            GetWindowTextW(label, text, 100);
            EXPECT_EQ(Utf8(text), AccessibleName(c)) << c.name;
            continue;
        }
        IAccessible* accessible = nullptr;
        ASSERT_EQ(
            AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&accessible)),
            S_OK)
            << c.name;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        // Wine's oleacc reads a control's own text and not the names given to it by
        // annotation, which Windows reads; either way the access key's mark is gone.
        const std::string spoken = Utf8(name != nullptr ? name : L"");
        EXPECT_TRUE(spoken == AccessibleName(c) || spoken == c.caption) << c.name << ": " << spoken;
        SysFreeString(name);
        accessible->Release();
    }
}

// Samples in, interval 0, endless, start, and Esc; then F1 and Delete twice: keys alone.
TEST_F(WindowTest, AKeyboardUserRunsAndStopsWithKeysAlone) {
    const std::string samples = SamplesFolder();
    desktop_.folder = samples.substr(0, samples.rfind('\\'));
    start();
    const auto focus = [&] { return GetFocus() != nullptr ? GetFocus() : window_->handle(); };
    const auto key = [&](UINT message, WPARAM code) {
        PostMessageW(focus(), message, code, message == WM_SYSCHAR ? 0x20000001 : 1);
        desktop_.waitForEvents(std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
    };
    SetFocus(item(control::kListView1));
    key(WM_SYSCHAR, 'l');
    settle();
    ASSERT_FALSE(rows(control::kListView1).empty());
    while (GetFocus() != item(control::kText1)) {
        key(WM_KEYDOWN, VK_TAB);
    }
    key(WM_CHAR, '0');
    key(WM_SYSCHAR, 'y');
    ASSERT_TRUE(checked(control::kCheck3));
    ASSERT_EQ(window_->intervalText(), "0");

    desktop_.onOpen = [&](std::size_t count) {
        if (count == 3) {
            PostMessageW(focus(), WM_KEYDOWN, VK_ESCAPE, 1);
        }
    };
    key(WM_SYSCHAR, 't');
    serveUntil([&] { return window_->startButtonCaption() == "Start Opening"; },
               std::chrono::seconds(10));
    EXPECT_EQ(window_->startButtonCaption(), "Start Opening");
    EXPECT_GE(desktop_.opened.size(), 3u);
    wchar_t spoken[100] = {};
    GetWindowTextW(item(control::kRunStatus), spoken, 100);
    EXPECT_STREQ(spoken, L"Opening has ended.");

    key(WM_KEYDOWN, VK_F1);
    ASSERT_FALSE(desktop_.boxes.empty());
    EXPECT_EQ(desktop_.boxes.back().rfind("Questions?", 0), 0u);

    const std::vector<std::string> before = rows(control::kListView1);
    ASSERT_GE(before.size(), 3u);
    SetFocus(item(control::kListView1));
    select(control::kListView1, 0);
    key(WM_KEYDOWN, VK_DELETE);
    key(WM_KEYDOWN, VK_DELETE);
    settle();
    EXPECT_EQ(rows(control::kListView1),
              std::vector<std::string>(before.begin() + 2, before.end()));
}

}  // namespace
}  // namespace gantrylux::win32

namespace gantrylux::win32 {
namespace {

// This process has the window; the real program started with a file hands it over through
// WM_COPYDATA and ends with 0, and a message that is no hand-over is refused.
TEST_F(WindowTest, ALaterLaunchHandsItsPathsToTheRunningWindow) {
    const std::wstring name = L"GantryluxTest" + std::to_wstring(GetCurrentProcessId());
    SetEnvironmentVariableW(L"GANTRYLUX_INSTANCE", name.c_str());  // the program inherits it
    SingleInstance instance(name);
    ASSERT_EQ(instance.claim({}), SingleInstance::Role::First);
    start();
    instance.onHandOver([&](const HandOver& handOver) {
        window_->mainForm().commands().AddCommandLinePaths(handOver.paths, {}, handOver.notLocal);
    });
    std::string file;
    for (const auto& entry : std::filesystem::directory_iterator(Wide(SamplesFolder()))) {
        file = Utf8(entry.path().wstring());
        break;
    }
    std::wstring command =
        L"\"" + Wide(RepositoryFolder(GANTRYLUX_PROGRAM)) + L"\" \"" + Wide(file) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION launched{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &launched));
    serveUntil([&] { return WaitForSingleObject(launched.hProcess, 0) == WAIT_OBJECT_0; },
               std::chrono::seconds(30));
    DWORD status = STILL_ACTIVE;
    GetExitCodeProcess(launched.hProcess, &status);
    CloseHandle(launched.hThread);
    CloseHandle(launched.hProcess);
    EXPECT_EQ(status, 0u);
    serveUntil([&] { return !rows(control::kListView1).empty(); }, std::chrono::seconds(20));
    EXPECT_EQ(rows(control::kListView1), std::vector<std::string>{file});

    const HWND listening =
        FindWindowExW(HWND_MESSAGE, nullptr, (name + L".HandOver").c_str(), nullptr);
    char junk[] = "GLX1 and then nothing that holds";
    COPYDATASTRUCT data{0x31584C47, sizeof junk, junk};
    EXPECT_EQ(SendMessageW(listening, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
    SetEnvironmentVariableW(L"GANTRYLUX_INSTANCE", nullptr);
}

}  // namespace
}  // namespace gantrylux::win32
