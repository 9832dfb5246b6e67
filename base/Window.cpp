#include "base/Window.h"

#include <map>
#include <string>
#include <utility>

#include "base/AppError.h"
#include "base/Handles.h"

namespace perchette {

namespace {

Window::ErrorReport errorReport = nullptr;

// The reason, with the code the system gave for the failure that just happened.
AppError NoWindowError() {
  const DWORD code = GetLastError();
  return AppError("ウィンドウを作成できません (エラー " + std::to_string(code) + ")");
}

UniqueIcon LoadIconOfSize(const wchar_t* name, int widthMetric, int heightMetric) {
  if (name == nullptr) return UniqueIcon();
  return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON,
                                                  GetSystemMetrics(widthMetric),
                                                  GetSystemMetrics(heightMetric), 0)));
}

}  // namespace

// One registration of a window class and the icons it shows, undone when the object goes.
class WindowClass {
 public:
  WindowClass(const WindowClassInfo& info, WNDPROC procedure)
      : name_(info.name),
        icon_(LoadIconOfSize(info.iconName, SM_CXICON, SM_CYICON)),
        smallIcon_(LoadIconOfSize(info.iconName, SM_CXSMICON, SM_CYSMICON)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = info.style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = icon_.get();
    windowClass.hIconSm = smallIcon_.get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = info.background;
    windowClass.lpszClassName = info.name;
    if (RegisterClassExW(&windowClass) == 0) throw NoWindowError();
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  // The icons go after the class that shows them.
  ~WindowClass() { UnregisterClassW(name_.c_str(), GetModuleHandleW(nullptr)); }

  // The class's registration, made now unless a window object still holds it.
  static std::shared_ptr<const WindowClass> Use(const WindowClassInfo& info, WNDPROC procedure) {
    static std::map<std::wstring, std::weak_ptr<const WindowClass>> registered;
    std::weak_ptr<const WindowClass>& entry = registered[info.name];
    std::shared_ptr<const WindowClass> used = entry.lock();
    if (!used) entry = used = std::make_shared<const WindowClass>(info, procedure);
    return used;
  }

 private:
  std::wstring name_;
  UniqueIcon icon_;
  UniqueIcon smallIcon_;
};

Window::~Window() { DestroySystemWindow(); }

void Window::SetErrorReport(ErrorReport report) { errorReport = report; }

void Window::ReportError() noexcept {
  if (errorReport != nullptr) errorReport();
}

void Window::DestroySystemWindow() {
  if (handle_ == nullptr) return;
  // From the base destructor the derived object is gone: its procedure must not run any more.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(handle_, nullptr));
}

void Window::CreateSystemWindow(const WindowClassInfo& windowClass, DWORD exStyle,
                                const wchar_t* text, DWORD style, const RECT& bounds, HWND owner) {
  if (!class_) class_ = WindowClass::Use(windowClass, &Window::Procedure);
  const HWND created = CreateWindowExW(
      exStyle, windowClass.name, text, style, bounds.left, bounds.top, bounds.right - bounds.left,
      bounds.bottom - bounds.top, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (created == nullptr) throw NoWindowError();
}

void PlaceWindow(HWND window, const RECT& bounds) {
  SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
    ReportError();
    return 0;
  }
}

}  // namespace perchette
