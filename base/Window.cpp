#include "base/Window.h"

#include <set>
#include <string>
#include <utility>

#include "base/AppError.h"
#include "base/Application.h"

namespace perchette {

namespace {

constexpr char kNoWindowText[] = "ウィンドウを作成できません";

void RegisterOnce(const WindowClassInfo& info, WNDPROC procedure) {
  static std::set<std::wstring> registered;
  if (registered.contains(info.name)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = info.style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = info.icon;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = info.background;
  windowClass.lpszClassName = info.name;
  if (RegisterClassExW(&windowClass) == 0) throw AppError(kNoWindowText);
  registered.insert(info.name);
}

}  // namespace

Window::~Window() { DestroySystemWindow(); }

void Window::DestroySystemWindow() {
  if (handle_ == nullptr) return;
  // From the base destructor the derived object is gone: its procedure must not run any more.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(handle_, nullptr));
}

void Window::CreateSystemWindow(const WindowClassInfo& windowClass, DWORD exStyle,
                                const wchar_t* text, DWORD style, const RECT& bounds, HWND owner) {
  RegisterOnce(windowClass, &Window::Procedure);
  const HWND created = CreateWindowExW(
      exStyle, windowClass.name, text, style, bounds.left, bounds.top, bounds.right - bounds.left,
      bounds.bottom - bounds.top, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (created == nullptr) throw AppError(kNoWindowText);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    // The object comes with the creation parameters; from here on it gets every message.
    auto* created = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    Application().ReportCurrentException();
    return 0;
  }
}

}  // namespace perchette
