// TSpinButton: the spin box's two arrow buttons, one above the other.
#pragma once

#include <windows.h>

#include "base/Window.h"
#include "settings/SpinRules.h"

namespace perchette {

class TSpinEdit;

// The two arrow buttons, one above the other; a held button steps the value again and again.
class TSpinButton : public Window {
 public:
  // The name is the window text, which a screen reader reads out for a control of its own class.
  void Create(TSpinEdit& edit, const RECT& bounds, const wchar_t* name);
  // Its place in the field, after a change of resolution.
  void SetBounds(const RECT& bounds);

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

  TSpinEdit* edit_ = nullptr;
  Part pressed_ = Part::None;
  bool pointerOn_ = false;
  AutoRepeat repeat_;
};

}  // namespace perchette
