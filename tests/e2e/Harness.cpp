#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "res/Ids.h"

namespace e2e {

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return condition();
    Pump(20);
  }
}

bool WaitUntilIdle(const Perchette& perchette) {
  // A sent message is answered only when the thread reads its queue again. Sent messages go
  // before posted ones, so one round trip proves little; after a few the thread has been back to
  // its queue again and again, and what was posted before has had its turn.
  constexpr int kRounds = 3;
  for (int round = 0; round < kRounds; ++round) {
    if (!perchette.Alive("the program to take up its messages")) return false;
    for (HWND window : ProcessWindows(perchette.ProcessId())) {
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) &&
          IsWindow(window)) {
        return false;
      }
    }
  }
  return perchette.Alive("the program to take up its messages");
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId &&
      (search.className == nullptr || ClassName(window) == search.className)) {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProcessWindow(DWORD processId, const wchar_t* className) {
  const auto windows = ProcessWindows(processId, className);
  return windows.empty() ? nullptr : windows.front();
}

MessageBoxView ViewMessageBox(HWND box) {
  MessageBoxView view;
  view.window = box;
  view.title = WindowText(box);
  // The system's message box keeps its text in a static control with the identifier 0xFFFF and
  // its icon in the one with 0x440.
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  view.text = text;
  if (HWND icon = GetDlgItem(box, 0x440)) {
    view.hasIcon = SendMessageW(icon, STM_GETICON, 0, 0) != 0 && IsWindowVisible(icon);
  }
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) == L"Button") ++view.buttons;
  }
  return view;
}

std::vector<HWND> MessageBoxes(DWORD processId) {
  std::vector<HWND> boxes;
  for (HWND window : ProcessWindows(processId, L"#32770")) {
    if (IsWindowVisible(window)) boxes.push_back(window);
  }
  return boxes;
}

namespace {

void PostOk(HWND box) { PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

}  // namespace

bool PressOk(HWND box) {
  if (box == nullptr) return false;
  PostOk(box);
  // A box stays a window, and visible, for a moment after it was answered: it is not gone, and
  // not the next box, until it is destroyed.
  return WaitFor([&] { return !IsWindow(box); }, 5000);
}

std::wstring ReadTextFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return Widen(content.str());
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

std::wstring MakeFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  const std::wstring folder = std::wstring(temp) + L"perchette-e2e-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace

Perchette::Perchette(std::optional<std::string> settings) : folder_(MakeFolder()) {
  const std::wstring program = BuildFolder() + L"\\Perchette.exe";
  EXPECT_TRUE(CopyFileW(program.c_str(), ExePath().c_str(), FALSE)) << "cannot copy the program";
  if (settings) {
    std::ofstream file(std::filesystem::path(SettingsPath()), std::ios::binary);
    file << *settings;
  }
}

Perchette::~Perchette() {
  if (Running()) Close();
  ReportEnd();
  if (processInfo_.hProcess) CloseHandle(processInfo_.hProcess);
  if (processInfo_.hThread) CloseHandle(processInfo_.hThread);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder_), ignored);
}

void Perchette::Start() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + ExePath() + L"\"";
  ASSERT_TRUE(CreateProcessW(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, folder_.c_str(), &startup, &processInfo_))
      << "CreateProcess failed: " << GetLastError();
  shownAt_ = GetTickCount();
}

HWND Perchette::MainWindow() const { return ProcessWindow(ProcessId(), L"TMainForm"); }

HWND Perchette::ApplicationWindow() const { return ProcessWindow(ProcessId(), L"TApplication"); }

HWND Perchette::WaitForMainWindow(DWORD timeoutMs) {
  HWND main = nullptr;
  WaitFor([&] { return !Running() || ((main = MainWindow()) != nullptr && IsWindowVisible(main)); },
          timeoutMs);
  if (!Alive("its main window")) return nullptr;
  if (!hadMainWindow_ && main != nullptr) shownAt_ = GetTickCount();
  hadMainWindow_ = hadMainWindow_ || main != nullptr;
  return main;
}

HWND Perchette::WaitForMessageBox(DWORD timeoutMs) const {
  HWND box = nullptr;
  WaitFor(
      [&] {
        const auto boxes = MessageBoxes(ProcessId());
        box = boxes.empty() ? nullptr : boxes.front();
        return !Running() || (box != nullptr && !ViewMessageBox(box).text.empty());
      },
      timeoutMs);
  return Alive("a message box") ? box : nullptr;
}

bool Perchette::Alive(const char* awaited) const {
  if (!Running()) {
    ADD_FAILURE() << "Perchette has ended, exit code " << ExitCode() << ", awaiting " << awaited;
    return false;
  }
  if (hadMainWindow_ && MainWindow() == nullptr) {
    ADD_FAILURE() << "Perchette has lost its main window, awaiting " << awaited;
    return false;
  }
  return true;
}

void Perchette::ReportEnd() const {
  if (endReported_ || processInfo_.hProcess == nullptr || Running()) return;
  endReported_ = true;
  if (!endExpected_) {
    ADD_FAILURE() << "Perchette ended by itself, exit code " << ExitCode();
  } else if (ExitCode() != 0) {
    ADD_FAILURE() << "Perchette ended with exit code " << ExitCode();
  }
}

