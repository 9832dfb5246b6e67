#include "settings/Unit2.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "base/Application.h"
#include "base/DisplayDpi.h"
#include "base/Dpi.h"
#include "res/Form1.h"
#include "settings/SettingsFile.h"

namespace perchette {

TForm1* Form1 = nullptr;

void TForm1::CreateSystemWindowAndControls() {
  // Laid out for the display that its designed place lies on.
  dpi_ = DisplayDpi(RECT{form1::kLeft, form1::kTop, form1::kLeft + form1::kClientWidth,
                         form1::kTop + form1::kClientHeight});
  const RECT frame = FrameForDpi(dpi_);
  const int left = ScaleForDpi(form1::kLeft, dpi_);
  const int top = ScaleForDpi(form1::kTop, dpi_);
  const RECT bounds{left, top, left + (frame.right - frame.left), top + (frame.bottom - frame.top)};
  CreateSystemWindow({.name = form1::kClassName, .background = GetSysColorBrush(COLOR_BTNFACE)},
                     form1::kExStyle, form1::kCaption, form1::kStyle, bounds,
                     Application().Handle());
  FitClientArea();

  TSpinEdit* spinEdits[] = {&SpinEdit1, &SpinEdit2};
  HWND* labels[] = {&Label1, &Label2};
  HWND* buttons[] = {&Button1, &Button2};
  size_t spinEdit = 0, label = 0, button = 0;
  for (const form1::ControlLayout& control : form1::kControls) {
    const RECT rect = ControlBounds(control);
    const DWORD tabStop = control.tabStop ? WS_TABSTOP : 0;
    switch (control.kind) {
      case form1::ControlKind::SpinEdit: {
        TSpinEdit& edit = *spinEdits[spinEdit++];
        edit.Create(Handle(), control.id, rect, Font(control.fontHeight), dpi_, control.arrowsName);
        edit.MinValue = control.minValue;
        edit.MaxValue = control.maxValue;
        edit.SetValue(control.value);
        break;
      }
      case form1::ControlKind::Label:
        *labels[label++] = CreateControl(L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, control.id,
                                         rect, control.text, control.fontHeight);
        break;
      case form1::ControlKind::Button:
        // Told when it loses the focus (BS_NOTIFY), so that it stops looking like the default.
        *buttons[button++] = CreateControl(L"BUTTON", BS_PUSHBUTTON | BS_NOTIFY | tabStop,
                                           control.id, rect, control.text, control.fontHeight);
        break;
    }
  }
  Application().AddFormWindow(Handle());
  Application().SetDialogWindow(Handle());
}

RECT TForm1::FrameForDpi(int32_t dpi) const {
  const RECT client{0, 0, ScaleForDpi(form1::kClientWidth, dpi),
                    ScaleForDpi(form1::kClientHeight, dpi)};
  return WindowRectForClient(client, form1::kStyle, form1::kExStyle, dpi);
}

RECT TForm1::ControlBounds(const form1::ControlLayout& control) {
  // Every position, size and font height of the description is at 96 dpi.
  const auto scaled = [this](int value) { return ScaleForDpi(value, dpi_); };
  RECT rect{scaled(control.left), scaled(control.top), scaled(control.left) + scaled(control.width),
            scaled(control.top) + scaled(control.height)};
  // Scaled, a label grows to its text where the face runs wider than the layout allows; at the
  // design resolution it keeps the laid-out width.
  if (control.kind == form1::ControlKind::Label && dpi_ != kDesignDpi) {
    rect.right =
        std::max<LONG>(rect.right, rect.left + TextWidth(control.text, Font(control.fontHeight)));
  }
  return rect;
}

void TForm1::FitClientArea() {
  // A system that draws the frame at another resolution than the one it was measured at (per
  // display, but the frame at the system's) makes the client area come out otherwise: the window
  // grows or shrinks by the difference.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int extraWidth = ScaleForDpi(form1::kClientWidth, dpi_) - client.right;
  const int extraHeight = ScaleForDpi(form1::kClientHeight, dpi_) - client.bottom;
  if (extraWidth == 0 && extraHeight == 0) return;
  RECT window{};
  GetWindowRect(Handle(), &window);
  SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + extraWidth,
               window.bottom - window.top + extraHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::LayOut(int32_t dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  // The controls keep their old fonts until each has its new one.
  const std::map<int, UniqueFont> oldFonts = std::exchange(fonts_, {});
  dpi_ = dpi;
  const RECT frame = FrameForDpi(dpi_);
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();

  const std::pair<int, HWND> controls[] = {{form1::kLabel1, Label1},
                                           {form1::kLabel2, Label2},
                                           {form1::kButton1, Button1},
                                           {form1::kButton2, Button2}};
  for (const form1::ControlLayout& control : form1::kControls) {
    const RECT rect = ControlBounds(control);
    if (control.kind == form1::ControlKind::SpinEdit) {
      TSpinEdit& edit = control.id == form1::kSpinEdit1 ? SpinEdit1 : SpinEdit2;
      edit.LayOut(rect, Font(control.fontHeight), dpi_);
      continue;
    }
    HWND window = nullptr;
    for (const auto& [id, handle] : controls) {
      if (id == control.id) window = handle;
    }
    PlaceWindow(window, rect);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font(control.fontHeight)), TRUE);
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

HFONT TForm1::Font(int designHeight) {
  UniqueFont& font = fonts_[designHeight];
  if (!font) {
    font.reset(CreateFontW(ScaleForDpi(designHeight, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           form1::kFontCharset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, form1::kFontFace));
  }
  return font.get();
}

LONG TForm1::TextWidth(const wchar_t* text, HFONT font) const {
  const ScopedWindowDc dc(Handle());
  const ScopedSelect select(dc.get(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &extent);
  return extent.cx;
}

HWND TForm1::CreateControl(const wchar_t* className, DWORD style, int id, const RECT& bounds,
                           const wchar_t* text, int fontHeight) {
  // Each control a group of its own, so that the dialog manager's arrow keys find no other
  // control to move the focus to.
  const HWND control = CreateWindowExW(
      0, className, text, WS_CHILD | WS_VISIBLE | WS_GROUP | style, bounds.left, bounds.top,
      bounds.right - bounds.left, bounds.bottom - bounds.top, Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(fontHeight)), FALSE);
  return control;
}

void TForm1::Show(int32_t hour, int32_t minute) {
  // The window and its themed controls are made when first needed, not at start-up.
  if (!HandleAllocated()) {
    try {
      CreateSystemWindowAndControls();
    } catch (...) {
      // No half-made dialog stays behind: the next showing tries again, and reports again.
      DestroySystemWindow();
      throw;
    }
  }
  if (!IsWindowVisible(Handle())) {
    FormShow(hour, minute);
    // The taskbar button comes first, as for every form of the program that shows.
    ShowWindow(Application().Handle(), SW_SHOWNOACTIVATE);
    ShowWindow(Handle(), SW_SHOW);
    Application().FormVisibilityChanged();
  }
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

void TForm1::Close() {
  ShowWindow(Handle(), SW_HIDE);
  Application().FormVisibilityChanged();
}

void TForm1::FormShow(int32_t hour, int32_t minute) {
  SpinEdit1.SetValue(hour);
  SpinEdit2.SetValue(minute);
}

void TForm1::Button1Click() {
  // A failed save leaves here before the close: the dialog stays open with the user's values.
  SaveSettings();
  Close();
}

void TForm1::Button2Click() { Close(); }

void TForm1::SaveSettings() {
  const SettingsFile file(ExecutableSettingsPath());
  file.WriteInt(kSettingsSection, kHourKey, SpinEdit1.Value());
  file.WriteInt(kSettingsSection, kMinuteKey, SpinEdit2.Value());
}

void TForm1::SelectNextControl(bool backward) {
  const HWND focus = GetFocus();
  const HWND from = focus != nullptr && IsChild(Handle(), focus) ? focus : nullptr;
  if (const HWND next = GetNextDlgTabItem(Handle(), from, backward)) SetFocus(next);
}

void TForm1::Activated() {
  // The first activation starts at the first control in tab order; later ones go back to the
  // control that had the focus.
  HWND target = savedFocus_;
  if (target == nullptr || !IsChild(Handle(), target)) {
    target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == form1::kButton1) {
          Button1Click();
          return 0;
        }
        if (LOWORD(wParam) == form1::kButton2) {
          Button2Click();
          return 0;
        }
      }
      if (HIWORD(wParam) == BN_KILLFOCUS) {
        // The dialog manager draws a push button that Tab reaches as the default one; once the
        // focus has gone elsewhere, by Tab or by the mouse, it is a plain button again.
        SendMessageW(reinterpret_cast<HWND>(lParam), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL:
      if (LOWORD(lParam) != 0) {
        // A control named, or none (the dialog manager found nothing to go to): focus stays.
        if (wParam != 0) SetFocus(reinterpret_cast<HWND>(wParam));
      } else {
        SelectNextControl(wParam != 0);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) savedFocus_ = focus;
      } else if (HIWORD(wParam) == 0) {
        Activated();
      }
      return 0;
    case WM_SETFOCUS:
      Activated();
      return 0;
    case WM_GETDPISCALEDSIZE:
      // The size it takes at the coming resolution, so that the system suggests a rectangle of
      // that size: a dialog dragged across two displays then does not flip between them.
      if (lParam != 0) {
        const RECT frame = FrameForDpi(static_cast<int32_t>(wParam));
        *reinterpret_cast<SIZE*>(lParam) = SIZE{frame.right - frame.left, frame.bottom - frame.top};
        return TRUE;
      }
      break;
    case WM_DPICHANGED:
      // Moved to a display of another scale, or the scale changed: laid out anew at the place
      // the system suggests, for the resolution the message brings.
      if (lParam != 0) LayOut(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case DM_GETDEFID: {
      // Neither button is the default one: Enter presses the button that has the focus. Without
      // an answer the dialog manager would send IDOK, which no control of this dialog carries.
      const HWND focus = GetFocus();
      if (focus != nullptr && (focus == Button1 || focus == Button2)) {
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      }
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace perchette
