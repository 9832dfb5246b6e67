#include "settings/Unit2.h"

#include "app/Application.h"
#include "app/Unit1.h"

namespace perchette {

TForm1* Form1 = nullptr;

void TForm1::Create() {
  RECT bounds{292, 172, 292 + 427, 172 + 48};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_CLIPSIBLINGS;
  AdjustWindowRectEx(&bounds, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
  bounds = RECT{292, 172, 292 + (bounds.right - bounds.left), 172 + (bounds.bottom - bounds.top)};
  CreateSystemWindow({.name = L"TForm1", .background = GetSysColorBrush(COLOR_BTNFACE)},
                     WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, L"Perchette", style, bounds,
                     Application().Handle());
  Application().AddFormWindow(Handle());
}

void TForm1::Show() {
  if (!IsWindowVisible(Handle())) {
    FormShow();
    ShowWindow(Handle(), SW_SHOW);
    Application().FormVisibilityChanged();
  }
  SetForegroundWindow(Handle());
}

void TForm1::Close() {
  ShowWindow(Handle(), SW_HIDE);
  Application().FormVisibilityChanged();
}

void TForm1::FormShow() {}

void TForm1::Button1Click() {
  SaveSettings();
  Close();
}

void TForm1::Button2Click() { Close(); }

void TForm1::SaveSettings() {}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    Close();
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace perchette
