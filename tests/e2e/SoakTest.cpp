// A long run with everything moving: a foreground window that keeps moving, the settings dialog
// opening and closing, tray notifications and a hang-up minute. The program must stay alive and
// its private memory must not grow once it has warmed up.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/Ids.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr UINT kTrayMessage = perchette::ids::kTrayIconMessage;
constexpr UINT kSettingsItem = perchette::ids::kMenuSettings;
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

std::string HangUpMinuteNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char settings[96];
  std::snprintf(settings, sizeof settings, "[HungUpTime]\r\nHHour=%u\r\nHMin=%u\r\n", now.wHour,
                now.wMinute);
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
  const HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, perchette.ProcessId());
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
