// Start-up, the main window's system window, the settings file at start-up, and closing.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

TEST(Startup, MainWindowIsABorderlessTopmostPopupOwnedByTheApplicationWindow) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(GetClassLongW(main, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
  const DWORD style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_DISABLED),
            static_cast<DWORD>(WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE))
      << std::hex << style;
  const DWORD exStyle = GetWindowLongW(main, GWL_EXSTYLE);
  EXPECT_EQ(exStyle, static_cast<DWORD>(WS_EX_CONTROLPARENT | WS_EX_TOPMOST))
      << std::hex << exStyle;
  EXPECT_EQ(WindowText(main), L"MainForm");

  const HWND application = GetWindow(main, GW_OWNER);
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(application, perchette.ApplicationWindow());
  EXPECT_EQ(WindowText(application), L"Perchette");
  EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
}

// The two are the program's only top-level windows: a close sent to every other one, as a
// broadcast sends it, stops no tick.
TEST(Startup, ApplicationWindowIsHiddenOnceTheMainWindowShows) {
  Perchette perchette;
  DeskWindow desk;
  ASSERT_NE(StartOnDesk(perchette, desk), nullptr);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_FALSE(IsWindowVisible(perchette.ApplicationWindow()));
  for (HWND window : ProcessWindows(perchette.ProcessId())) {
    if (window != perchette.MainWindow() && window != perchette.ApplicationWindow())
      SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  }
  EXPECT_TRUE(TicksGoOn(perchette, desk));
}

TEST(Startup, MissingSettingsFileIsNotCreated) {
  Perchette perchette;
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  perchette.Close();
  EXPECT_FALSE(FileExists(perchette.SettingsPath()));
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
}

// The fixture itself: a program ended from outside fails every wait, and its end is reported
// with its exit code.
TEST(Harness, AnEndTheTestDidNotAskForFailsEveryWaitAndIsReported) {
  testing::TestPartResultArray failures;
  HWND main = nullptr, box = nullptr, again = nullptr;
  bool idle = true;
  {
    const testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    Perchette perchette;
    perchette.Start();
    main = perchette.WaitForMainWindow();
    const HANDLE process =
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, perchette.ProcessId());
    TerminateProcess(process, 7);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    idle = WaitUntilIdle(perchette);
    box = perchette.WaitForMessageBox(1000);
    again = perchette.WaitForMainWindow(1000);
  }
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(idle);
  EXPECT_EQ(box, nullptr);
  EXPECT_EQ(again, nullptr);
  // One failure for each wait, and the fixture's at the end.
  ASSERT_EQ(failures.size(), 4);
  for (int i = 0; i < failures.size(); ++i) {
    const std::string message = failures.GetTestPartResult(i).message();
    EXPECT_NE(message.find(i < 3 ? "has ended, exit code 7" : "ended by itself, exit code 7"),
              std::string::npos)
        << message;
  }
}

TEST(Closing, CloseToTheMainWindowEndsTheProgram) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(perchette.LivedTwoTicks());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}

TEST(Closing, CloseToTheApplicationWindowEndsTheProgram) {
  Perchette perchette;
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(perchette.LivedTwoTicks());
  PostMessageW(perchette.ApplicationWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}

TEST(Closing, EndOfSessionEndsTheProgramAtOnce) {
  Perchette perchette;
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(perchette.LivedTwoTicks());
  SendMessageTimeoutW(perchette.ApplicationWindow(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 2000,
                      nullptr);
  EXPECT_TRUE(perchette.WaitForExit(5000));
}

// An hour or minute that is no time of day is reported at start-up and the program goes on.
struct BadTime {
  const char* settings;
  const char* startMessage;
  const char* tickMessage;
};

class StartupWithBadTime : public testing::TestWithParam<BadTime> {};

TEST_P(StartupWithBadTime, ReportsTheTimeOnceAndKeepsRunning) {
  Perchette perchette(GetParam().settings);
  perchette.Start();
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "no error report";
  const MessageBoxView report = ViewMessageBox(box);
  EXPECT_EQ(Narrow(report.text), GetParam().startMessage);
  EXPECT_EQ(report.title, L"Perchette");
  EXPECT_TRUE(report.hasIcon);
  EXPECT_EQ(report.buttons, 1);
  // The ticks run behind it and fail too; here a length of time is the point: no report of
  // theirs opens over it.
  Pump(3 * kTickMs);
  EXPECT_EQ(MessageBoxes(perchette.ProcessId()).size(), 1u) << "reports stacked up";
  ASSERT_TRUE(PressOk(box));

  // The window comes up unshaped; the ticks meet the end of the minute, reported once, and the
  // window takes no input while the report is open.
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HWND tickBox = perchette.WaitForMessageBox();
  ASSERT_NE(tickBox, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(tickBox).text), GetParam().tickMessage);
  EXPECT_FALSE(IsWindowEnabled(main));
  PressOk(tickBox);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main) != FALSE; }, 3000));
  DeskWindow desk;
  ASSERT_TRUE(TicksGoOn(perchette, desk));
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty()) << "the tick's report came again";

  // The settings read anew report the start again; the tick's report may then come once more.
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuSettings, 0);
  for (const char* message : {GetParam().startMessage, GetParam().tickMessage}) {
    const HWND again = perchette.WaitForMessageBox();
    ASSERT_NE(again, nullptr) << "not reported again: " << message;
    EXPECT_EQ(Narrow(ViewMessageBox(again).text), message);
    ASSERT_TRUE(PressOk(again));
  }
  Pump(3 * kTickMs);  // a length of time is the point: once, not on every tick
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty()) << "reported more than once";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartupWithBadTime,
    testing::Values(BadTime{"[HungUpTime]\r\nHHour=24\r\nHMin=0\r\n",
                            "'24:0:0' は時刻ではありません.", "'24:0:59' は時刻ではありません."},
                    BadTime{"[hungUPtime]\r\nhhour=0x18\r\nHMIN=$0\r\n",
                            "'24:0:0' は時刻ではありません.", "'24:0:59' は時刻ではありません."},
                    BadTime{"[HungUpTime]\r\nHMin=60\r\n", "'7:60:0' は時刻ではありません.",
                            "'7:60:59' は時刻ではありません."},
                    BadTime{"[HungUpTime]\r\nHHour=-1\r\nHMin=+5\r\n",
                            "'-1:5:0' は時刻ではありません.", "'-1:5:59' は時刻ではありません."}));

