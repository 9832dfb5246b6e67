// Display resolution: sizes are designed at 96 dots per inch and scaled to the system's.
#pragma once

#include <array>
#include <cstdint>

namespace perchette {

inline constexpr int32_t kDesignDpi = 96;

// The resolutions the character picture is drawn for, smallest first: 100, 125, 150, 175, 200,
// 250 and 300 %.
inline constexpr std::array<int32_t, 7> kArtDpis = {96, 120, 144, 168, 192, 240, 288};

// value * dpi / 96, halves rounded away from zero, as MulDiv rounds: the one rule for every size,
// position and font height the program scales. Results beyond the 32-bit range are clamped.
int32_t ScaleForDpi(int32_t value, int32_t dpi);

// The resolution in kArtDpis nearest to dpi; of two equally near, the larger.
int32_t NearestArtDpi(int32_t dpi);

}  // namespace perchette
