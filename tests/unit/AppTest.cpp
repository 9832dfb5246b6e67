#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
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

// A made-up desk: a monitor at 100 % and, right of it, a taller laptop at 200 %. The system's
// answer for a rectangle is the display it overlaps most; every question is counted.
struct Desk {
  struct Display {
    ScreenRect bounds;
    int32_t dpi;
  };

  bool Perch(const ScreenRect& foreground) {
    return scale.Perch(foreground, [this](const ScreenRect& rect) {
      ++asked;
      int64_t most = -1;
      DisplayAnswer answer{};
      for (const auto& [bounds, dpi] : displays) {
        const int64_t width = std::min(rect.right, bounds.right) - std::max(rect.left, bounds.left);
        const int64_t height =
            std::min(rect.bottom, bounds.bottom) - std::max(rect.top, bounds.top);
        const int64_t area = width > 0 && height > 0 ? width * height : 0;
        if (area > most) most = area, answer = {dpi, bounds};
      }
      return answer;
    });
  }

  std::vector<Display> displays{{{0, 0, 1920, 1080}, 96}, {{1920, 0, 4480, 1600}, 192}};
  PerchScale scale{96};
  int asked = 0;
};

constexpr ScreenRect kOnTheMonitor{100, 100, 900, 700}, kOnTheLaptop{2000, 300, 3000, 900};

TEST(PerchScale, AsksTheDisplayOnceWhileTheWindowMovesWithinItAndAgainWhenItLeaves) {
  Desk desk;
  for (int step = 0; step < 3; ++step) {
    EXPECT_FALSE(desk.Perch({100 + 50 * step, 100, 900 + 50 * step, 700 + 10 * step}));
  }
  // Filling its display: flush with each of its edges, and still inside it.
  EXPECT_FALSE(desk.Perch({0, 0, 1920, 1080}));
  EXPECT_EQ(desk.asked, 1);
  EXPECT_TRUE(desk.Perch(kOnTheLaptop));
  EXPECT_FALSE(desk.Perch({1920, 0, 4480, 1600}));
  EXPECT_EQ(desk.asked, 2);
  EXPECT_EQ(desk.scale.Dpi(), 192);
}

TEST(PerchScale, AWindowOnTwoDisplaysTakesTheOneItOverlapsMost) {
  Desk desk;
  // Mostly on the monitor, its right end on the laptop: asked once while it stands still.
  for (int tick = 0; tick < 3; ++tick) EXPECT_FALSE(desk.Perch({1000, 200, 2200, 800}));
  EXPECT_EQ(desk.asked, 1);
  // Dragged until most of it is on the laptop.
  EXPECT_TRUE(desk.Perch({1700, 200, 2900, 800}));
  EXPECT_EQ(desk.scale.Dpi(), 192);
  // Mostly below the monitor, on the laptop's lower part, though its corner is on the monitor.
  desk.scale = PerchScale(96);
  EXPECT_TRUE(desk.Perch({1800, 1000, 2200, 1500}));
  EXPECT_EQ(desk.scale.Dpi(), 192);
}

TEST(PerchScale, AChangeOfTheDisplaysOrTheirScalesAsksAgain) {
  Desk desk;
  EXPECT_FALSE(desk.Perch(kOnTheMonitor));
  desk.displays[0].dpi = 144;
  desk.scale.DisplaysChanged();
  EXPECT_TRUE(desk.Perch(kOnTheMonitor));
  EXPECT_EQ(desk.scale.Dpi(), 144);
  // News of another scale for the display of the window she perches on, outside her moves:
  // taken at once, without asking again.
  desk.displays[0].dpi = 120;
  EXPECT_TRUE(desk.scale.Notice(120, desk.displays[0].bounds));
  EXPECT_FALSE(desk.Perch(kOnTheMonitor));
  EXPECT_EQ(desk.asked, 2);
  // News of the other display is not hers: she is not drawn for it, and the next perch asks.
  EXPECT_FALSE(desk.scale.Notice(192, desk.displays[1].bounds));
  EXPECT_EQ(desk.scale.Dpi(), 120);
  EXPECT_FALSE(desk.Perch(kOnTheMonitor));
  EXPECT_EQ(desk.asked, 3);
  EXPECT_FALSE(desk.scale.Notice(120, desk.displays[0].bounds));
  EXPECT_FALSE(desk.scale.Notice(0, desk.displays[0].bounds));
}

TEST(PerchScale, NewsDuringHerOwnMovesAndParkingIsIgnored) {
  Desk desk;
  EXPECT_TRUE(desk.Perch(kOnTheLaptop));
  {
    // Her perch moves her half onto the monitor; a resize within the move.
    const PerchScale::OwnMove move(desk.scale);
    const PerchScale::OwnMove resize(desk.scale);
    EXPECT_FALSE(desk.scale.Notice(96, desk.displays[0].bounds));
  }
  {
    // The park takes her beyond the desk, nearest the monitor.
    const PerchScale::OwnMove parking = desk.scale.Park();
    EXPECT_FALSE(desk.scale.Notice(96, desk.displays[0].bounds));
  }
  EXPECT_FALSE(desk.Perch(kOnTheLaptop));
  EXPECT_EQ(desk.scale.Dpi(), 192);
  EXPECT_EQ(desk.asked, 1);
  // Her moves and the park are over: news is followed again.
  EXPECT_TRUE(desk.scale.Notice(144, desk.displays[1].bounds));
  EXPECT_EQ(desk.scale.Dpi(), 144);
}

}  // namespace
}  // namespace perchette
