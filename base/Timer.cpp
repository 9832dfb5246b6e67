#include "base/Timer.h"

#include "base/AppError.h"

namespace perchette {

void TTimer::Start(UINT intervalMilliseconds, std::function<void()> onTimer) {
  onTimer_ = std::move(onTimer);
  // A message-only window: nothing can show it, and no broadcast (a close sent to every
  // top-level window) reaches it.
  CreateSystemWindow({.name = L"TTimerWindow"}, 0, L"", 0, RECT{}, HWND_MESSAGE);
  if (!HandleAllocated() || SetTimer(Handle(), kTimerId, intervalMilliseconds, nullptr) == 0) {
    throw AppError("ﾀｲﾏｰを取得できません");
  }
}

LRESULT TTimer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    if (onTimer_) onTimer_();
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace perchette
