// TForm1: the settings dialog, modeless, with the hang-up hour and minute in two spin boxes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "base/Handles.h"
#include "base/Window.h"
#include "res/Form1.h"
#include "settings/SpinEdit.h"

namespace perchette {

class TForm1 : public Window {
 public:
  TForm1() = default;
  // The window and its controls go first, while the spin boxes their procedures use still exist.
  ~TForm1() override { DestroySystemWindow(); }

  TSpinEdit SpinEdit1;
  TSpinEdit SpinEdit2;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND Button1 = nullptr;
  HWND Button2 = nullptr;

  // Makes the dialog visible and brings it to the front; FormShow runs only when it was hidden,
  // and fills the spin boxes with the hour and minute given.
  void Show(int32_t hour, int32_t minute);
  // Hides the dialog; it is neither destroyed nor reset.
  void Close();

  void FormShow(int32_t hour, int32_t minute);
  void Button1Click();
  void Button2Click();
  void SaveSettings();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The system window and its controls from the form description, hidden.
  void CreateSystemWindowAndControls();
  // The window's rectangle, at the origin, around the client area at a resolution.
  RECT FrameForDpi(int32_t dpi) const;
  // A control's place in the client area at the dialog's resolution.
  RECT ControlBounds(const form1::ControlLayout& control);
  // Sizes the window so that its client area is the laid-out one at the dialog's resolution.
  void FitClientArea();
  // The window, its fonts and its controls laid out again for a new resolution.
  void LayOut(int32_t dpi, const RECT& suggested);
  // The dialog font of a height given at 96 dpi, at the dialog's resolution.
  HFONT Font(int designHeight);
  LONG TextWidth(const wchar_t* text, HFONT font) const;
  HWND CreateControl(const wchar_t* className, DWORD style, int id, const RECT& bounds,
                     const wchar_t* text, int fontHeight);
  void SelectNextControl(bool backward);
  void Activated();

  std::map<int, UniqueFont> fonts_;
  // The resolution the dialog is laid out for: its display's.
  int32_t dpi_ = 96;
  // The control that had the focus when the dialog was last active.
  HWND savedFocus_ = nullptr;
};

extern TForm1* Form1;

}  // namespace perchette
