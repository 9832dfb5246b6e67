#include "settings/SpinButton.h"

#include <utility>

#include "base/Dpi.h"
#include "base/Handles.h"
#include "res/Form1.h"

namespace perchette {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

uint32_t Now() { return GetTickCount(); }

// The arrow picture at the dialog's resolution: each of its pixels becomes the block that the
// scaled positions of its edges enclose, so that the triangle keeps its shape.
void DrawArrow(HDC dc, const char* const (&picture)[form1::kArrowHeight], int left, int top,
               COLORREF colour, int32_t dpi) {
  const UniqueBrush brush(CreateSolidBrush(colour));
  for (int y = 0; y < form1::kArrowHeight; ++y) {
    for (int x = 0; x < form1::kArrowWidth; ++x) {
      if (picture[y][x] != '#') continue;
      const RECT block{left + ScaleForDpi(x, dpi), top + ScaleForDpi(y, dpi),
                       left + ScaleForDpi(x + 1, dpi), top + ScaleForDpi(y + 1, dpi)};
      FillRect(dc, &block, brush.get());
    }
  }
}

}  // namespace

void TSpinButton::Create(HWND field, std::function<void(int32_t)> step, const wchar_t* name) {
  step_ = std::move(step);
  CreateSystemWindow({.name = L"TSpinButton", .background = GetSysColorBrush(COLOR_BTNFACE)}, 0,
                     name, WS_CHILD | WS_VISIBLE, RECT{}, field);
}

void TSpinButton::SetBounds(const RECT& bounds, int32_t dpi) {
  dpi_ = dpi;
  PlaceWindow(Handle(), bounds);
  InvalidateRect(Handle(), nullptr, FALSE);
}

RECT TSpinButton::PartRect(Part part) const {
  RECT client{};
  GetClientRect(Handle(), &client);
  // The upper half rounded down; the lower takes the rest and one row it shares with the upper.
  const int upHeight = client.bottom / 2;
  if (part == Part::Up) return RECT{0, 0, client.right, upHeight};
  return RECT{0, upHeight - 1, client.right, client.bottom};
}

TSpinButton::Part TSpinButton::PartAt(POINT point) const {
  // The lower button lies over the shared row.
  const RECT down = PartRect(Part::Down);
  if (PtInRect(&down, point)) return Part::Down;
  const RECT up = PartRect(Part::Up);
  if (PtInRect(&up, point)) return Part::Up;
  return Part::None;
}

void TSpinButton::Press(Part part) {
  if (part == Part::None) return;
  const HWND field = GetParent(Handle());
  if (GetFocus() != field) SetFocus(field);
  pressed_ = part;
  pointerOn_ = true;
  repeat_.Press(Now());
  SetCapture(Handle());
  ArmTimer();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TSpinButton::Track(POINT point) {
  if (pressed_ == Part::None) return;
  const RECT rect = PartRect(pressed_);
  const bool on = PtInRect(&rect, point) != FALSE;
  if (on == pointerOn_) return;
  pointerOn_ = on;
  if (on) {
    repeat_.PointerOn(Now());
  } else {
    StepBy(pressed_, repeat_.Advance(Now()));
    repeat_.PointerOff(Now());
  }
  ArmTimer();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TSpinButton::Tick() {
  if (pressed_ == Part::None) return;
  StepBy(pressed_, repeat_.Advance(Now()));
  ArmTimer();
}

void TSpinButton::Release(POINT point) {
  if (pressed_ == Part::None) return;
  const RECT rect = PartRect(pressed_);
  const Part part = pressed_;
  const int steps = repeat_.Release(Now(), PtInRect(&rect, point) != FALSE);
  EndPress();
  StepBy(part, steps);
}

void TSpinButton::EndPress() {
  pressed_ = Part::None;
  pointerOn_ = false;
  KillTimer(Handle(), kRepeatTimer);
  if (GetCapture() == Handle()) ReleaseCapture();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TSpinButton::ArmTimer() {
  if (pressed_ == Part::None || !pointerOn_) {
    KillTimer(Handle(), kRepeatTimer);
    return;
  }
  const auto untilDue = static_cast<int32_t>(repeat_.NextDue() - Now());
  SetTimer(Handle(), kRepeatTimer, static_cast<UINT>(untilDue > 0 ? untilDue : 1), nullptr);
}

void TSpinButton::StepBy(Part part, int steps) const {
  const int32_t direction = part == Part::Up ? 1 : -1;
  for (int i = 0; i < steps; ++i) step_(direction);
}

void TSpinButton::Paint(HDC dc) const {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  // The upper button first: the lower one draws the shared row over it.
  for (const Part part : {Part::Up, Part::Down}) {
    RECT rect = PartRect(part);
    const bool down = part == pressed_ && pointerOn_;
    const UniqueBrush brush(CreateSolidBrush(face));
    FillRect(dc, &rect, brush.get());
    DrawEdge(dc, &rect, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = down ? 1 : 0;
    const int left =
        rect.left + (rect.right - rect.left - ScaleForDpi(form1::kArrowWidth, dpi_)) / 2 + shift;
    const int top =
        rect.top + (rect.bottom - rect.top - ScaleForDpi(form1::kArrowHeight, dpi_)) / 2 + shift;
    DrawArrow(dc, part == Part::Up ? form1::kSpinUp : form1::kSpinDown, left, top, text, dpi_);
  }
}

LRESULT TSpinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_LBUTTONDOWN:
      Press(PartAt(point));
      return 0;
    case WM_MOUSEMOVE:
      Track(point);
      return 0;
    case WM_LBUTTONUP:
      Release(point);
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away (a message box, another window): the press ends without a step.
      if (pressed_ != Part::None && reinterpret_cast<HWND>(lParam) != Handle()) {
        StepBy(pressed_, repeat_.Advance(Now()));
        repeat_.Release(Now(), false);
        EndPress();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) Tick();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace perchette
