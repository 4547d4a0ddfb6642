// The Windows desktop's reading of dialog failures, its count of opens still out, and the
// registry store's unreadable values, each made to happen as Windows answers.
// clang-format off
#include <windows.h>  // first: the other system headers rely on it
// clang-format on
#include <cderr.h>
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "win32/command_line.hpp"
#include "win32/registry_settings_store.hpp"
#include "win32/win32_desktop.hpp"

namespace gantrylux::win32 {
namespace {

// Whether `text` holds `part`; the Windows tests have no matchers.
::testing::AssertionResult Holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}

TEST(FileDialogFailure, OnlyACancelIsSilentAndOnlyAFullBufferIsTooManyFiles) {
    EXPECT_NO_THROW(ThrowForFileDialogError(0));
    EXPECT_THROW(ThrowForFileDialogError(FNERR_BUFFERTOOSMALL), SelectionTooLong);
    for (const DWORD error : {DWORD{CDERR_MEMALLOCFAILURE}, DWORD{FNERR_INVALIDFILENAME}}) {
        try {
            ThrowForFileDialogError(error);
            ADD_FAILURE() << "no failure for " << error;
        } catch (const SelectionTooLong&) {
            ADD_FAILURE() << error << " taken for too many files";
        } catch (const std::runtime_error& failure) {
            EXPECT_TRUE(Holds(failure.what(), "file dialog"));
        }
    }
}

TEST(WindowsCommandLine, OnlyAnOptionGivenAloneIsAnsweredAndEverythingElseIsPaths) {
    EXPECT_TRUE(Holds(CommandLineAnswer({"--help"}).value_or(""), "--version"));
    EXPECT_TRUE(Holds(CommandLineAnswer({"/?"}).value_or(""), "Usage: gantrylux.exe"));
    EXPECT_TRUE(Holds(CommandLineAnswer({"--version"}).value_or(""), "Gantrylux Software 1."));
    for (const std::vector<std::string>& paths : std::vector<std::vector<std::string>>{
             {}, {"C:\\a.txt"}, {"--help", "C:\\a.txt"}, {"-h"}, {"/help"}}) {
        EXPECT_FALSE(CommandLineAnswer(paths)) << paths.size();
    }
}

// The opener keeps each open out, as a shell that has not answered: the sixteenth still out
// stops further opens, which are told rather than dropped, until one ends on its own thread.
TEST(WindowsOpens, SixteenStillOutHoldTheNextUntilOneEnds) {
    std::vector<Win32Desktop::OpenHeld> held;
    Win32Desktop desktop([&](const ShellExecuteArguments&, Win32Desktop::OpenHeld open) {
        held.push_back(std::move(open));
        return std::string();
    });
    for (int i = 0; i < Win32Desktop::kMostOpensOut; ++i) {
        EXPECT_TRUE(desktop.readyToOpen()) << i;
        EXPECT_EQ(desktop.shellOpen("C:\\a.txt", SW_SHOWNORMAL), "");
    }
    EXPECT_FALSE(desktop.readyToOpen());
    EXPECT_NE(desktop.shellOpen("C:\\b.txt", SW_SHOWNORMAL), "");
    EXPECT_EQ(held.size(), std::size_t{Win32Desktop::kMostOpensOut});

    std::thread([answered = std::move(held.back())] {}).join();
    EXPECT_TRUE(desktop.readyToOpen());
}

// A key of its own under the current user, gone after the test.
class RegistryStoreTest : public ::testing::Test {
  protected:
    RegistryStoreTest() {
        std::random_device seed;
        path = L"Software\\Gantrylux Tests\\" + std::to_wstring(seed());
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
    }
    ~RegistryStoreTest() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
    void put(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) const {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }
    DWORD typeOf(const wchar_t* name) const {
        DWORD type = REG_NONE;
        RegQueryValueExW(key, name, nullptr, &type, nullptr, nullptr);
        return type;
    }

    std::wstring path;
    HKEY key = nullptr;
};

// Each unreadable value is named once at opening, reads as the default, and stays as it is
// until a different text is written.
TEST_F(RegistryStoreTest, AValueThatCannotBeReadIsToldAndKeptUntilTheSettingChanges) {
    const DWORD number = 15;
    const wchar_t list[] = L"C:\\A\\\0D:\\B\\\0";
    const wchar_t withNul[] = L"C:\\A\\;\0D:\\B\\;";
    put(L"Interval", REG_DWORD, &number, sizeof number);
    put(L"ListView3", REG_MULTI_SZ, list, sizeof list);
    put(L"Extension", REG_SZ, withNul, sizeof withNul);
    put(L"LastFolder", REG_SZ, L"C:\\Music", sizeof L"C:\\Music");

    RegistrySettingsStore store(path);
    ASSERT_TRUE(store.readFailure());
    const std::string failure = *store.readFailure();
    EXPECT_TRUE(Holds(failure, "\"Interval\": it is a REG_DWORD value"));
    EXPECT_TRUE(Holds(failure, "\"ListView3\": it is a REG_MULTI_SZ value"));
    EXPECT_TRUE(Holds(failure, "\"Extension\": it holds a NUL"));
    EXPECT_FALSE(Holds(failure, "LastFolder"));

    EXPECT_EQ(store.read("ListView3", ""), "");
    EXPECT_EQ(store.read("Extension", "txt"), "txt");
    EXPECT_EQ(store.read("LastFolder", ""), "C:\\Music");
    store.write("ListView3", "");  // the close stores the list it started with
    store.write("Extension", "txt");
    EXPECT_EQ(typeOf(L"ListView3"), DWORD{REG_MULTI_SZ});
    EXPECT_EQ(typeOf(L"Extension"), DWORD{REG_SZ});
    EXPECT_EQ(RegistrySettingsStore(path).readFailure(), failure);

    store.write("ListView3", "C:\\New\\;");
    store.write("Interval", "3");
    EXPECT_EQ(store.read("ListView3", ""), "C:\\New\\;");
    EXPECT_EQ(store.read("Interval", "1"), "3");
    EXPECT_FALSE(Holds(RegistrySettingsStore(path).readFailure().value_or(""), "ListView3"));
}

}  // namespace
}  // namespace gantrylux::win32
