// A long run with everything moving: a foreground window that keeps moving, the settings dialog
// opening and closing, tray notifications and a hang-up minute. The program must stay alive and
// its private memory must not grow once it has warmed up.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr UINT kTrayMessage = perchette::ids::kTrayIconMessage;
constexpr UINT kSettingsItem = perchette::ids::kMenuSettings;
// Above the heap's steps (months of churn grew 20 KiB), below a leak of a record a tick in minutes.
constexpr SIZE_T kAllowedGrowth = 64 * 1024;

DWORD SoakSeconds() {
  wchar_t text[32] = {};
  if (GetEnvironmentVariableW(L"PERCHETTE_SOAK_SECONDS", text, 32) == 0) return 60;
  return static_cast<DWORD>(_wtoi(text));
}

SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  // Wine leaves PrivateUsage at 0 for another process; the commit charge is the same figure.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

HANDLE OpenForMemoryFigures(const Perchette& perchette) {
  return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, perchette.ProcessId());
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeMovingWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  windowClass.lpszClassName = L"SoakWindow";
  RegisterClassW(&windowClass);
  const HWND window =
      CreateWindowExW(0, L"SoakWindow", L"Soak", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 200, 600,
                      400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(window);
  return window;
}

// The hang-up minute: the current one, or the one half a day away.
std::string HangUpMinuteNow(bool now = true) {
  SYSTEMTIME time;
  GetLocalTime(&time);
  const unsigned hour = now ? time.wHour : (time.wHour + 12u) % 24u;
  char settings[96];
  std::snprintf(settings, sizeof settings, "[HungUpTime]\r\nHHour=%u\r\nHMin=%u\r\n", hour,
                time.wMinute);
  return settings;
}

}  // namespace

TEST(Soak, StaysAliveAndDoesNotGrow) {
  const DWORD seconds = SoakSeconds();
  const DWORD warmUp = std::min<DWORD>(60, seconds / 3);
  Perchette perchette(HangUpMinuteNow());
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HANDLE process = OpenForMemoryFigures(perchette);
  ASSERT_NE(process, nullptr);
  const HWND moving = MakeMovingWindow();

  std::vector<SIZE_T> samples;
  SIZE_T warm = 0;
  const DWORD start = GetTickCount();
  DWORD nextSample = 0;
  for (DWORD step = 0;; ++step) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= seconds * 1000) break;
    ASSERT_TRUE(perchette.Running()) << "the program died after " << elapsed << " ms";

    // The window wanders, and comes back to the front now and then.
    SetWindowPos(moving, nullptr, 100 + static_cast<int>(step % 40) * 10,
                 200 + static_cast<int>(step % 17) * 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (step % 20 == 0) SetForegroundWindow(moving);
    // Tray notifications that open nothing.
    PostMessageW(main, kTrayMessage, 1, WM_MOUSEMOVE);
    PostMessageW(main, kTrayMessage, 1, WM_LBUTTONDOWN);
    // The settings dialog opens and closes every few seconds.
    if (step % 50 == 10) PostMessageW(main, WM_COMMAND, kSettingsItem, 0);
    if (step % 50 == 30) {
      for (HWND dialog : ProcessWindows(perchette.ProcessId(), L"TForm1")) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      }
    }
    // Any message window (a failed hang-up of the system's service) is answered.
    for (HWND box : MessageBoxes(perchette.ProcessId())) PressOk(box);

    if (elapsed >= nextSample) {
      samples.push_back(PrivateBytes(process));
      if (warm == 0 && elapsed >= warmUp * 1000) warm = samples.back();
      nextSample += 10000;
    }
    // The rhythm of the soak: a step every 100 ms.
    Pump(100);
  }
  const SIZE_T last = PrivateBytes(process);
  DestroyWindow(moving);
  CloseHandle(process);

  std::string trace;
  for (SIZE_T sample : samples) trace += std::to_string(sample / 1024) + " ";
  RecordProperty("private_kib", trace);
  std::printf(
      "soak: %lu s, private memory every 10 s (KiB): %s, last %lu KiB, growth after warm-up %ld "
      "KiB\n",
      seconds, trace.c_str(), static_cast<unsigned long>(last / 1024),
      static_cast<long>((static_cast<long long>(last) - static_cast<long long>(warm)) / 1024));
  ASSERT_NE(warm, 0u);
  EXPECT_LE(last, warm + kAllowedGrowth) << "private memory grew from " << warm << " to " << last;
  EXPECT_TRUE(perchette.Running());
}

