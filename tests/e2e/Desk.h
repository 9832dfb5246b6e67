// A window of the test's own to perch on and click, and what the driver sees of the character.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"
#include "tests/support/Bitmap.h"

// Found by argument-dependent lookup (RECT lives in the global namespace), so that failure
// messages show rectangles.
std::ostream& operator<<(std::ostream& out, const RECT& rect);

namespace e2e {

RECT WindowRect(HWND window);
inline int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
inline int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

class DeskWindow {
 public:
  DeskWindow();
  DeskWindow(const DeskWindow&) = delete;
  DeskWindow& operator=(const DeskWindow&) = delete;
  ~DeskWindow() { DestroyWindow(window_); }

  HWND Handle() const { return window_; }

  void Place(int left, int top, int right, int bottom) {
    SetWindowPos(window_, nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Foreground changes take a moment to reach the other process; the wait is for this one.
  bool BringToForeground() {
    SetForegroundWindow(window_);
    return WaitFor([&] { return GetForegroundWindow() == window_; }, 3000);
  }

  const std::vector<POINT>& Presses() const { return presses_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::vector<POINT> presses_;
};

// Mouse input at a point of the primary display, in the 0..65535 coordinates of absolute input.
INPUT MouseAt(POINT point, DWORD buttonFlags);
// Moves the pointer to a point of the screen as a mouse does; false if it did not get there.
bool PointAt(POINT point);
// A real press and release of the left or the right button at a point of the screen.
bool ClickAt(POINT point);
bool RightClickAt(POINT point);
// What the driver sees of the pointer and the windows, for failure messages.
std::string SeenState(HWND main);
// Waits until the window's top-left corner is at the point; false, after the deadline, if not.
bool WaitForPosition(HWND window, int left, int top, DWORD timeoutMs);
// Beyond the bottom-right corner of the whole desktop: on one display, at (screen width, screen
// height).
bool Parked(HWND window);

// Starts the program with the desk at (100, 200)-(700, 600) in front: the main window once the
// character sits on the desk's caption at (550, 91), or null.
HWND StartOnDesk(Perchette& perchette, DeskWindow& desk);

// Whether ticks still run: the character follows the desk to a place of its own, wherever her
// perch puts her on it (failures say what went wrong); then waits until that tick has ended.
bool TicksGoOn(const Perchette& perchette, DeskWindow& desk);

// How many pixels in and around the picture the region gets wrong: every pixel of another colour
// than the transparent one belongs, nothing else does. The first few are reported as failures.
int RegionMismatches(HRGN region, const perchette::Picture& picture, uint32_t transparent);

// Where the character sits at 96 dpi: her picture's left edge this far left of the foreground
// window's right edge, and its top this far above the window's top.
constexpr int kPerchOffsetX = 150;
constexpr int kPerchOffsetY = 109;

// The allowance above two ticks is the time a foreground change or a move takes to reach the
// other process under Wine.
constexpr DWORD kTwoTicksMs = 2 * kTickMs;
constexpr DWORD kReachMs = 1200;

}  // namespace e2e
