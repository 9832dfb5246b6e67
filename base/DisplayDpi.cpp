#include "base/DisplayDpi.h"

#include "base/Dpi.h"
#include "base/Handles.h"
#include "base/SystemLibrary.h"

namespace perchette {

namespace {

// The functions that only newer systems have, looked up once. user32 is loaded already; shcore
// only exists from Windows 8.1 on.
class DpiFunctions {
 public:
  using MonitorFromRectFunction = HMONITOR(WINAPI*)(LPCRECT, DWORD);
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  using GetMonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

  static const DpiFunctions& Get() {
    static const DpiFunctions functions;
    return functions;
  }

  MonitorFromRectFunction monitorFromRect = nullptr;
  GetDpiForMonitorFunction getDpiForMonitor = nullptr;
  AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
  GetSystemMetricsForDpiFunction getSystemMetricsForDpi = nullptr;
  GetMonitorInfoFunction getMonitorInfo = nullptr;

 private:
  DpiFunctions()
      : user32_(LoadSystemLibrary(L"user32.dll")), shcore_(LoadSystemLibrary(L"shcore.dll")) {
    if (user32_) {
      monitorFromRect = Export<MonitorFromRectFunction>(user32_.get(), "MonitorFromRect");
      adjustWindowRectExForDpi =
          Export<AdjustWindowRectExForDpiFunction>(user32_.get(), "AdjustWindowRectExForDpi");
      getSystemMetricsForDpi =
          Export<GetSystemMetricsForDpiFunction>(user32_.get(), "GetSystemMetricsForDpi");
      getMonitorInfo = Export<GetMonitorInfoFunction>(user32_.get(), "GetMonitorInfoW");
    }
    if (shcore_) {
      getDpiForMonitor = Export<GetDpiForMonitorFunction>(shcore_.get(), "GetDpiForMonitor");
    }
  }

  UniqueLibrary user32_;
  UniqueLibrary shcore_;
};

// MDT_EFFECTIVE_DPI: the resolution the user set for the display.
constexpr int kEffectiveDpi = 0;

// The system's resolution, as the screen's device context reports it.
int32_t SystemDpi() {
  const ScopedWindowDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int32_t DisplayDpi(const RECT& rect) {
  RECT displayBounds;
  return DisplayDpi(rect, displayBounds);
}

int32_t DisplayDpi(const RECT& rect, RECT& displayBounds) {
  displayBounds = RECT{};
  const DpiFunctions& functions = DpiFunctions::Get();
  if (functions.monitorFromRect != nullptr && functions.getDpiForMonitor != nullptr) {
    // A process that is not aware of per-display resolutions is told the system's here too.
    UINT dpiX = 0, dpiY = 0;
    const HMONITOR monitor = functions.monitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr &&
        SUCCEEDED(functions.getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0) {
      MONITORINFO info{};
      info.cbSize = sizeof info;
      if (functions.getMonitorInfo != nullptr && functions.getMonitorInfo(monitor, &info)) {
        displayBounds = info.rcMonitor;
      }
      return static_cast<int32_t>(dpiX);
    }
  }
  return SystemDpi();
}

RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, int32_t dpi) {
  RECT window = client;
  const auto forDpi = DpiFunctions::Get().adjustWindowRectExForDpi;
  if (forDpi == nullptr || !forDpi(&window, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    window = client;
    AdjustWindowRectEx(&window, style, FALSE, exStyle);
  }
  return window;
}

int SystemMetricForDpi(int index, int32_t dpi) {
  const auto forDpi = DpiFunctions::Get().getSystemMetricsForDpi;
  const int value = forDpi != nullptr ? forDpi(index, static_cast<UINT>(dpi)) : 0;
  return value > 0 ? value : GetSystemMetrics(index);
}

}  // namespace perchette
