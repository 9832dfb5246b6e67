// TForm1: the settings dialog, modeless, with the hang-up hour and minute in two spin boxes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "base/Handles.h"
#include "base/Window.h"
#include "settings/SpinEdit.h"

namespace perchette {

class TForm1 : public Window {
 public:
  TForm1() = default;
  // The window and its controls go first, while the spin boxes their procedures use still exist.
  ~TForm1() override { DestroySystemWindow(); }

  // The labels between and after the spin boxes ("時", "分　に回線自動切断") are the window's
  // children only: nothing refers to them once they are made.
  TSpinEdit SpinEdit1;
  TSpinEdit SpinEdit2;
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
  // The dialog font of a height given at 96 dpi, at the dialog's resolution.
  HFONT Font(int designHeight);
  LONG TextWidth(const wchar_t* text, HFONT font) const;
  HWND CreateControl(const wchar_t* className, DWORD style, int id, const RECT& bounds,
                     const wchar_t* text, int fontHeight);
  void SelectNextControl(bool backward);
  void Activated();

  std::map<int, UniqueFont> fonts_;
  // The resolution the dialog was made for: the system's when its window was made.
  int32_t dpi_ = 96;
  // The control that had the focus when the dialog was last active.
  HWND savedFocus_ = nullptr;
};

extern TForm1* Form1;

}  // namespace perchette
