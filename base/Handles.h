// Small owning wrappers for the operating system's handles.
#pragma once

#include <windows.h>

#include <utility>

namespace perchette {

template <class Handle, auto Close>
class Unique {
 public:
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }

  // Gives the handle up, for when the system takes it over.
  Handle release() { return std::exchange(handle_, Handle{}); }

  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

inline void CloseGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void CloseIcon(HICON icon) { DestroyIcon(icon); }
inline void CloseMenu(HMENU menu) { DestroyMenu(menu); }
inline void CloseLibrary(HMODULE module) { FreeLibrary(module); }
inline void CloseDc(HDC dc) { DeleteDC(dc); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }

using UniqueRegion = Unique<HRGN, CloseGdiObject>;
using UniqueBitmap = Unique<HBITMAP, CloseGdiObject>;
using UniqueFont = Unique<HFONT, CloseGdiObject>;
using UniqueBrush = Unique<HBRUSH, CloseGdiObject>;
using UniqueIcon = Unique<HICON, CloseIcon>;
using UniqueMenu = Unique<HMENU, CloseMenu>;
using UniqueLibrary = Unique<HMODULE, CloseLibrary>;
using UniqueMemoryDc = Unique<HDC, CloseDc>;
using UniqueKernelHandle = Unique<HANDLE, CloseKernelHandle>;

// A window's device context (the screen's for no window), released at the end of the scope.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for one scope.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace perchette
