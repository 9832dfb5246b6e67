#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/Dpi.h"

namespace perchette {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ScaleForDpi, RoundsHalvesAwayFromZeroLikeMulDiv) {
  // The picture's size and seat row at each art resolution.
  const int32_t arts[][4] = {{96, 80, 150, 109},   {120, 100, 188, 136}, {144, 120, 225, 164},
                             {168, 140, 263, 191}, {192, 160, 300, 218}, {240, 200, 375, 273},
                             {288, 240, 450, 327}};
  for (const auto& [dpi, width, height, seat] : arts) {
    EXPECT_EQ(ScaleForDpi(80, dpi), width) << dpi << " dpi";
    EXPECT_EQ(ScaleForDpi(150, dpi), height) << dpi << " dpi";
    EXPECT_EQ(ScaleForDpi(109, dpi), seat) << dpi << " dpi";
  }
  // value, dpi, scaled. Halves go away from zero on both sides, less than a half toward it; the
  // product needs 64 bits, and what does not fit in 32 is clamped.
  const int32_t cases[][3] = {{-150, 120, -188},
                              {7, 144, 11},
                              {-7, 144, -11},
                              {1, 47, 0},
                              {-1, 47, 0},
                              {1, 48, 1},
                              {0, 288, 0},
                              {12, 0, 0},
                              {kMax, 96, kMax},
                              {kMin, 96, kMin},
                              {kMax / 2, 192, kMax - 1},
                              {kMax, 192, kMax},
                              {kMin, 192, kMin},
                              {kMin, -96, kMax}};
  for (const auto& [value, dpi, scaled] : cases) {
    EXPECT_EQ(ScaleForDpi(value, dpi), scaled) << value << " at " << dpi << " dpi";
  }
}

TEST(NearestArtDpi, PicksTheNearestArtAndTheLargerOfTwo) {
  const int32_t cases[][2] = {
      {kMin, 96}, {0, 96},    {96, 96},   {107, 96},  {108, 120}, {120, 120},  {131, 120},
      {132, 144}, {144, 144}, {155, 144}, {156, 168}, {180, 192}, {192, 192},  {215, 192},
      {216, 240}, {263, 240}, {264, 288}, {288, 288}, {480, 288}, {kMax, 288},
  };
  for (const auto& [dpi, art] : cases) EXPECT_EQ(NearestArtDpi(dpi), art) << dpi << " dpi";
}

}  // namespace
}  // namespace perchette