// Months of a desktop's life in minutes: windows that come and go, the settings dialog, the tray
// menu, restarts of the taskbar, failing hang-ups and now and then a second start. Afterwards the
// program must answer, show no message and hold no more private memory than after the warm-up.
// Run by scripts/soak --churn; it takes about seven minutes.
namespace {

struct ChurnCounts {
  int perches = 0, missedPerches = 0, dialogs = 0, menus = 0, taskbars = 0, hangUps = 0,
      secondStarts = 0;
  bool Done() const {
    return perches >= 2000 && dialogs >= 500 && menus >= 500 && taskbars >= 200 && hangUps >= 100 &&
           secondStarts >= 10;
  }
};

// The stand-in service for the time of one test.
struct TestServiceInstalled {
  TestServiceInstalled() { InstallTestService(); }
  ~TestServiceInstalled() { RestoreSystemService(); }
};

int HangUpAttempts(const Perchette& perchette) {
  const std::string log = Narrow(ReadTextFile(perchette.Folder() + L"\\ras-calls.log"));
  int attempts = 0;
  for (size_t at = log.find(" hangup "); at != std::string::npos;
       at = log.find(" hangup ", at + 1)) {
    ++attempts;
  }
  return attempts;
}

void WriteFile(const std::wstring& path, const std::string& content) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file << content;
}

bool OpenAndCloseSettings(const Perchette& perchette, HWND main) {
  PostMessageW(main, WM_COMMAND, kSettingsItem, 0);
  if (!WaitFor([&] { return Shown(SettingsDialog(perchette)); }, 5000)) return false;
  PostMessageW(SettingsDialog(perchette), WM_COMMAND,
               MAKEWPARAM(perchette::ids::kButton2, BN_CLICKED), 0);
  return WaitFor([&] { return !Shown(SettingsDialog(perchette)); }, 5000);
}

bool OpenAndCloseTrayMenu(const Perchette& perchette, HWND main) {
  PostMessageW(main, kTrayMessage, perchette::ids::kTrayIconId, WM_RBUTTONDOWN);
  if (!WaitFor([&] { return VisibleMenu(perchette) != nullptr; }, 5000)) return false;
  // The menu's own loop reads the key from the program's queue.
  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(main, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  return WaitFor([&] { return VisibleMenu(perchette) == nullptr; }, 5000);
}

// A taskbar that restarts has lost the icon; one that only announces itself has not.
bool RestartTaskbar(HWND main, bool iconLost) {
  if (iconLost) {
    TakeTrayIconAway(main);
    if (!WaitFor([] { return TrayIcons() == 0; }, 5000)) return false;
  }
  PostMessageW(main, TaskbarCreatedMessage(), 0, 0);
  return WaitFor([] { return TrayIcons() == 1; }, 5000);
}

bool SecondStartHandsOver(const Perchette& running) {
  Perchette second;
  second.Start();
  return second.WaitForExit(10000) && second.ExitCode() == 0 &&
         WaitFor([&] { return Shown(SettingsDialog(running)); }, 5000);
}

}  // namespace

