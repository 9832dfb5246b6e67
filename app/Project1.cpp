// Program entry: the application object, the main window, the settings dialog, the message loop.
#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "app/Unit1.h"
#include "base/Application.h"
#include "base/Handles.h"
#include "res/Ids.h"
#include "settings/Unit2.h"

namespace {

// Held by the running Perchette of this user session for its whole run. The name is not tied to
// the program's folder, so a copy elsewhere counts as the same program.
constexpr wchar_t kRunningName[] = L"Local\\Perchette.Running";

// The running Perchette's main window: the character's window, owned by an application window
// titled "Perchette". A start at the same moment as this one may not have made it yet.
HWND WaitForRunningMainWindow() {
  const DWORD start = GetTickCount();
  do {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"TMainForm", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"TMainForm", nullptr)) {
      wchar_t title[16] = {};
      GetWindowTextW(GetWindow(window, GW_OWNER), title, 16);
      if (std::wcscmp(title, L"Perchette") == 0) return window;
    }
    Sleep(50);
  } while (GetTickCount() - start < 5000);
  return nullptr;
}

// A second start shows the running Perchette's settings, as its menu's settings item does, and
// lets that program take the foreground that the user gave to this one.
void OpenRunningSettings() {
  const HWND running = WaitForRunningMainWindow();
  if (running == nullptr) return;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  AllowSetForegroundWindow(processId);
  PostMessageW(running, WM_COMMAND, perchette::ids::kMenuSettings, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace perchette;
  // Decided before any window exists, so that two starts at the same moment leave one Perchette.
  // A Perchette running as administrator holds the name where this one may not even open it.
  const UniqueKernelHandle running(CreateMutexW(nullptr, FALSE, kRunningName));
  const DWORD answer = GetLastError();
  if (answer == ERROR_ALREADY_EXISTS || (!running && answer == ERROR_ACCESS_DENIED)) {
    OpenRunningSettings();
    return 0;
  }

  TApplication& application = Application();
  // Destroyed in the reverse order: the dialog, then the main window, each before the objects its
  // procedures use.
  TMainForm mainForm;
  TForm1 form1;
  try {
    application.Initialize();
    application.SetTitle(L"Perchette");
    MainForm = &mainForm;
    mainForm.Create();
    // The dialog's system window comes when it is first shown.
    Form1 = &form1;
  } catch (...) {
    // The program cannot run without its windows or its timer: it says why and ends.
    application.ReportCurrentException();
    return 1;
  }

  application.Run();
  return 0;
}

// Nothing escapes the handlers, so a terminate can only be a fault: end plainly. The library's
// own handler names the exception and would bring its whole name demangler into the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
