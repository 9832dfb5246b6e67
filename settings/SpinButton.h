// TSpinButton: the spin box's two arrow buttons, one above the other.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/Window.h"
#include "settings/SpinRules.h"

namespace perchette {

// The two arrow buttons, one above the other; a held button steps the value again and again.
class TSpinButton : public Window {
 public:
  // Inside the field, which a press gives the focus; a step calls step with +1 (up) or -1 (down).
  // The name is the window text, which a screen reader reads out for a control of its own class.
  void Create(HWND field, std::function<void(int32_t)> step, const wchar_t* name);
  // Its place in the field and the resolution its arrows are drawn for.
  void SetBounds(const RECT& bounds, int32_t dpi);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  enum class Part { None, Up, Down };

  RECT PartRect(Part part) const;
  Part PartAt(POINT point) const;
  void Press(Part part);
  void Track(POINT point);
  void Tick();
  void Release(POINT point);
  void EndPress();
  void ArmTimer();
  void StepBy(Part part, int steps) const;
  void Paint(HDC dc) const;

  std::function<void(int32_t)> step_;
  int32_t dpi_ = 96;
  Part pressed_ = Part::None;
  bool pointerOn_ = false;
  AutoRepeat repeat_;
};

}  // namespace perchette
