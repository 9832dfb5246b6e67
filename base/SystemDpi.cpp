#include <windows.h>

#include "base/Dpi.h"
#include "base/Handles.h"

namespace perchette {

int32_t SystemDpi() {
  const ScopedWindowDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace perchette
