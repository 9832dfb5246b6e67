// A small window base: one static procedure that finds the object and hands it each message.
#pragma once

#include <windows.h>

#include <memory>

namespace perchette {

struct WindowClassInfo {
  const wchar_t* name;
  UINT style = 0;
  // The name of the program's icon resource the class shows, in both of the system's sizes.
  const wchar_t* iconName = nullptr;
  HBRUSH background = nullptr;
};

class WindowClass;

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }

  // Where the window procedure hands an error of a handler, still in flight: the general error
  // report, which the application object installs. Without one the error ends there.
  using ErrorReport = void (*)() noexcept;
  static void SetErrorReport(ErrorReport report);
  // Hands the error in flight to the installed report; for other procedures of the program too.
  static void ReportError() noexcept;

 protected:
  // Registers the class unless a window object of the program holds it already, then creates
  // the system window. Throws AppError, with the system's error code, when the class cannot be
  // registered or the window cannot be created.
  void CreateSystemWindow(const WindowClassInfo& windowClass, DWORD exStyle, const wchar_t* text,
                          DWORD style, const RECT& bounds, HWND owner);

  // Destroys the system window, if any. A class whose procedure uses its own members calls this
  // from its destructor, so that no message reaches a half-destroyed object.
  void DestroySystemWindow();

  // Every message of the window; errors thrown here reach the general error report.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;

  HWND handle_ = nullptr;
  // The registration of the window's class, unregistered once no window object uses it.
  std::shared_ptr<const WindowClass> class_;
};

// Moves and sizes a window to a rectangle (in its parent's client area, or on the screen), leaving
// its Z order and the activation as they are.
void PlaceWindow(HWND window, const RECT& bounds);

}  // namespace perchette
