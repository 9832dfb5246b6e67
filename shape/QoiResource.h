// Pictures stored as resources in the QOI format.
#pragma once

#include <windows.h>

#include "base/Handles.h"

namespace perchette {

// Decodes the RCDATA resource resourceId, a QOI file, straight into a top-down 32-bit DIB
// section. Null if the resource is missing, damaged or of a size refused before anything is made
// (QoiPictureSize), or the bitmap cannot be made.
UniqueBitmap LoadQoiResource(HINSTANCE instance, int resourceId);

}  // namespace perchette