TEST(Soak, Churn) {
  const TestServiceInstalled service;
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette perchette(HangUpMinuteNow());
  // Every hang-up fails, so that each attempt shows a message for the churn to answer.
  WriteFile(perchette.Folder() + L"\\ras-scenario.txt", "connections=1\nhangup=668\n");
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HANDLE process = OpenForMemoryFigures(perchette);
  ASSERT_NE(process, nullptr);

  ChurnCounts counts;
  std::vector<SIZE_T> samples;
  SIZE_T warm = 0;
  WORD settingsMinute = 0xFFFF;
  const DWORD start = GetTickCount();
  std::unique_ptr<DeskWindow> window;
  for (int step = 0; !counts.Done(); ++step) {
    ASSERT_LT(GetTickCount() - start, 25u * 60 * 1000) << "the churn did not finish in time";
    ASSERT_TRUE(perchette.Running()) << "the program ended at step " << step;
    for (HWND box : MessageBoxes(perchette.ProcessId())) PressOk(box);

    // A new window comes to the front and the old one goes; she sits on the new one.
    auto next = std::make_unique<DeskWindow>();
    const int left = 60 + step * 37 % 700, top = 150 + step * 53 % 500;
    next->Place(left, top, left + 420, top + 300);
    window = std::move(next);
    if (window->BringToForeground() &&
        WaitForPosition(main, left + 420 - kPerchOffsetX, top - kPerchOffsetY,
                        kTwoTicksMs + kReachMs)) {
      ++counts.perches;
    } else {
      ++counts.missedPerches;
    }

    switch (step % 4) {
      case 0:
        // Opening the settings reads the file again: the hang-up minute follows the clock
        // until a hundred attempts have failed, then it moves away.
        if (counts.hangUps < 100) {
          SYSTEMTIME now;
          GetLocalTime(&now);
          if (now.wMinute != settingsMinute) {
            WriteFile(perchette.SettingsPath(), HangUpMinuteNow());
            settingsMinute = now.wMinute;
          }
        } else if (settingsMinute != 0xFFFE) {
          WriteFile(perchette.SettingsPath(), HangUpMinuteNow(false));
          settingsMinute = 0xFFFE;
        }
        EXPECT_TRUE(OpenAndCloseSettings(perchette, main)) << "step " << step;
        ++counts.dialogs;
        break;
      case 1:
        EXPECT_TRUE(OpenAndCloseTrayMenu(perchette, main)) << "step " << step;
        ++counts.menus;
        break;
      case 2:
        EXPECT_TRUE(RestartTaskbar(main, step % 8 == 2)) << "step " << step;
        ++counts.taskbars;
        break;
      default:
        if (step % 100 == 3) {
          for (HWND box : MessageBoxes(perchette.ProcessId())) PressOk(box);
          EXPECT_TRUE(SecondStartHandsOver(perchette)) << "step " << step;
          ++counts.secondStarts;
          OpenAndCloseSettings(perchette, main);
        }
        counts.hangUps = HangUpAttempts(perchette);
        break;
    }

    if (step % 100 == 99) {
      samples.push_back(PrivateBytes(process));
      std::printf(
          "churn: step %d, %lu s: %d perches (%d missed), %d dialogs, %d menus, %d taskbars, "
          "%d hang-ups, %d second starts, %lu KiB\n",
          step + 1, (GetTickCount() - start) / 1000, counts.perches, counts.missedPerches,
          counts.dialogs, counts.menus, counts.taskbars, counts.hangUps, counts.secondStarts,
          static_cast<unsigned long>(samples.back() / 1024));
      std::fflush(stdout);
      // Warmed up: every kind of window has been made at least once.
      if (step == 299) warm = samples.back();
    }
  }
  window.reset();

  // The minute has moved away: the last message is answered and none comes again.
  ASSERT_TRUE(OpenAndCloseSettings(perchette, main));
  for (HWND box : MessageBoxes(perchette.ProcessId())) PressOk(box);
  // Five ticks' time, in which no message may come again, is what is tested.
  Pump(1000);
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty()) << "a message is still open";
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
      << "the program does not answer";
  EXPECT_EQ(TrayIcons(), 1);
  const SIZE_T last = PrivateBytes(process);
  CloseHandle(process);

  std::string trace;
  for (SIZE_T sample : samples) trace += std::to_string(sample / 1024) + " ";
  std::printf(
      "churn: %lu s; %d perches on windows that came and went (%d missed), %d dialog opens and "
      "closes, %d tray menus, %d TaskbarCreated, %d hang-up attempts, %d second starts\n"
      "churn: private memory every 100 steps (KiB): %s\n"
      "churn: after the warm-up %lu KiB, at the end %lu KiB, growth %ld KiB\n",
      (GetTickCount() - start) / 1000, counts.perches, counts.missedPerches, counts.dialogs,
      counts.menus, counts.taskbars, counts.hangUps, counts.secondStarts, trace.c_str(),
      static_cast<unsigned long>(warm / 1024), static_cast<unsigned long>(last / 1024),
      static_cast<long>((static_cast<long long>(last) - static_cast<long long>(warm)) / 1024));
  ASSERT_NE(warm, 0u);
  EXPECT_LE(last, warm + kAllowedGrowth) << "private memory grew from " << warm << " to " << last;
  // Misses come from messages that take the front just as she moves; they must stay rare.
  EXPECT_LE(counts.missedPerches, counts.perches / 20);
  EXPECT_TRUE(perchette.Running());
}
