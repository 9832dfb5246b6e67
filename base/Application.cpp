#include "base/Application.h"

#include <exception>

#include "base/ErrorText.h"
#include "base/WideText.h"

namespace perchette {

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::Initialize() {
  SetErrorReport([]() noexcept { Application().ReportCurrentException(); });
  // A zero-sized window at the centre of the screen, so that message boxes it owns open centred.
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  CreateSystemWindow({.name = L"TApplication", .iconName = L"MAINICON"}, 0, L"",
                     WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                     RECT{x, y, x, y}, nullptr);
}

void TApplication::SetTitle(std::wstring_view title) {
  title_ = title;
  if (HandleAllocated()) SetWindowTextW(Handle(), title_.c_str());
}

void TApplication::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // A key for the dialog or one of its controls is the dialog manager's: it moves the focus,
    // presses buttons, and translates and dispatches whatever it does not handle itself.
    if (dialogWindow_ != nullptr && IsDialogMessageW(dialogWindow_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void TApplication::FormVisibilityChanged() {
  bool anyVisible = openMessages_ > 0;
  for (HWND form : formWindows_) anyVisible = anyVisible || IsWindowVisible(form);
  if (anyVisible) {
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  } else {
    HideApplicationWindow();
  }
}

void TApplication::HideApplicationWindow() { ShowWindow(Handle(), SW_HIDE); }

void TApplication::SetModalState(bool modal) {
  // While a message window is open the program's own windows take no input; they keep moving.
  modalDepth_ += modal ? 1 : -1;
  const bool enable = modalDepth_ == 0;
  for (HWND form : formWindows_) EnableWindow(form, enable);
}

void TApplication::ShowMessage(std::string_view text) {
  // The text first: a text that cannot be made leaves no window disabled.
  const std::wstring wide = Widen(text);
  ++openMessages_;
  FormVisibilityChanged();
  SetModalState(true);
  MessageBoxW(Handle(), wide.c_str(), title_.c_str(), MB_OK | MB_SETFOREGROUND);
  SetModalState(false);
  --openMessages_;
  FormVisibilityChanged();
}

void TApplication::ReportCurrentException(bool repeating) noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      ReportError(error.what(), repeating);
    } catch (...) {
      ReportError("予期しないエラーが発生しました", repeating);
    }
  } catch (...) {
    // Nothing may leave a window procedure, not even a failing report.
  }
}

void TApplication::ReportError(const std::string& message, bool repeating) {
  if (reportOpen_) return;
  // The text first: a text that cannot be made leaves no window disabled and no report held back.
  const std::wstring wide = Widen(ErrorReportText(message));
  if (repeating && !shownRepeated_.insert(message).second) return;
  reportOpen_ = true;
  SetModalState(true);
  MessageBoxW(Handle(), wide.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  SetModalState(false);
  reportOpen_ = false;
}

LRESULT TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (mainWindow_ != nullptr) PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends: stop at once, without the close handler.
      if (wParam != 0) ExitProcess(0);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace perchette
