// Starts Perchette from a folder of its own and looks at what a user would see.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/WideText.h"
#include "tests/support/Win32Helpers.h"

namespace e2e {

using perchette::Narrow;
using perchette::Widen;

// The program's tick comes every 200 ms.
constexpr DWORD kTickMs = 200;

// Waits, pumping this thread's messages, until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// Pumps this thread's messages for a while: only where a length of time is what a test checks.
void Pump(DWORD milliseconds);

class Perchette;

// Lets the program's thread take up what was sent or posted to it, before a check that nothing
// came of it; false, with a failure, if the program has ended, lost its main window or stopped
// answering.
bool WaitUntilIdle(const Perchette& perchette);

using support::ClassName;
std::wstring WindowText(HWND window);

// Top-level windows of a process, optionally only those of a class.
std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className = nullptr);
HWND ProcessWindow(DWORD processId, const wchar_t* className);

// A message box: its text, whether it has an icon, and its button.
struct MessageBoxView {
  HWND window = nullptr;
  std::wstring title;
  std::wstring text;
  bool hasIcon = false;
  int buttons = 0;
};
MessageBoxView ViewMessageBox(HWND box);
std::vector<HWND> MessageBoxes(DWORD processId);
// Answers the box with OK and waits until it is gone; false if it is still there.
bool PressOk(HWND box);

using support::BuildFolder;
std::wstring ReadTextFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

// The program's popup menu while it is open; null when none is.
HWND VisibleMenu(const Perchette& perchette);

// The settings dialog: opened as the tray menu's settings item does, its controls by their place
// among the dialog's fields (SpinEdit1, SpinEdit2, Label1, Label2, Button1, Button2), and a
// control's text.
HWND SettingsDialog(const Perchette& perchette);
inline bool Shown(HWND window) { return window != nullptr && IsWindowVisible(window); }
HWND OpenSettingsDialog(Perchette& perchette);
HWND DialogControl(HWND dialog, int index);
std::wstring ControlText(HWND control);
// A control's bounds in its parent's client area.
RECT ClientBounds(HWND control);

// The settings dialog as laid out at 96 dpi: its place and client area, and its controls in the
// order of the dialog's fields with their bounds, font height and text (none for the spin boxes).
constexpr int kDialogLeft = 292, kDialogTop = 172, kDialogWidth = 427, kDialogHeight = 48;
struct DesignedControl {
  const wchar_t* className;
  int left, top, width, height, fontHeight;
  const wchar_t* text;
};
inline constexpr DesignedControl kDialogControls[] = {
    {L"Edit", 7, 6, 50, 29, -19, nullptr},
    {L"Edit", 87, 6, 50, 29, -19, nullptr},
    {L"Static", 59, 15, 16, 16, -16, L"時"},
    {L"Static", 139, 15, 138, 16, -16, L"分\u3000に回線自動切断"},
    {L"Button", 288, 16, 65, 25, -12, L"設定保存"},
    {L"Button", 352, 16, 67, 25, -12, L"ｷｬﾝｾﾙ"},
};

// The program under test. An end that the test did not ask for (WaitForExit or Close) fails the
// test with its exit code, and so does any end with an exit code other than 0. The waits fail
// once the program has ended or lost its main window.
class Perchette {
 public:
  // A fresh folder with a copy of the program and, when given, its settings file (raw bytes).
  explicit Perchette(std::optional<std::string> settings = std::nullopt);
  Perchette(const Perchette&) = delete;
  Perchette& operator=(const Perchette&) = delete;
  ~Perchette();

  void Start();
  // Started and shown: the main window exists and is visible.
  HWND WaitForMainWindow(DWORD timeoutMs = 15000);
  HWND MainWindow() const;
  HWND ApplicationWindow() const;
  HWND WaitForMessageBox(DWORD timeoutMs = 10000) const;
  bool Running() const;
  // True while the program runs with the main window it showed; otherwise a failure that names
  // what was awaited.
  bool Alive(const char* awaited) const;
  // True once the program has been shown for two ticks and still answers; a failure if it ended.
  // Close asks it first, and so does a test that closes the program its own way.
  bool LivedTwoTicks() const;
  // The test expects the end: true once the program has ended (an exit code other than 0 fails).
  bool WaitForExit(DWORD timeoutMs = 10000) const;
  // The exit code once the program has ended; STILL_ACTIVE while it runs.
  DWORD ExitCode() const;
  // Ends the program with WM_CLOSE to its main window; fails the test if it has to be killed.
  void Close();

  DWORD ProcessId() const { return processInfo_.dwProcessId; }
  const std::wstring& Folder() const { return folder_; }
  std::wstring ExePath() const { return folder_ + L"\\Perchette.exe"; }
  std::wstring SettingsPath() const { return folder_ + L"\\Perchette.INI"; }

 private:
  // Reports, once, an end that the test did not ask for or that came with a code other than 0.
  void ReportEnd() const;

  std::wstring folder_;
  PROCESS_INFORMATION processInfo_{};
  bool hadMainWindow_ = false;
  // When the main window was first seen (or the program started): the ticks count from there.
  DWORD shownAt_ = 0;
  mutable bool endExpected_ = false;
  mutable bool endReported_ = false;
};

// Wine shows the icons in its own tray window when no desktop tray exists: one visible child
// window per icon. Icons whose program ended without removing them go a moment later:
// SettledTrayIcons waits, with a deadline, until none is left and returns how many are shown.
int TrayIcons();
int SettledTrayIcons();

// The message the shell sends every top-level window when the taskbar has (re)started.
UINT TaskbarCreatedMessage();
// Takes the program's icon away, as a taskbar that restarts loses it.
void TakeTrayIconAway(HWND main);

// The stand-in Remote Access Service (tests/support/rasapi32) in place of the system's, for the
// programs started until the system's is restored.
void InstallTestService();
void RestoreSystemService();
// Where the programs look for the service: the system folder's rasapi32.dll.
std::wstring SystemCopy();

}  // namespace e2e