// One Perchette per user session: a second start, wherever its copy lies, hands over to the
// running one and ends.
namespace {

// Watches a start that should end by itself: true once it has ended with exit code 0 without
// showing a main window or a second tray icon on the way.
::testing::AssertionResult EndsQuietly(const Perchette& start, int iconsBefore) {
  bool windowShown = false;
  int mostIcons = 0;
  WaitFor(
      [&] {
        windowShown = windowShown || Shown(start.MainWindow());
        mostIcons = std::max(mostIcons, TrayIcons());
        return !start.Running();
      },
      10000);
  if (!start.WaitForExit(0))
    return ::testing::AssertionFailure() << "the second start is still running";
  if (start.ExitCode() != 0)
    return ::testing::AssertionFailure() << "exit code " << start.ExitCode();
  if (windowShown) return ::testing::AssertionFailure() << "it showed a main window";
  if (mostIcons > iconsBefore) return ::testing::AssertionFailure() << mostIcons << " tray icons";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(OnePerSession, ASecondStartOpensTheRunningSettingsInFrontAndEnds) {
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette running("[HungUpTime]\r\nHHour=5\r\nHMin=30\r\n");
  DeskWindow desk;
  ASSERT_NE(StartOnDesk(running, desk), nullptr);
  ASSERT_TRUE(WaitFor([] { return TrayIcons() == 1; }, 5000));
  // Changed since the start: the settings are read again.
  {
    std::ofstream file(std::filesystem::path(running.SettingsPath()), std::ios::binary);
    file << "[HungUpTime]\r\nHHour=3\r\nHMin=4\r\n";
  }

  Perchette second;  // a copy in another folder
  second.Start();
  EXPECT_TRUE(EndsQuietly(second, 1));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog = SettingsDialog(running)); }))
      << "the running Perchette did not open its settings";
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 3000))
      << Narrow(ClassName(GetForegroundWindow())) << " is in front";
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"3");
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), L"4");
  EXPECT_EQ(ProcessWindows(running.ProcessId(), L"TMainForm").size(), 1u);
  EXPECT_EQ(TrayIcons(), 1);
  EXPECT_TRUE(running.Running());
}

TEST(OnePerSession, StartsAtTheSameMomentLeaveOne) {
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette starts[3];
  for (Perchette& start : starts) start.Start();
  // The others end by themselves; exactly one goes on.
  Perchette* survivor = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        int running = 0;
        for (Perchette& start : starts) {
          if (start.Running()) {
            survivor = &start;
            ++running;
          }
        }
        return running == 1;
      },
      15000))
      << "not exactly one Perchette is running";
  for (const Perchette& start : starts) {
    if (&start != survivor) {
      EXPECT_TRUE(start.WaitForExit(0));
      EXPECT_EQ(start.ExitCode(), 0u);
    }
  }
  ASSERT_NE(survivor->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return Shown(SettingsDialog(*survivor)); }))
      << "the later starts did not open the settings";
  EXPECT_EQ(TrayIcons(), 1);
}

TEST(OnePerSession, OnceTheRunningOneHasEndedACopyElsewhereRunsNormally) {
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette first;
  first.Start();
  ASSERT_NE(first.WaitForMainWindow(), nullptr);
  first.Close();
  ASSERT_FALSE(first.Running());

  Perchette copy;
  copy.Start();
  ASSERT_NE(copy.WaitForMainWindow(), nullptr);
  EXPECT_TRUE(WaitFor([] { return TrayIcons() == 1; }, 5000)) << TrayIcons() << " icons";
  ASSERT_TRUE(WaitUntilIdle(copy));
  EXPECT_FALSE(Shown(SettingsDialog(copy)));
}

// A Perchette running as administrator holds the name where a start may not even open it.
TEST(OnePerSession, ARunningOneThatMayNotBeOpenedCountsAsRunning) {
  SECURITY_ATTRIBUTES everyoneDenied{sizeof everyoneDenied, nullptr, FALSE};
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:(D;;GA;;;WD)", SDDL_REVISION_1, &everyoneDenied.lpSecurityDescriptor, nullptr));
  const HANDLE held = CreateMutexW(&everyoneDenied, FALSE, L"Local\\Perchette.Running");
  ASSERT_NE(held, nullptr);
  Perchette start;
  start.Start();
  EXPECT_TRUE(EndsQuietly(start, SettledTrayIcons()));
  CloseHandle(held);
  LocalFree(everyoneDenied.lpSecurityDescriptor);
}
