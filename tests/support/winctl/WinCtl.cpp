// winctl: places and closes top-level windows of other programs by their class name.
//
//   winctl wait CLASS                          only wait for the window
//   winctl perched CLASS UNDER                 wait until the window sits on UNDER's top edge
//   winctl place CLASS LEFT TOP RIGHT BOTTOM   move the window there and bring it to the front
//   winctl close CLASS                         send it WM_CLOSE and wait for its program to end
//   winctl command CLASS ID                    post it WM_COMMAND with the command id ID
//
// Each command first waits up to 15 s for a visible window of the class; a wait ends once the
// window has painted what it has to paint. Exit code 0 on success; otherwise a line on the
// standard error and exit code 1.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kWaitMs = 15000;

bool Deadline(DWORD start, DWORD timeoutMs) { return GetTickCount() - start > timeoutMs; }

HWND WaitForWindow(const wchar_t* className) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HWND window = FindWindowW(className, nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (Deadline(start, kWaitMs)) return nullptr;
    Sleep(50);
  }
}

int Fail(const wchar_t* what, const wchar_t* className) {
  std::fwprintf(stderr, L"winctl: %ls (window class %ls)\n", what, className);
  return 1;
}

// The window's pending paint done now: for another program's window the call returns once that
// program has painted, so that a screenshot shows it.
int Painted(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return 0;
}

int WaitPerched(const wchar_t* className, const wchar_t* underClass) {
  const HWND window = WaitForWindow(className);
  if (window == nullptr) return Fail(L"no such window", className);
  const HWND under = WaitForWindow(underClass);
  if (under == nullptr) return Fail(L"no such window", underClass);
  const DWORD start = GetTickCount();
  for (;;) {
    RECT rect{}, below{};
    if (!GetWindowRect(window, &rect) || !GetWindowRect(under, &below)) {
      return Fail(L"the window is gone", className);
    }
    // Across the other's top edge, within its width.
    if (rect.top < below.top && rect.bottom > below.top && rect.left >= below.left &&
        rect.right <= below.right) {
      return Painted(window);
    }
    if (Deadline(start, kWaitMs)) return Fail(L"the window did not come to sit on", underClass);
    Sleep(50);
  }
}

bool ParseInt(const wchar_t* text, int& value) {
  wchar_t* end = nullptr;
  const long parsed = std::wcstol(text, &end, 10);
  if (end == text || *end != L'\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

int Place(const wchar_t* className, const int (&rect)[4]) {
  const HWND window = WaitForWindow(className);
  if (window == nullptr) return Fail(L"no such window", className);
  ShowWindow(window, SW_RESTORE);
  SetWindowPos(window, nullptr, rect[0], rect[1], rect[2] - rect[0], rect[3] - rect[1],
               SWP_NOZORDER);
  SetForegroundWindow(window);
  // The foreground change can take a moment to show.
  const DWORD start = GetTickCount();
  while (GetForegroundWindow() != window) {
    if (Deadline(start, 3000)) return Fail(L"the window did not come to the foreground", className);
    Sleep(50);
  }
  return 0;
}

int Close(const wchar_t* className) {
  const HWND window = WaitForWindow(className);
  if (window == nullptr) return Fail(L"no such window", className);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (process == nullptr) {
    // Without a handle on the program, wait for its window to go instead.
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
      if (Deadline(start, kWaitMs)) return Fail(L"the window did not close", className);
      Sleep(50);
    }
    return 0;
  }
  const DWORD result = WaitForSingleObject(process, kWaitMs);
  CloseHandle(process);
  return result == WAIT_OBJECT_0 ? 0 : Fail(L"the program did not end", className);
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: winctl wait CLASS\n"
                L"       winctl perched CLASS UNDER\n"
                L"       winctl place CLASS LEFT TOP RIGHT BOTTOM\n"
                L"       winctl close CLASS\n"
                L"       winctl command CLASS ID\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  if (command == L"wait" && argc == 3) {
    const HWND window = WaitForWindow(argv[2]);
    return window != nullptr ? Painted(window) : Fail(L"no such window", argv[2]);
  }
  if (command == L"perched" && argc == 4) return WaitPerched(argv[2], argv[3]);
  if (command == L"close" && argc == 3) return Close(argv[2]);
  if (command == L"command" && argc == 4) {
    int id = 0;
    if (!ParseInt(argv[3], id)) return Usage();
    const HWND window = WaitForWindow(argv[2]);
    if (window == nullptr) return Fail(L"no such window", argv[2]);
    return PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0)
               ? 0
               : Fail(L"cannot post", argv[2]);
  }
  if (command == L"place" && argc == 7) {
    int rect[4];
    for (int i = 0; i < 4; ++i) {
      if (!ParseInt(argv[3 + i], rect[i])) return Usage();
    }
    return Place(argv[2], rect);
  }
  return Usage();
}
