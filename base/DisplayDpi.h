// The resolution of each display, where the system tells it; the system's resolution elsewhere.
#pragma once

#include <windows.h>

#include <cstdint>

namespace perchette {

// The resolution of the display that holds most of the rectangle, or the nearest display when
// none does. Systems without per-display resolutions answer with the system's.
int32_t DisplayDpi(const RECT& rect);

// The window rectangle around a client rectangle, its frame measured at the given resolution.
// Systems that cannot measure a frame for a resolution measure it at the system's.
RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, int32_t dpi);

}  // namespace perchette
