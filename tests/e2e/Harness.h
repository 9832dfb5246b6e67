// Starts Perchette from a folder of its own and looks at what a user would see.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Waits, pumping this thread's messages, until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
void Pump(DWORD milliseconds);

std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

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

// The folder where the driver and the programs under test were built.
std::wstring BuildFolder();
std::wstring ReadTextFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

class Perchette;

// The settings dialog: opened as the tray menu's settings item does, its controls in creation
// order (SpinEdit1, SpinEdit2, Label1, Label2, Button1, Button2), and a control's text.
HWND SettingsDialog(const Perchette& perchette);
inline bool Shown(HWND window) { return window != nullptr && IsWindowVisible(window); }
HWND OpenSettingsDialog(Perchette& perchette);
HWND DialogControl(HWND dialog, int index);
std::wstring ControlText(HWND control);

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
  std::wstring folder_;
  PROCESS_INFORMATION processInfo_{};
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
// The program's open popup menu, or null.
HWND VisibleMenu(const Perchette& perchette);

// The stand-in Remote Access Service (tests/support/rasapi32) in place of the system's, for the
// programs started until the system's is restored.
void InstallTestService();
void RestoreSystemService();
// Where the programs look for the service: the system folder's rasapi32.dll.
std::wstring SystemCopy();

}  // namespace e2e
