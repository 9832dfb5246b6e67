#include "settings/SpinEdit.h"

#include <windows.h>

#include <imm.h>

#include <vector>

#include "base/Dpi.h"
#include "base/Subclass.h"
#include "base/WideText.h"
#include "base/Window.h"
#include "res/Form1.h"

namespace perchette {

namespace {

// The decimal separator of the user's locale settings, asked anew each time.
wchar_t LocaleDecimalSeparator() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return L'.';
  return separator[0];
}

}  // namespace

void TSpinEdit::Create(HWND parent, int id, const RECT& bounds, HFONT font, int32_t dpi,
                       const wchar_t* arrowsName) {
  // Multi-line, so that Enter and Escape stay in the field; one line of it shows. A group of its
  // own, like every control of the dialog.
  edit_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN | ES_MULTILINE |
          ES_AUTOHSCROLL,
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
  button_.Create(
      edit_, [this](int32_t direction) { Step(direction * Increment); }, arrowsName);
  LayOut(bounds, font, dpi);
}

void TSpinEdit::LayOut(const RECT& bounds, HFONT font, int32_t dpi) {
  PlaceWindow(edit_, bounds);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  RECT inner{};
  GetClientRect(edit_, &inner);
  // Inside the right end: one pixel free at the right and at the bottom of the inner area.
  const int free = ScaleForDpi(1, dpi);
  const int buttonWidth = ScaleForDpi(form1::kSpinButtonWidth, dpi);
  button_.SetBounds(
      RECT{inner.right - free - buttonWidth, 0, inner.right - free, inner.bottom - free}, dpi);
  // The text stops short of the buttons. Set after the font, which resets the text area.
  RECT text{0, 0, inner.right - buttonWidth - ScaleForDpi(2, dpi), inner.bottom + 1};
  SendMessageW(edit_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
  InvalidateRect(edit_, nullptr, TRUE);
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
    case WM_GETDLGCODE: {
      // A multi-line field claims every key. This one leaves Tab to the dialog manager, which
      // moves the focus, and keeps Enter and Escape from it, so that neither presses a button.
      LRESULT code = CallOriginalProcedure(edit_, message, wParam, lParam) & ~DLGC_WANTALLKEYS;
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key != nullptr && key->message == WM_KEYDOWN &&
          (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code | DLGC_WANTCHARS | DLGC_WANTARROWS;
    }
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
