// The character's window: its shape cut from the picture, where it perches, and what clicks do.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"
#include "tests/support/Bitmap.h"

using namespace e2e;

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

// The picture as committed with the sources; the build puts a copy next to the driver.
const perchette::Picture& CommittedPicture() {
  static const perchette::Picture picture = [] {
    std::ifstream file(std::filesystem::path(BuildFolder() + L"\\Perchette.bmp"), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    return perchette::ReadBmp24(bytes);
  }();
  return picture;
}

// The runs of non-white pixels in one row of the picture, each as its first and end column.
std::vector<std::pair<int32_t, int32_t>> RowRuns(int32_t row) {
  const perchette::Picture& picture = CommittedPicture();
  std::vector<std::pair<int32_t, int32_t>> runs;
  for (int32_t x = 0; x < picture.width; ++x) {
    if (picture.At(x, row) == kWhite) continue;
    if (runs.empty() || runs.back().second != x) runs.emplace_back(x, x);
    runs.back().second = x + 1;
  }
  return runs;
}

// The bounding box of the picture's non-white pixels, right and bottom exclusive.
RECT CharacterBounds() {
  const perchette::Picture& picture = CommittedPicture();
  RECT box{picture.width, picture.height, 0, 0};
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      if (picture.At(x, y) == kWhite) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    }
  }
  return box;
}

// The middle of the widest run at or below a row; {-1, -1} if there is none.
POINT CharacterPixelBelow(int32_t firstRow) {
  POINT best{-1, -1};
  int32_t widest = 0;
  for (int32_t row = firstRow; row < CommittedPicture().height; ++row) {
    for (const auto& [first, end] : RowRuns(row)) {
      if (end - first <= widest) continue;
      widest = end - first;
      best = {(first + end) / 2, row};
    }
  }
  return best;
}

// A white pixel between two runs of one row, at or below a row; {-1, -1} if there is none.
POINT WhitePixelBetweenRunsBelow(int32_t firstRow) {
  for (int32_t row = firstRow; row < CommittedPicture().height; ++row) {
    const auto runs = RowRuns(row);
    if (runs.size() >= 2) return {(runs[0].second + runs[1].first) / 2, row};
  }
  return {-1, -1};
}

}  // namespace

TEST(Character, RegionIsTheNonWhitePixelsOfThePicture) {
  const perchette::Picture& picture = CommittedPicture();
  ASSERT_EQ(picture.width, 80);
  ASSERT_EQ(picture.height, 150);

  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(main, region), ERROR) << "the main window has no region";
  EXPECT_EQ(RegionMismatches(region, picture, kWhite), 0);

  const DWORD size = GetRegionData(region, 0, nullptr);
  ASSERT_GT(size, sizeof(RGNDATAHEADER));
  std::vector<uint8_t> data(size);
  ASSERT_EQ(GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())), size);
  const auto& header = reinterpret_cast<const RGNDATA*>(data.data())->rdh;
  const RECT box = CharacterBounds();
  EXPECT_TRUE(EqualRect(&header.rcBound, &box)) << header.rcBound << " against " << box;
  std::cout << "[          ] " << header.nCount << " rectangles in the region, bounds "
            << header.rcBound << "\n";
  DeleteObject(region);
}

TEST(Character, StartsParkedBeyondTheBottomRightCornerAtLeastAsLargeAsThePicture) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }, 3000))
      << "the shown window is not the foreground window";
  EXPECT_TRUE(WaitFor([&] { return Parked(main); }, kTwoTicksMs + kReachMs)) << WindowRect(main);

  const RECT rect = WindowRect(main);
  EXPECT_EQ(rect.left, ScreenWidth()) << rect;
  EXPECT_EQ(rect.top, ScreenHeight()) << rect;
  EXPECT_GE(rect.right - rect.left, 80) << rect;
  EXPECT_GE(rect.bottom - rect.top, 150) << rect;
}

