// A timer that ticks through its own message-only window.
#pragma once

#include <windows.h>

#include <functional>

#include "base/Window.h"

namespace perchette {

class TTimer : public Window {
 public:
  // Asks the system for the timer; throws when it refuses.
  void Start(UINT intervalMilliseconds, std::function<void()> onTimer);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static constexpr UINT_PTR kTimerId = 1;
  std::function<void()> onTimer_;
};

}  // namespace perchette