bool Perchette::Running() const {
  return processInfo_.hProcess && WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Perchette::WaitForExit(DWORD timeoutMs) const {
  endExpected_ = true;
  if (!processInfo_.hProcess) return true;
  if (!WaitFor([&] { return !Running(); }, timeoutMs)) return false;
  ReportEnd();
  return true;
}

bool Perchette::LivedTwoTicks() const {
  // Here a length of time is the point: a program that would end itself at a tick must not pass
  // a test that closes it sooner.
  WaitFor([&] { return !Running() || GetTickCount() - shownAt_ >= 2 * kTickMs; });
  return WaitUntilIdle(*this);
}

void Perchette::Close() {
  if (!Running() || !LivedTwoTicks()) return ReportEnd();
  // Message boxes first: a modal box holds the program until it is answered.
  for (int round = 0; round < 5; ++round) {
    for (HWND box : MessageBoxes(ProcessId())) PostOk(box);
    if (HWND main = MainWindow()) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForExit(3000)) return;
  }
  ADD_FAILURE() << "Perchette did not end on WM_CLOSE; killed";
  endReported_ = true;
  TerminateProcess(processInfo_.hProcess, 1);
  WaitForSingleObject(processInfo_.hProcess, 5000);
}

HWND VisibleMenu(const Perchette& perchette) {
  for (HWND menu : ProcessWindows(perchette.ProcessId(), L"#32768")) {
    if (IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

HWND SettingsDialog(const Perchette& perchette) {
  return ProcessWindow(perchette.ProcessId(), L"TForm1");
}

HWND OpenSettingsDialog(Perchette& perchette) {
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  if (main == nullptr) return nullptr;
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuSettings, 0);
  HWND dialog = nullptr;
  WaitFor([&] { return !perchette.Running() || Shown(dialog = SettingsDialog(perchette)); });
  return perchette.Alive("the settings dialog") && Shown(dialog) ? dialog : nullptr;
}

HWND DialogControl(HWND dialog, int index) {
  using namespace perchette::ids;
  constexpr int kFieldIds[] = {kSpinEdit1, kSpinEdit2, kLabel1, kLabel2, kButton1, kButton2};
  return index >= 0 && index < 6 ? GetDlgItem(dialog, kFieldIds[index]) : nullptr;
}

RECT ClientBounds(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ControlText(HWND control) {
  // WM_GETTEXT crosses processes; the control answers with what it holds now.
  wchar_t text[256] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, &length);
  return text;
}

DWORD Perchette::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (processInfo_.hProcess) GetExitCodeProcess(processInfo_.hProcess, &code);
  return code;
}

int TrayIcons() {
  int icons = 0;
  for (HWND tray = FindWindowExW(nullptr, nullptr, L"__winex11_standalone_tray", nullptr);
       tray != nullptr;
       tray = FindWindowExW(nullptr, tray, L"__winex11_standalone_tray", nullptr)) {
    for (HWND icon = GetWindow(tray, GW_CHILD); icon; icon = GetWindow(icon, GW_HWNDNEXT)) {
      if (IsWindowVisible(icon)) ++icons;
    }
  }
  return icons;
}

int SettledTrayIcons() {
  WaitFor([] { return TrayIcons() == 0; }, 10000);
  return TrayIcons();
}

UINT TaskbarCreatedMessage() { return RegisterWindowMessageW(L"TaskbarCreated"); }

void TakeTrayIconAway(HWND main) {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = main;
  record.uID = perchette::ids::kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &record);
}

namespace {

const wchar_t kOverridesKey[] = L"Software\\Wine\\AppDefaults\\Perchette.exe\\DllOverrides";
const wchar_t kProgramKey[] = L"Software\\Wine\\AppDefaults\\Perchette.exe";

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return folder;
}

std::wstring SystemBackup() { return SystemFolder() + L"\\rasapi32.dll.perchette-original"; }

bool KeyIsEmpty(const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD subKeys = 0;
  DWORD values = 0;
  const LONG status = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subKeys, nullptr,
                                       nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS && subKeys == 0 && values == 0;
}

}  // namespace

std::wstring SystemCopy() { return SystemFolder() + L"\\rasapi32.dll"; }

// Puts the stand-in where the program looks for the service (the system folder; this driver has
// the program's bitness, so its system folder is the program's) and makes Wine load it there
// instead of its built-in service.
void InstallTestService() {
  // A backup left by an interrupted run is the original: keep it.
  if (!FileExists(SystemBackup()) && FileExists(SystemCopy())) {
    ASSERT_TRUE(CopyFileW(SystemCopy().c_str(), SystemBackup().c_str(), TRUE))
        << "cannot back up the system's rasapi32.dll: " << GetLastError();
  }
  const std::wstring testCopy = BuildFolder() + L"\\rasapi32.dll";
  ASSERT_TRUE(CopyFileW(testCopy.c_str(), SystemCopy().c_str(), FALSE))
      << "cannot install the test service: " << GetLastError();

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOverridesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  static const wchar_t kNative[] = L"native";
  const LONG status = RegSetValueExW(key, L"rasapi32", 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(kNative), sizeof kNative);
  RegCloseKey(key);
  ASSERT_EQ(status, ERROR_SUCCESS);
}

void RestoreSystemService() {
  if (FileExists(SystemBackup())) {
    EXPECT_TRUE(CopyFileW(SystemBackup().c_str(), SystemCopy().c_str(), FALSE))
        << "cannot restore the system's rasapi32.dll: " << GetLastError();
    DeleteFileW(SystemBackup().c_str());
  } else {
    DeleteFileW(SystemCopy().c_str());
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverridesKey, L"rasapi32");
  // The keys go only when nothing else has been put there.
  if (KeyIsEmpty(kOverridesKey)) RegDeleteKeyW(HKEY_CURRENT_USER, kOverridesKey);
  if (KeyIsEmpty(kProgramKey)) RegDeleteKeyW(HKEY_CURRENT_USER, kProgramKey);
}

}  // namespace e2e