TEST(Character, PerchesOnTheForegroundWindowAndFollowsIt) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Parked(main); }, 3000)) << WindowRect(main);
  const RECT started = WindowRect(main);

  DeskWindow desk;
  desk.Place(100, 200, 700, 600);
  const RECT deskRect = WindowRect(desk.Handle());
  ASSERT_TRUE(deskRect.left == 100 && deskRect.top == 200 && deskRect.right == 700 &&
              deskRect.bottom == 600)
      << deskRect;
  ASSERT_TRUE(desk.BringToForeground());
  const DWORD foregroundAt = GetTickCount();
  EXPECT_TRUE(WaitForPosition(main, 550, 91, kTwoTicksMs + kReachMs)) << WindowRect(main);
  std::cout << "[          ] perched " << GetTickCount() - foregroundAt
            << " ms after the window came to the foreground\n";
  const RECT perched = WindowRect(main);
  EXPECT_EQ(perched.right - perched.left, started.right - started.left) << perched;
  EXPECT_EQ(perched.bottom - perched.top, started.bottom - started.top) << perched;
  EXPECT_NE(GetForegroundWindow(), main);

  // It stays while nothing moves (two ticks' time is what is tested), and follows a window that
  // moves.
  Pump(kTwoTicksMs);
  EXPECT_TRUE(WaitForPosition(main, 550, 91, 0)) << WindowRect(main);
  desk.Place(300, 450, 1000, 700);
  EXPECT_TRUE(WaitForPosition(main, 850, 341, kTwoTicksMs + kReachMs)) << WindowRect(main);

  // A window pushed above the top of the display, as a maximized one is.
  desk.Place(-4, -4, 1284, 1028);
  EXPECT_TRUE(
      WaitForPosition(main, 1284 - kPerchOffsetX, -4 - kPerchOffsetY, kTwoTicksMs + kReachMs))
      << WindowRect(main);

  // A window narrower than the perch offset, at the display's left edge: the character stands
  // partly off the display, left of the window.
  desk.Place(0, 300, 120, 500);
  EXPECT_TRUE(
      WaitForPosition(main, 120 - kPerchOffsetX, 300 - kPerchOffsetY, kTwoTicksMs + kReachMs))
      << WindowRect(main);
  const RECT narrow = WindowRect(main);
  EXPECT_EQ(narrow.right - narrow.left, started.right - started.left) << narrow;
  EXPECT_EQ(narrow.bottom - narrow.top, started.bottom - started.top) << narrow;
}

TEST(Character, ClicksPassThroughWhiteAndACharacterClickParksIt) {
  Perchette perchette;
  DeskWindow desk;
  const HWND main = StartOnDesk(perchette, desk);
  ASSERT_NE(main, nullptr);

  // A white pixel between two parts of the character, over the window it sits on.
  const POINT white = WhitePixelBetweenRunsBelow(kPerchOffsetY + 1);
  ASSERT_GE(white.x, 0) << "no white pixel between character pixels below the seat row";
  const POINT whiteOnScreen{550 + white.x, 91 + white.y};
  ASSERT_TRUE(ClickAt(whiteOnScreen)) << SeenState(main);
  ASSERT_TRUE(WaitFor([&] { return !desk.Presses().empty(); }, 2000))
      << "a press on white pixel " << white.x << "," << white.y << " (screen " << whiteOnScreen.x
      << "," << whiteOnScreen.y << ") did not reach the window below" << SeenState(main);
  EXPECT_EQ(desk.Presses().front().x, whiteOnScreen.x);
  EXPECT_EQ(desk.Presses().front().y, whiteOnScreen.y);
  // The desk is still in front at the next tick: she follows it a pixel lower.
  desk.Place(100, 201, 700, 601);
  EXPECT_TRUE(WaitForPosition(main, 550, 92, kTwoTicksMs + kReachMs)) << WindowRect(main);
  EXPECT_EQ(GetForegroundWindow(), desk.Handle());

  // A pixel of the character, over the same window: the press is the character's.
  const POINT body = CharacterPixelBelow(kPerchOffsetY + 1);
  ASSERT_GE(body.x, 0);
  const size_t pressesBefore = desk.Presses().size();
  ASSERT_TRUE(ClickAt({550 + body.x, 92 + body.y})) << SeenState(main);
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }, kReachMs + 1000))
      << "the character's window did not come to the foreground";
  EXPECT_TRUE(WaitFor([&] { return Parked(main); }, kTwoTicksMs + kReachMs)) << WindowRect(main);
  EXPECT_EQ(desk.Presses().size(), pressesBefore) << "the press went through the character";

  // Parked it stays, also once the system has let the focus go from the window off the
  // display, until another window comes to the foreground: ten ticks' time is what is tested.
  Pump(5 * kTwoTicksMs);
  EXPECT_TRUE(Parked(main)) << WindowRect(main);
  ASSERT_TRUE(desk.BringToForeground());
  EXPECT_TRUE(WaitForPosition(main, 550, 92, kTwoTicksMs + kReachMs)) << WindowRect(main);
}

// A stored time that does not convert stops the window's creation before it is parked, sized
// and shaped: the whole window shows, and the perch offsets stay 0.
TEST(Character, UnshapedWindowWithZeroOffsetsAfterAFailedCreation) {
  Perchette perchette("[HungUpTime]\r\nHHour=24\r\nHMin=0\r\n");
  perchette.Start();
  const HWND report = perchette.WaitForMessageBox();
  ASSERT_NE(report, nullptr) << "no error report";
  ASSERT_TRUE(PressOk(report));
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // The ticks meet the same time; their report comes once.
  const HWND tickReport = perchette.WaitForMessageBox();
  ASSERT_NE(tickReport, nullptr);
  PressOk(tickReport);
  ASSERT_TRUE(WaitFor([&] { return MessageBoxes(perchette.ProcessId()).empty(); }, 3000));

  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(main, region), ERROR) << "the window has a region";
  DeleteObject(region);

  DeskWindow desk;
  desk.Place(100, 200, 700, 600);
  ASSERT_TRUE(desk.BringToForeground());
  EXPECT_TRUE(WaitForPosition(main, 700, 200, kTwoTicksMs + kReachMs)) << WindowRect(main);
}
