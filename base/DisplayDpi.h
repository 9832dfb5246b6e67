// The resolution of each display, where the system tells it; the system's resolution elsewhere.
#pragma once

#include <windows.h>

#include <cstdint>

// Sent before WM_DPICHANGED from Windows 10 (version 1703) on; the headers name it only for
// programs that need that version.
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

namespace perchette {

// The resolution of the display that holds most of the rectangle, or the nearest display when
// none does. Systems without per-display resolutions answer with the system's.
int32_t DisplayDpi(const RECT& rect);

// The same, with the bounds of the display that answered; empty bounds where the system could
// not tell which display it was.
int32_t DisplayDpi(const RECT& rect, RECT& displayBounds);

// The window rectangle around a client rectangle, its frame measured at the given resolution.
// Systems that cannot measure a frame for a resolution measure it at the system's.
RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, int32_t dpi);

// A system metric (an icon size, say) at the given resolution; the system's where the system
// cannot tell it for another one.
int SystemMetricForDpi(int index, int32_t dpi);

}  // namespace perchette
