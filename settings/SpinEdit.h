// TSpinEdit: a one-line numeric field with a pair of arrow buttons inside its right end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "settings/SpinButton.h"
#include "settings/SpinRules.h"

namespace perchette {

class TSpinEdit {
 public:
  TSpinEdit() = default;
  TSpinEdit(const TSpinEdit&) = delete;
  TSpinEdit& operator=(const TSpinEdit&) = delete;

  int32_t MinValue = 0;
  int32_t MaxValue = 0;
  int32_t Increment = 1;

  // Creates the field as a control of the dialog, its arrow buttons sized for the resolution and
  // named for a screen reader; its text is left as it is until Value is set.
  void Create(HWND parent, int id, const RECT& bounds, HFONT font, int32_t dpi,
              const wchar_t* arrowsName);
  // Placed, sized and its arrow buttons fitted anew, for a new resolution.
  void LayOut(const RECT& bounds, HFONT font, int32_t dpi);
  HWND Handle() const { return edit_; }

  // Read from the text each time: its integer, even beyond the bounds, or MinValue.
  int32_t Value() const;
  // Held within the bounds, then written as the whole text.
  void SetValue(int32_t value);
  // One step of the given signed amount from the text's value.
  void Step(int32_t increment);

 private:
  LRESULT HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam);
  SpinBounds Bounds() const { return {MinValue, MaxValue}; }
  std::string Text() const;
  void SetText(const std::string& text);
  bool AcceptsChar(WPARAM ch) const;
  // The text of a finished input-method composition.
  std::wstring CompositionResult() const;

  HWND edit_ = nullptr;
  TSpinButton button_;
  // Set while a left-button press on the text is placing the caret.
  bool pressingText_ = false;
};

}  // namespace perchette
