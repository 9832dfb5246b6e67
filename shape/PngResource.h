// Pictures stored as PNG resources, decoded by the system's imaging component.
#pragma once

#include <windows.h>

#include "base/Handles.h"

namespace perchette {

// Decodes the RCDATA resource resourceId, a PNG file, into a top-down 32-bit DIB section. The
// imaging component is loaded for this call only. Null if the resource is missing or anything
// fails.
UniqueBitmap LoadPngResource(HINSTANCE instance, int resourceId);

}  // namespace perchette
