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

// A made-up desk of displays, run as the system runs it: each move of her window that takes it to
// a display of another resolution tells her that display's resolution at once, inside the move.
struct Box {
  int32_t left, top, right, bottom;
};
struct Display {
  Box bounds;
  int32_t dpi;
};

class DisplayDesk {
 public:
  explicit DisplayDesk(std::vector<Display> displays) : displays_(std::move(displays)) {}

  // The display the system picks for a rectangle: the one it overlaps most.
  int32_t DpiOf(const Box& box) const {
    int64_t best = -1;
    int32_t dpi = 0;
    for (const Display& display : displays_) {
      const int64_t width =
          std::min(box.right, display.bounds.right) - std::max(box.left, display.bounds.left);
      const int64_t height =
          std::min(box.bottom, display.bounds.bottom) - std::max(box.top, display.bounds.top);
      const int64_t area = width > 0 && height > 0 ? width * height : 0;
      if (area > best) best = area, dpi = display.dpi;
    }
    return dpi;
  }

  // One perching tick on a foreground window: her scale first, then the move.
  void Perch(const Box& foreground) {
    if (scale.Perch(DpiOf(foreground))) ++redraws;
    const int32_t art = NearestArtDpi(scale.Dpi());
    const PerchPoint at =
        PerchPosition(foreground.right, foreground.top, ScaleForDpi(kPerchOffsetX, art),
                      ScaleForDpi(kPerchOffsetY, art));
    const PerchScale::OwnMove move(scale);
    her = Box{at.left, at.top, at.left + ScaleForDpi(80, art), at.top + ScaleForDpi(150, art)};
    if (const int32_t told = DpiOf(her); told != toldDpi) {
      toldDpi = told;
      if (scale.Notice(told)) ++redraws;
    }
  }

  PerchScale scale{96};
  Box her{1920, 1080, 2000, 1230};
  int32_t toldDpi = 96;
  int redraws = 0;

 private:
  std::vector<Display> displays_;
};

TEST(PerchScale, TakesTheScaleOfTheForegroundWindowsDisplayOnce) {
  // A laptop at 200 % to the right of a monitor at 100 %.
  DisplayDesk desk({{{0, 0, 1920, 1080}, 96}, {{1920, 0, 4480, 1600}, 192}});
  desk.Perch({2000, 300, 3000, 900});
  EXPECT_EQ(desk.scale.Dpi(), 192);
  EXPECT_EQ(desk.her.left, 3000 - 300);
  EXPECT_EQ(desk.her.top, 300 - 218);
  desk.Perch({2000, 300, 3000, 900});
  desk.Perch({2100, 400, 3100, 1000});
  EXPECT_EQ(desk.redraws, 1);
  // Back on the monitor: the scale of 100 % again, with the seat of 100 %.
  desk.Perch({100, 200, 700, 600});
  EXPECT_EQ(desk.scale.Dpi(), 96);
  EXPECT_EQ(desk.her.left, 550);
  EXPECT_EQ(desk.her.top, 91);
  EXPECT_EQ(desk.redraws, 2);
}

TEST(PerchScale, AWindowAcrossTwoDisplaysDecidesByItsOwnRectangle) {
  // Mostly on the monitor, its right end on the laptop: she hangs over the laptop but keeps the
  // monitor's scale, tick after tick, whatever the system tells her window during the moves.
  DisplayDesk side({{{0, 0, 1920, 1080}, 96}, {{1920, 0, 4480, 1600}, 192}});
  for (int tick = 0; tick < 3; ++tick) side.Perch({1000, 200, 2200, 800});
  EXPECT_EQ(side.toldDpi, 192) << "her window does not lie on the laptop";
  EXPECT_EQ(side.scale.Dpi(), 96);
  EXPECT_EQ(side.redraws, 0);
  // Stacked displays: mostly on the lower one at 150 %, her window stands on the upper at 100 %.
  DisplayDesk stacked({{{0, 0, 1920, 1080}, 96}, {{0, 1080, 1920, 2160}, 144}});
  for (int tick = 0; tick < 3; ++tick) stacked.Perch({100, 1050, 900, 2000});
  EXPECT_EQ(stacked.toldDpi, 96) << "her window does not lie on the upper display";
  EXPECT_EQ(stacked.scale.Dpi(), 144);
  EXPECT_EQ(stacked.redraws, 1);
}

TEST(PerchScale, FollowsNewsOfAnotherScaleOnlyOutsideItsOwnMoves) {
  PerchScale scale(96);
  EXPECT_FALSE(scale.Notice(96));
  EXPECT_FALSE(scale.Notice(0));
  EXPECT_FALSE(scale.Notice(-144));
  {
    // A park or a perch move of her own, even nested in another.
    const PerchScale::OwnMove move(scale);
    const PerchScale::OwnMove resize(scale);
    EXPECT_FALSE(scale.Notice(144));
  }
  EXPECT_EQ(scale.Dpi(), 96);
  // The user changed the scale of her display.
  EXPECT_TRUE(scale.Notice(144));
  EXPECT_EQ(scale.Dpi(), 144);
  EXPECT_FALSE(scale.Perch(144));
  EXPECT_TRUE(scale.Perch(120));
  EXPECT_EQ(scale.Dpi(), 120);
}

}  // namespace
}  // namespace perchette
