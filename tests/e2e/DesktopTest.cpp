// What a user of a current desktop meets: the character never floats over an invisible window,
// every press on her counts, input methods cannot slip characters into a spin box, and the tray
// menu closes when the user clicks elsewhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// Parked, or sitting on the foreground window as the perch puts her: nowhere else.
bool Settled(HWND main) {
  if (Parked(main)) return true;
  const HWND foreground = GetForegroundWindow();
  const RECT under = WindowRect(foreground);
  const RECT at = WindowRect(main);
  return under.right > under.left && under.bottom > under.top &&
         at.left == under.right - kPerchOffsetX && at.top == under.top - kPerchOffsetY;
}

struct Closing {
  const char* name;
  WPARAM opening;  // a menu command
  // Answers what the command opened.
  void (*answer)(const Perchette&);
};

void PressDialogButton(const Perchette& perchette, int id) {
  PostMessageW(SettingsDialog(perchette), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

const Closing kClosings[] = {
    {"settings saved", perchette::ids::kMenuSettings,
     [](const Perchette& p) { PressDialogButton(p, perchette::ids::kButton1); }},
    {"settings cancelled", perchette::ids::kMenuSettings,
     [](const Perchette& p) { PressDialogButton(p, perchette::ids::kButton2); }},
    {"About answered", perchette::ids::kMenuAbout,
     [](const Perchette& p) { PressOk(p.WaitForMessageBox()); }},
};

}  // namespace

// Closing the dialog or a message hands the activation to the program's invisible application
// window; the character then steps out of sight instead of hanging over nothing.
TEST(Desktop, AfterADialogOrMessageClosesTheCharacterParksOrPerchesOnAWindow) {
  Perchette perchette;
  DeskWindow desk;
  const HWND main = StartOnDesk(perchette, desk);
  ASSERT_NE(main, nullptr);
  for (const Closing& closing : kClosings) {
    SCOPED_TRACE(closing.name);
    ASSERT_TRUE(desk.BringToForeground());
    ASSERT_TRUE(WaitForPosition(main, 550, 91, kTwoTicksMs + kReachMs)) << WindowRect(main);
    PostMessageW(main, WM_COMMAND, closing.opening, 0);
    ASSERT_TRUE(WaitFor([&] {
      return Shown(SettingsDialog(perchette)) || !MessageBoxes(perchette.ProcessId()).empty();
    }));
    closing.answer(perchette);
    ASSERT_TRUE(WaitFor([&] {
      return !Shown(SettingsDialog(perchette)) && MessageBoxes(perchette.ProcessId()).empty();
    }));
    // Several ticks, each of which must leave her parked or on a real window: the time they take
    // is what is tested.
    for (int tick = 0; tick < 5; ++tick) {
      Pump(kTwoTicksMs);
      EXPECT_TRUE(Settled(main)) << "at " << WindowRect(main) << " with "
                                 << Narrow(ClassName(GetForegroundWindow())) << " "
                                 << WindowRect(GetForegroundWindow()) << " in front";
    }
  }
}

// The window class takes double-clicks, so the second press of one arrives as a double-click.
TEST(Desktop, ADoubleClickIsAPressLikeAnyOther) {
  for (const UINT message : {WM_LBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_RBUTTONDBLCLK}) {
    Perchette perchette;
    perchette.Start();
    const HWND main = perchette.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, message, 0, MAKELPARAM(40, 60));
    const bool opens = message == WM_RBUTTONDBLCLK;
    EXPECT_EQ(WaitFor([&] { return Shown(SettingsDialog(perchette)); }, opens ? 5000 : 800), opens)
        << "message " << std::hex << message;
  }
}

TEST(Desktop, InputMethodCharactersPassTheSpinBoxFilter) {
  Perchette perchette;
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0);
  SendMessageW(hour, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  // Full-width digits, kana and a kanji are refused; plain digits from an input method enter.
  for (const wchar_t ch : {L'１', L'あ', L'時', L'1', L'2'}) PostMessageW(hour, WM_IME_CHAR, ch, 1);
  EXPECT_TRUE(WaitFor([&] { return ControlText(hour) == L"12"; }, 3000))
      << Narrow(ControlText(hour));
}

TEST(Desktop, TheTrayMenuBringsTheProgramForwardAndClosesOnAClickElsewhere) {
  Perchette perchette;
  DeskWindow desk;
  const HWND main = StartOnDesk(perchette, desk);
  ASSERT_NE(main, nullptr);

  SetCursorPos(900, 700);
  PostMessageW(main, perchette::ids::kTrayIconMessage, perchette::ids::kTrayIconId, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (menu = VisibleMenu(perchette)) != nullptr; }));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }, kReachMs))
      << Narrow(ClassName(GetForegroundWindow())) << " is in front while the menu is open";
  EXPECT_TRUE(WaitFor([&] { return Parked(main); }, kTwoTicksMs + kReachMs)) << WindowRect(main);

  ClickAt({300, 400});
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000))
      << "the menu stayed open after a click on another window";
  EXPECT_FALSE(Shown(SettingsDialog(perchette)));
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  EXPECT_TRUE(perchette.Running());
}

// Run by scripts/test on a virtual screen laid out as two displays: the primary 1280 × 1024 at
// (0, 0) and a second one of 1024 × 768 to its right whose bottom lies 256 pixels lower, so that
// it covers the primary's bottom-right corner (1280, 1024).
TEST(TwoDisplays, ParkedBeyondBothAndPerchedOnEither) {
  ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "not run on the two-display layout";
  const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                     GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const RECT layout{0, 0, 2304, 1280};
  ASSERT_TRUE(EqualRect(&desktop, &layout)) << "another layout: " << desktop;
  const RECT displays[] = {{0, 0, 1280, 1024}, {1280, 512, 2304, 1280}};

  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // Started in the foreground: parked.
  const auto parkedOutOfSight = [&] {
    ASSERT_TRUE(WaitForPosition(main, 2304, 1280, kTwoTicksMs + kReachMs)) << WindowRect(main);
    RECT shown{};
    for (const RECT& display : displays) {
      const RECT at = WindowRect(main);
      EXPECT_FALSE(IntersectRect(&shown, &at, &display)) << at << " shows on " << display;
    }
    EXPECT_EQ(MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr);
  };
  parkedOutOfSight();

  DeskWindow desk;
  for (const RECT& place : {RECT{300, 400, 900, 800}, RECT{1500, 700, 2100, 1100}}) {
    desk.Place(place.left, place.top, place.right, place.bottom);
    ASSERT_TRUE(desk.BringToForeground());
    EXPECT_TRUE(WaitForPosition(main, place.right - 150, place.top - 109, kTwoTicksMs + kReachMs))
        << "on " << place << ": " << WindowRect(main);
  }

  // Brought to the front again (the tray menu does so): out of sight once more.
  PostMessageW(main, perchette::ids::kTrayIconMessage, perchette::ids::kTrayIconId, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitFor([&] { return VisibleMenu(perchette) != nullptr; }));
  parkedOutOfSight();
  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitFor([&] { return VisibleMenu(perchette) == nullptr; }));
}
