// What the system and the user's files can throw at the program: hostile settings files, files
// that change under the open dialog, unexpected notifications, windows that vanish mid-tick, and
// close requests while something modal is open. No crash, the file's values, nothing lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr UINT kTrayMessage = perchette::ids::kTrayIconMessage;
constexpr WPARAM kAboutItem = perchette::ids::kMenuAbout;

struct HostileFile {
  const char* name;
  std::string settings;
  const wchar_t* hour;
  const wchar_t* minute;
};

void PrintTo(const HostileFile& file, std::ostream* out) { *out << file.name; }

std::string Section(const std::string& lines) { return "[HungUpTime]\r\n" + lines; }

std::string RawFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

class HostileSettings : public testing::TestWithParam<HostileFile> {};

// The values reach the dialog's boxes as loaded; an unusable text falls back to 7 and 59.
TEST_P(HostileSettings, LoadsTheFilesValuesWithoutComplaint) {
  Perchette perchette(GetParam().settings);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr) << "the dialog did not open";
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), GetParam().hour);
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), GetParam().minute);
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  perchette.Close();
  // Reading never rewrites the file.
  EXPECT_EQ(RawFile(perchette.SettingsPath()), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileSettings,
    testing::Values(
        HostileFile{"OtherSectionOnly", "[Other]\r\nHHour=3\r\nHMin=4\r\n", L"7", L"59"},
        HostileFile{"MinuteOnly", Section("HMin=5\r\n"), L"7", L"5"},
        HostileFile{"EmptyValues", Section("HHour=\r\nHMin=\r\n"), L"7", L"59"},
        HostileFile{"AnyCapitalisation", "[hungUPTIME]\r\nhhour=3\r\nhmin=4\r\n", L"3", L"4"},
        HostileFile{"HexAndSigns", Section("HHour=0x0A\r\nHMin=+008\r\n"), L"10", L"8"},
        HostileFile{"DollarHex", Section("HHour=$0a\r\nHMin=$3B\r\n"), L"10", L"59"},
        HostileFile{"LonePrefixes", Section("HHour=0x\r\nHMin=$\r\n"), L"7", L"59"},
        HostileFile{"LoneSign", Section("HHour=-\r\nHMin=-\r\n"), L"7", L"59"},
        // The profile functions trim blanks and tabs around a value before the program sees it.
        HostileFile{"TabsAroundDigits", Section("HHour=\t5\t\r\nHMin= \t6\r\n"), L"5", L"6"},
        HostileFile{"BeyondThirtyTwoBits", Section("HHour=4294967299\r\nHMin=99999999999\r\n"),
                    L"7", L"59"},
        HostileFile{"DecimalPointAndUnits", Section("HHour=7.5\r\nHMin=5m\r\n"), L"7", L"59"},
        HostileFile{"BinaryBytes",
                    Section("HHour=\x01\xff\xfe"
                            "3\r\nHMin=\x80\x81\r\n"),
                    L"7", L"59"},
        // 1022 zeros and a digit fit the 1023 characters read; with one zero more the digit is
        // cut off and the zeros read as 0.
        HostileFile{"LongestReadableValue",
                    Section("HHour=" + std::string(1022, '0') +
                            "5\r\nHMin=" + std::string(1023, '0') + "6\r\n"),
                    L"5", L"0"},
        // The first key of the first section counts; a repeated section is not looked into.
        HostileFile{"DuplicateKeysAndSections",
                    Section("HHour=3\r\nHHour=4\r\n[HungUpTime]\r\nHMin=5\r\nHMin=6\r\n"), L"3",
                    L"59"}));

TEST(FileUnderTheOpenDialog, DeletedFileIsWrittenAnewOnSave) {
  Perchette perchette(Section("HHour=5\r\nHMin=30\r\n"));
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(DeleteFileW(perchette.SettingsPath().c_str()));
  SendMessageW(DialogControl(dialog, 4), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); })) << "the save did not close";
  const std::string written = Narrow(ReadTextFile(perchette.SettingsPath()));
  EXPECT_NE(written.find("HHour=5"), std::string::npos) << written;
  EXPECT_NE(written.find("HMin=30"), std::string::npos) << written;
}

