#include "settings/SpinEdit.h"

#include <windows.h>

#include <imm.h>

#include <vector>

#include "base/Application.h"
#include "base/Dpi.h"
#include "base/Handles.h"
#include "base/Subclass.h"
#include "base/WideText.h"
#include "res/Form1.h"

namespace perchette {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;

uint32_t Now() { return GetTickCount(); }

// The decimal separator of the user's locale settings, asked anew each time.
wchar_t LocaleDecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return L'.';
  return separator[0];
}

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

// TSpinButton.

void TSpinButton::Create(TSpinEdit& edit, const RECT& bounds) {
  edit_ = &edit;
  CreateSystemWindow({.name = L"TSpinButton", .background = GetSysColorBrush(COLOR_BTNFACE)}, 0,
                     L"", WS_CHILD | WS_VISIBLE, bounds, edit.Handle());
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
  if (GetFocus() != edit_->Handle()) SetFocus(edit_->Handle());
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
  for (int i = 0; i < steps; ++i) edit_->Step(direction * edit_->Increment);
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
    const int32_t dpi = edit_->Dpi();
    const int left =
        rect.left + (rect.right - rect.left - ScaleForDpi(form1::kArrowWidth, dpi)) / 2 + shift;
    const int top =
        rect.top + (rect.bottom - rect.top - ScaleForDpi(form1::kArrowHeight, dpi)) / 2 + shift;
    DrawArrow(dc, part == Part::Up ? form1::kSpinUp : form1::kSpinDown, left, top, text, dpi);
  }
}

LRESULT TSpinButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
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

// TSpinEdit.

void TSpinEdit::Create(HWND parent, int id, const RECT& bounds, HFONT font, int32_t dpi) {
  dpi_ = dpi;
  // Multi-line, so that Enter and Escape stay in the field; one line of it shows.
  edit_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | ES_MULTILINE | ES_AUTOHSCROLL,
      bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SubclassControl(
      edit_,
      [](void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        return static_cast<TSpinEdit*>(self)->HandleEditMessage(message, wParam, lParam);
      },
      this);
  // Numbers only: the input method stays off here, so typed digits come as plain digits.
  ImmAssociateContext(edit_, nullptr);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  RECT inner{};
  GetClientRect(edit_, &inner);
  // Inside the right end: one pixel free at the right and at the bottom of the inner area.
  const int free = ScaleForDpi(1, dpi);
  const int buttonWidth = ScaleForDpi(form1::kSpinButtonWidth, dpi);
  button_.Create(
      *this, RECT{inner.right - free - buttonWidth, 0, inner.right - free, inner.bottom - free});
  // The text stops short of the buttons. Set after the font, which resets the text area.
  RECT text{0, 0, inner.right - buttonWidth - ScaleForDpi(2, dpi), inner.bottom + 1};
  SendMessageW(edit_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

int32_t TSpinEdit::Value() const { return ReadSpinValue(Text(), Bounds()); }

void TSpinEdit::SetValue(int32_t value) { SetText(SpinTextFor(value, Bounds())); }

void TSpinEdit::Step(int32_t increment) { SetText(StepText(Text(), increment, Bounds())); }

std::string TSpinEdit::Text() const {
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(edit_)) + 1);
  const int length = GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()));
  return Narrow(std::wstring_view(text.data(), static_cast<size_t>(length)));
}

void TSpinEdit::SetText(const std::string& text) { SetWindowTextW(edit_, Widen(text).c_str()); }

bool TSpinEdit::AcceptsChar(WPARAM ch) const {
  return AcceptsSpinChar(static_cast<char32_t>(ch), LocaleDecimalSeparator());
}

std::wstring TSpinEdit::CompositionResult() const {
  std::wstring result;
  if (const HIMC context = ImmGetContext(edit_)) {
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
      result.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
      ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(edit_, context);
  }
  return result;
}

LRESULT TSpinEdit::HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
      // Tab moves the focus (on its key-down) and never enters the text.
      if (wParam == L'\t') return 0;
      if (!AcceptsChar(wParam)) {
        MessageBeep(0);
        return 0;
      }
      // What an input method sends enters as a typed character would.
      return CallOriginalProcedure(edit_, WM_CHAR, wParam, lParam);
    case WM_IME_COMPOSITION:
      // A finished composition goes through the same filter, character by character, instead of
      // being inserted whole by the field.
      if ((lParam & GCS_RESULTSTR) != 0) {
        for (const wchar_t ch : CompositionResult()) HandleEditMessage(WM_CHAR, ch, 1);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP:
          Step(Increment);
          return 0;
        case VK_DOWN:
          Step(-Increment);
          return 0;
        case VK_TAB:
          SendMessageW(GetParent(edit_), WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) != 0, 0);
          return 0;
        case VK_RETURN:
        case VK_ESCAPE:
          // Kept from the edit control, which would hand them to the dialog (Escape closes it).
          return 0;
        default:
          break;
      }
      break;
    case WM_LBUTTONDOWN: {
      pressingText_ = true;
      const LRESULT result = CallOriginalProcedure(edit_, message, wParam, lParam);
      pressingText_ = false;
      return result;
    }
    case WM_SETFOCUS: {
      const LRESULT result = CallOriginalProcedure(edit_, message, wParam, lParam);
      if (!pressingText_) SendMessageW(edit_, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = CallOriginalProcedure(edit_, message, wParam, lParam);
      // Only a move to another control of the dialog counts as leaving the field; the dialog
      // losing the activation keeps the text as typed.
      const auto next = reinterpret_cast<HWND>(wParam);
      if (next != nullptr && IsChild(GetParent(edit_), next)) {
        if (const auto held = TextOnLeave(Text(), Bounds())) SetText(*held);
      }
      return result;
    }
    default:
      break;
  }
  return CallOriginalProcedure(edit_, message, wParam, lParam);
}

}  // namespace perchette
