#include "tests/e2e/Desk.h"

#include <gtest/gtest.h>

#include <sstream>

std::ostream& operator<<(std::ostream& out, const RECT& rect) {
  return out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
             << ")";
}

namespace e2e {

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

DeskWindow::DeskWindow() {
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = &DeskWindow::Procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    description.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    description.lpszClassName = L"PerchetteDeskWindow";
    return RegisterClassExW(&description);
  }();
  window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), L"Desk", WS_OVERLAPPEDWINDOW, 100, 200,
                            600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  ShowWindow(window_, SW_SHOWNORMAL);
}

LRESULT CALLBACK DeskWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(
        window, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<DeskWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_GETMINMAXINFO:
      // Any size, however small, without the system's minimum for captioned windows.
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
      return 0;
    case WM_LBUTTONDOWN: {
      POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(window, &point);
      if (self) self->presses_.push_back(point);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      // Recorded, not passed on: a press on the caption would start moving the window.
      if (self) {
        self->presses_.push_back(
            {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

INPUT MouseAt(POINT point, DWORD buttonFlags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = (point.x * 65536 + ScreenWidth() / 2) / ScreenWidth();
  input.mi.dy = (point.y * 65536 + ScreenHeight() / 2) / ScreenHeight();
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  return input;
}

bool PointAt(POINT point) {
  INPUT move = MouseAt(point, 0);
  SendInput(1, &move, sizeof move);
  return WaitFor(
      [&] {
        POINT cursor{};
        GetCursorPos(&cursor);
        return cursor.x == point.x && cursor.y == point.y;
      },
      2000);
}

namespace {

// The pointer goes there first; every event names its place, so none lands where the pointer
// was before.
bool PressAndReleaseAt(POINT point, DWORD press, DWORD release) {
  const bool arrived = PointAt(point);
  INPUT click[2] = {MouseAt(point, press), MouseAt(point, release)};
  SendInput(2, click, sizeof click[0]);
  return arrived;
}

}  // namespace

bool ClickAt(POINT point) {
  return PressAndReleaseAt(point, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

bool RightClickAt(POINT point) {
  return PressAndReleaseAt(point, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

std::string SeenState(HWND main) {
  POINT cursor{};
  GetCursorPos(&cursor);
  std::ostringstream out;
  out << " cursor " << cursor.x << "," << cursor.y << " fg "
      << Narrow(ClassName(GetForegroundWindow())) << " main " << WindowRect(main) << " under "
      << Narrow(ClassName(WindowFromPoint(cursor)));
  return out.str();
}

bool WaitForPosition(HWND window, int left, int top, DWORD timeoutMs) {
  return WaitFor(
      [&] {
        const RECT rect = WindowRect(window);
        return rect.left == left && rect.top == top;
      },
      timeoutMs);
}

bool Parked(HWND window) {
  const RECT rect = WindowRect(window);
  return rect.left == GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
         rect.top == GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

HWND StartOnDesk(Perchette& perchette, DeskWindow& desk) {
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  if (main == nullptr) return nullptr;
  desk.Place(100, 200, 700, 600);
  if (!desk.BringToForeground()) return nullptr;
  return WaitForPosition(main, 550, 91, kTwoTicksMs + kReachMs) ? main : nullptr;
}

bool TicksGoOn(const Perchette& perchette, DeskWindow& desk) {
  const HWND main = perchette.MainWindow();
  const RECT before = WindowRect(main);
  desk.Place(230, 310, 830, 710);
  if (!desk.BringToForeground()) {
    ADD_FAILURE() << "the desk did not come to the foreground: "
                  << Narrow(ClassName(GetForegroundWindow())) << " is there";
    return false;
  }
  const bool moved = WaitFor(
      [&] {
        const RECT now = WindowRect(main);
        return now.left != before.left || now.top != before.top;
      },
      5000);
  EXPECT_TRUE(moved) << "she stayed at " << before;
  return moved && WaitUntilIdle(perchette);
}

int RegionMismatches(HRGN region, const perchette::Picture& picture, uint32_t transparent) {
  // The region lies in the window's own coordinates; past the picture's edges nothing belongs.
  int mismatches = 0;
  for (int y = -5; y < picture.height + 5; ++y) {
    for (int x = -5; x < picture.width + 5; ++x) {
      const bool expected =
          picture.At(x, y) != transparent && picture.At(x, y) != perchette::Picture::kOutside;
      if ((PtInRegion(region, x, y) != FALSE) != expected && ++mismatches <= 10) {
        ADD_FAILURE() << "pixel " << x << "," << y << ": expected "
                      << (expected ? "inside" : "outside") << " the region";
      }
    }
  }
  return mismatches;
}

}  // namespace e2e