TEST(FileUnderTheOpenDialog, ReplacedFileIsReadAtTheNextOpeningAndTypedValuesStay) {
  Perchette perchette(Section("HHour=5\r\nHMin=30\r\n"));
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  {
    const HANDLE file = CreateFileW(perchette.SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string replacement = Section("HHour=24\r\nHMin=0\r\n");
    DWORD written = 0;
    WriteFile(file, replacement.data(), static_cast<DWORD>(replacement.size()), &written, nullptr);
    CloseHandle(file);
  }
  // Opening again re-reads the file: the new hour is no time of day, so it is reported and the
  // open dialog keeps what it shows.
  PostMessageW(perchette.MainWindow(), WM_COMMAND, perchette::ids::kMenuSettings, 0);
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(box).text), "'24:0:0' は時刻ではありません.");
  PressOk(box);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"5");
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), L"30");
}

TEST(UnexpectedNotifications, TrayMessagesOtherThanARightPressOpenNothing) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const WPARAM icons[] = {0, 1, 2, 0xFFFF};
  const LPARAM notifications[] = {0,
                                  WM_MOUSEMOVE,
                                  WM_LBUTTONDOWN,
                                  WM_LBUTTONUP,
                                  WM_LBUTTONDBLCLK,
                                  WM_RBUTTONUP,
                                  WM_RBUTTONDBLCLK,
                                  WM_MBUTTONDOWN,
                                  0x7FFF,
                                  -1};
  for (WPARAM icon : icons) {
    for (LPARAM notification : notifications) {
      DWORD_PTR result = 1;
      ASSERT_TRUE(SendMessageTimeoutW(main, kTrayMessage, icon, notification, SMTO_ABORTIFHUNG,
                                      5000, &result))
          << "no answer to " << icon << "/" << notification;
      EXPECT_EQ(result, 0u);
    }
  }
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_EQ(VisibleMenu(perchette), nullptr);
  EXPECT_FALSE(IsWindowVisible(SettingsDialog(perchette)));
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  EXPECT_TRUE(perchette.Running());
}

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(VanishingForeground, WindowsClosingMidTickLeaveTheProgramRunning) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Vanishing";
  RegisterClassW(&windowClass);
  // Foreground windows that live a few milliseconds: some go between the tick's two questions.
  const DWORD start = GetTickCount();
  int made = 0;
  while (GetTickCount() - start < 3000) {
    const HWND window = CreateWindowExW(
        0, L"Vanishing", L"Vanishing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100 + made % 300, 200, 300,
        200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window);
    // Lives of 0 to 6 ms: the length of time is what is tested.
    Pump(made % 7);
    DestroyWindow(window);
    ++made;
  }
  DeskWindow desk;
  EXPECT_TRUE(TicksGoOn(perchette, desk)) << "after " << made << " vanishing windows";
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  RECT rect{};
  EXPECT_TRUE(GetWindowRect(main, &rect));
}

TEST(CloseWhileModal, CloseWithTheDialogOpenEndsTheProgram) {
  Perchette perchette;
  ASSERT_NE(OpenSettingsDialog(perchette), nullptr);
  ASSERT_TRUE(perchette.LivedTwoTicks());
  PostMessageW(perchette.MainWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}

TEST(CloseWhileModal, CloseWithTheAboutMessageOpenEndsTheProgram) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, kAboutItem, 0);
  ASSERT_NE(perchette.WaitForMessageBox(), nullptr);
  ASSERT_TRUE(perchette.LivedTwoTicks());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}

TEST(CloseWhileModal, CloseWithAnErrorReportOpenEndsTheProgram) {
  Perchette perchette(Section("HHour=24\r\nHMin=0\r\n"));
  perchette.Start();
  const HWND report = perchette.WaitForMessageBox();
  ASSERT_NE(report, nullptr);
  ASSERT_TRUE(PressOk(report));
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  ASSERT_NE(perchette.WaitForMessageBox(), nullptr) << "the tick's report";
  PostMessageW(perchette.ApplicationWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}
