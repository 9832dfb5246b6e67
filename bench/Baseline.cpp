// The floor for the footprint benchmark: a topmost popup window of the character's size whose
// 200 ms timer makes exactly the window-manager calls of one perching tick, and nothing else.
#include <windows.h>

#include "app/Perch.h"

namespace {

constexpr int kWidth = 80, kHeight = 150;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 200;

void CALLBACK Tick(HWND window, UINT, UINT_PTR, DWORD) {
  // The same four calls as a perching tick, the second foreground answer used as it comes.
  GetForegroundWindow();
  RECT foreground{};
  GetWindowRect(GetForegroundWindow(), &foreground);
  SetWindowPos(window, HWND_TOP, foreground.right - perchette::kPerchOffsetX,
               foreground.top - perchette::kPerchOffsetY, kWidth, kHeight, SWP_NOACTIVATE);
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BaselineProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"PerchetteBaseline";
  if (!RegisterClassW(&windowClass)) return 1;

  const HWND window =
      CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Baseline", WS_POPUP | WS_VISIBLE,
                      0, 0, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  if (!window || !SetTimer(window, kTimerId, kTickMs, Tick)) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
