// Pictures stored as resources in the program's packed format.
#pragma once

#include <windows.h>

#include "base/Handles.h"

namespace perchette {

// Decodes the RCDATA resource resourceId, a packed picture, into a top-down 32-bit DIB section.
// Null if the resource is missing or damaged, or the bitmap cannot be made.
UniqueBitmap LoadPackedResource(HINSTANCE instance, int resourceId);

}  // namespace perchette
