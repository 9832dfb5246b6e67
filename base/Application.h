// The application object: title, the hidden application window that owns every other window
// and stands for the program on the taskbar, the message loop, message windows and error reports.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/Window.h"

namespace perchette {

class TApplication : public Window {
 public:
  // Makes the application window; from here on every window's errors reach the general report.
  void Initialize();
  void SetTitle(std::wstring_view title);

  // The main window, set once it exists; a close request to the application goes to it.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  void AddFormWindow(HWND window) { formWindows_.push_back(window); }
  // The modeless dialog whose keys (Tab, Enter, Escape, arrows) the dialog manager handles in the
  // message loop; null for none.
  void SetDialogWindow(HWND window) { dialogWindow_ = window; }

  // Takes and dispatches messages until the quit message comes.
  void Run();

  // Shown or hidden one of the program's form windows: the application window is visible
  // exactly when at least one of them (or a message window) is.
  void FormVisibilityChanged();
  void HideApplicationWindow();

  // Modal message window: centred, captioned with the title, no icon, one "OK".
  void ShowMessage(std::string_view text);

  // The general error report for the exception in flight. A repeating failure (one raised by
  // every tick) is shown once until ForgetRepeatedErrors; no report opens over another.
  void ReportCurrentException(bool repeating = false) noexcept;
  void ForgetRepeatedErrors() { shownRepeated_.clear(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ReportError(const std::string& message, bool repeating);
  void SetModalState(bool modal);

  std::wstring title_;
  HWND mainWindow_ = nullptr;
  HWND dialogWindow_ = nullptr;
  std::vector<HWND> formWindows_;
  int openMessages_ = 0;
  int modalDepth_ = 0;
  bool reportOpen_ = false;
  std::set<std::string> shownRepeated_;
};

TApplication& Application();

}  // namespace perchette
