#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "app/Perch.h"
#include "base/Dpi.h"
#include "base/ErrorText.h"

namespace perchette {
namespace {

TEST(ErrorReportText, AppendsAFullStopUnlessTheTextEndsLowEnough) {
  EXPECT_EQ(ErrorReportText("'24:0:0' は時刻ではありません"), "'24:0:0' は時刻ではありません.");
  EXPECT_EQ(ErrorReportText("C:\\Tools\\mascot.INI に書き込めません"),
            "C:\\Tools\\mascot.INI に書き込めません.");
  EXPECT_EQ(ErrorReportText("Done"), "Done.");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  // "-", "," and a space all sort before ".".
  EXPECT_EQ(ErrorReportText("a-"), "a-");
  EXPECT_EQ(ErrorReportText("a,"), "a,");
  EXPECT_EQ(ErrorReportText("a "), "a ");
  EXPECT_EQ(ErrorReportText("a/"), "a/.");
  EXPECT_EQ(ErrorReportText(""), "");
}

TEST(ErrorReportText, JudgesAJapaneseEndingByItsWholeCharacter) {
  // The ideographic full stop U+3002 sorts after ".", whatever its bytes are.
  EXPECT_EQ(ErrorReportText("失敗。"), "失敗。.");
  EXPECT_EQ(ErrorReportText("切断失敗"), "切断失敗.");
}

TEST(FormatText, ReplacesTheFirstPlaceholderOnly) {
  EXPECT_EQ(FormatText("'%s' は時刻ではありません", "7:60:0"), "'7:60:0' は時刻ではありません");
  EXPECT_EQ(FormatText("%s に書き込めません", "C:\\a.INI"), "C:\\a.INI に書き込めません");
  EXPECT_EQ(FormatText("%s and %s", "x"), "x and %s");
  EXPECT_EQ(FormatText("%s", "100%s"), "100%s");
  EXPECT_EQ(FormatText("no placeholder", "x"), "no placeholder");
}

TEST(PerchPosition, StandsLeftOfTheRightEdgeAndAboveTheTop) {
  const PerchPoint perch = PerchPosition(700, 200, kPerchOffsetX, kPerchOffsetY);
  EXPECT_EQ(perch.left, 550);
  EXPECT_EQ(perch.top, 91);
  EXPECT_EQ(PerchPosition(1924, -4, kPerchOffsetX, kPerchOffsetY).top, -113);
  EXPECT_EQ(PerchPosition(100, 0, kPerchOffsetX, kPerchOffsetY).left, -50);
  // Offsets not set yet: the window goes to the foreground window's top-right corner.
  EXPECT_EQ(PerchPosition(700, 200, 0, 0).left, 700);
  EXPECT_EQ(PerchPosition(700, 200, 0, 0).top, 200);
}

TEST(PerchPosition, HoldsABogusRectangleWithoutOverflow) {
  constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
  const PerchPoint perch = PerchPosition(kMin32 + 10, kMin32, kPerchOffsetX, kPerchOffsetY);
  EXPECT_EQ(perch.left, kMin32);
  EXPECT_EQ(perch.top, kMin32);
}

// A made-up desk of displays, run as the system runs it: a move of her window onto a display of
// another resolution tells her that resolution at once, inside the move.
struct Box {
  int32_t left, top, right, bottom;
};
struct Display {
  Box bounds;
  int32_t dpi;
};
const std::vector<Display> kSideBySide = {{{0, 0, 1920, 1080}, 96}, {{1920, 0, 4480, 1600}, 192}};
const std::vector<Display> kStacked = {{{0, 0, 1920, 1080}, 96}, {{0, 1080, 1920, 2160}, 144}};

// The display the system picks for a rectangle: the one it overlaps most.
int32_t DpiOf(const std::vector<Display>& displays, const Box& box) {
  int64_t most = -1;
  int32_t dpi = 0;
  for (const auto& [bounds, displayDpi] : displays) {
    const int64_t width = std::min(box.right, bounds.right) - std::max(box.left, bounds.left);
    const int64_t height = std::min(box.bottom, bounds.bottom) - std::max(box.top, bounds.top);
    const int64_t area = width > 0 && height > 0 ? width * height : 0;
    if (area > most) most = area, dpi = displayDpi;
  }
  return dpi;
}

// Perching ticks: her scale first, then the move; how often she is drawn anew, and the
// resolution the system last told her window.
struct Desk {
  void Perch(const Box& foreground) {
    if (scale.Perch(DpiOf(displays, foreground))) ++redraws;
    const int32_t art = NearestArtDpi(scale.Dpi());
    const int32_t left = foreground.right - ScaleForDpi(kPerchOffsetX, art);
    const int32_t top = foreground.top - ScaleForDpi(kPerchOffsetY, art);
    const PerchScale::OwnMove move(scale);
    const int32_t now =
        DpiOf(displays, {left, top, left + ScaleForDpi(80, art), top + ScaleForDpi(150, art)});
    if (now != told && scale.Notice(told = now)) ++redraws;
  }

  std::vector<Display> displays;
  PerchScale scale{96};
  int32_t told = 96;
  int redraws = 0;
};

TEST(PerchScale, TakesTheForegroundWindowsDisplayOnceWhereverHerWindowLies) {
  const struct {
    const std::vector<Display>& displays;
    Box foreground;
    int32_t dpi, told, redraws;
  } cases[] = {
      // Wholly on the laptop at 200 %, right of the monitor at 100 %.
      {kSideBySide, {2000, 300, 3000, 900}, 192, 192, 1},
      // Mostly on the monitor, its right end on the laptop, where she hangs.
      {kSideBySide, {1000, 200, 2200, 800}, 96, 192, 0},
      // Mostly on the lower display at 150 %; she stands above it, on the upper one.
      {kStacked, {100, 1050, 900, 2000}, 144, 96, 1},
  };
  for (const auto& [displays, foreground, dpi, told, redraws] : cases) {
    Desk desk{displays};
    for (int tick = 0; tick < 3; ++tick) desk.Perch(foreground);
    EXPECT_EQ(desk.scale.Dpi(), dpi) << foreground.left << "," << foreground.top;
    EXPECT_EQ(desk.told, told) << foreground.left << "," << foreground.top;
    EXPECT_EQ(desk.redraws, redraws) << foreground.left << "," << foreground.top;
  }
}

TEST(PerchScale, FollowsNewsOfAnotherScaleOnlyOutsideItsOwnMoves) {
  PerchScale scale(96);
  EXPECT_FALSE(scale.Notice(96));
  EXPECT_FALSE(scale.Notice(0));
  {
    // A park or a perch move of her own, even within another.
    const PerchScale::OwnMove move(scale);
    const PerchScale::OwnMove resize(scale);
    EXPECT_FALSE(scale.Notice(144));
  }
  EXPECT_EQ(scale.Dpi(), 96);
  // The user changed the scale of her display.
  EXPECT_TRUE(scale.Notice(144));
  EXPECT_FALSE(scale.Perch(144));
  EXPECT_TRUE(scale.Perch(120));
  EXPECT_EQ(scale.Dpi(), 120);
}

}  // namespace
}  // namespace perchette
