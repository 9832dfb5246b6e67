#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "app/Perch.h"
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

}  // namespace
}  // namespace perchette
