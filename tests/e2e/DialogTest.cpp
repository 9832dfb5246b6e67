// The settings dialog: its window and controls, the spin boxes' rules, its keys and saving.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <functional>
#include <iostream>
#include <string>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr WPARAM kSettingsItem = perchette::ids::kMenuSettings;
constexpr const char* kFiveThirty = "[HungUpTime]\r\nHHour=5\r\nHMin=30\r\n";

// Waits until the program has handled every message posted to it so far. A sent message would
// overtake the posted ones, so the mark is posted too: a change of the hour box's text limit,
// which the program never reads, undone by a posted message that comes after the others. Twice,
// so that the characters the keys were translated into (posted in turn) are handled as well.
void Settle(HWND control) {
  const HWND hour = GetDlgItem(GetAncestor(control, GA_ROOT), perchette::ids::kSpinEdit1);
  ASSERT_NE(hour, nullptr);
  const LRESULT limit = SendMessageW(hour, EM_GETLIMITTEXT, 0, 0);
  for (int round = 0; round < 2; ++round) {
    SendMessageW(hour, EM_SETLIMITTEXT, limit - 1, 0);
    PostMessageW(hour, EM_SETLIMITTEXT, limit, 0);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(hour, EM_GETLIMITTEXT, 0, 0) == limit; }, 5000))
        << "the program did not get to the posted keys";
  }
}

// A key pressed and released, through the program's message loop as the keyboard's keys go.
void SendKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  Settle(window);
}

void Type(HWND edit, const std::wstring& text) {
  for (wchar_t ch : text) PostMessageW(edit, WM_CHAR, ch, 1);
  Settle(edit);
}

// Replaces the whole text by typing, as a user does after the text was selected on entry.
void Retype(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  Type(edit, L"\b");
  Type(edit, text);
}

HWND Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// Holds an arrow button down until the condition holds, for at most three seconds. The press and
// the release are sent, so each has been handled when it returns; the hold lasted for the program
// at least from the end of the press to the start of the release, and at most from the start of
// the press to the end of the release. Automatic steps fall due 400, 500, ... ms after the press,
// and the release over the button makes one more.
struct Hold {
  bool reached;
  int fewest, most;
};
Hold HoldArrow(HWND arrows, LPARAM at, const std::function<bool()>& condition) {
  const auto steps = [](DWORD held) { return 1 + (held < 400 ? 0 : 1 + (held - 400) / 100); };
  const DWORD pressing = GetTickCount();
  SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
  const DWORD pressed = GetTickCount();
  const bool reached = WaitFor(condition, 3000);
  const DWORD releasing = GetTickCount();
  SendMessageW(arrows, WM_LBUTTONUP, 0, at);
  const DWORD released = GetTickCount();
  return {reached, static_cast<int>(steps(releasing - pressed)),
          static_cast<int>(steps(released - pressing))};
}

std::wstring Settings(const Perchette& perchette) { return ReadTextFile(perchette.SettingsPath()); }

// What a screen reader hears a control called: the name the system's accessibility layer gives.
std::wstring AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  const HRESULT found = AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                                   reinterpret_cast<void**>(&accessible));
  if (FAILED(found)) return L"(no accessible object: " + std::to_wstring(found) + L")";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const std::wstring result =
      SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr ? name : L"";
  SysFreeString(name);
  accessible->Release();
  return result;
}

}  // namespace

TEST(Dialog, IsMadeWhenFirstOpenedAndOpensAsLaidOut) {
  Perchette perchette(kFiveThirty);
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_EQ(SettingsDialog(perchette), nullptr) << "the dialog's window is made at start-up";

  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog = SettingsDialog(perchette)); }));
  EXPECT_EQ(WindowText(dialog), L"Perchette");
  const DWORD style = GetWindowLongW(dialog, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_CAPTION))
      << std::hex << style;
  EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u)
      << std::hex << style;
  const DWORD exStyle = GetWindowLongW(dialog, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME) << std::hex << exStyle;
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW) << std::hex << exStyle;
  // Owned by the application window, which is what the taskbar shows.
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), perchette.ApplicationWindow());
  EXPECT_TRUE(IsWindowVisible(perchette.ApplicationWindow()));

  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  EXPECT_EQ(window.left, kDialogLeft);
  EXPECT_EQ(window.top, kDialogTop);
  EXPECT_EQ(client.right, kDialogWidth);
  EXPECT_EQ(client.bottom, kDialogHeight);

  const wchar_t* const fileValues[] = {L"5", L"30"};
  for (int i = 0; i < 6; ++i) {
    const DesignedControl& design = kDialogControls[i];
    const HWND control = DialogControl(dialog, i);
    ASSERT_NE(control, nullptr) << "control " << i;
    EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), design.className), 0)
        << "control " << i << ": " << Narrow(ClassName(control));
    const RECT bounds = ClientBounds(control);
    const RECT expected{design.left, design.top, design.left + design.width,
                        design.top + design.height};
    EXPECT_TRUE(EqualRect(&bounds, &expected))
        << "control " << i << " at " << bounds << ", expected " << expected;
    EXPECT_EQ(ControlText(control), design.text != nullptr ? design.text : fileValues[i])
        << "control " << i;
  }
  EXPECT_EQ(GetWindow(DialogControl(dialog, 5), GW_HWNDNEXT), nullptr) << "more than six controls";

  // A screen reader tells the boxes apart by the labels after them, and the arrows by their use.
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  const struct {
    HWND control;
    const wchar_t* name;
  } spoken[] = {{DialogControl(dialog, 0), L"時"},
                {DialogControl(dialog, 1), L"分\u3000に回線自動切断"},
                {GetWindow(DialogControl(dialog, 0), GW_CHILD), L"時の増減"},
                {GetWindow(DialogControl(dialog, 1), GW_CHILD), L"分の増減"},
                {DialogControl(dialog, 4), L"設定保存"},
                {DialogControl(dialog, 5), L"ｷｬﾝｾﾙ"}};
  for (const auto& [control, name] : spoken) {
    const std::wstring heard = AccessibleName(control);
    std::cout << "  read out as: " << Narrow(heard) << "\n";
    EXPECT_EQ(heard, name) << Narrow(ClassName(control));
  }
  CoUninitialize();

  // Spin boxes: multi-line fields in tab order; buttons: in tab order, neither the default one.
  for (int i : {0, 1}) {
    const DWORD edit = GetWindowLongW(DialogControl(dialog, i), GWL_STYLE);
    EXPECT_TRUE(edit & ES_MULTILINE) << i;
    EXPECT_TRUE(edit & WS_TABSTOP) << i;
  }
  for (int i : {4, 5}) {
    const DWORD button = GetWindowLongW(DialogControl(dialog, i), GWL_STYLE);
    EXPECT_EQ(button & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << i;
    EXPECT_TRUE(button & WS_TABSTOP) << i;
  }
  EXPECT_EQ(GetDlgCtrlID(DialogControl(dialog, 5)), perchette::ids::kButton2);
  for (int i : {2, 3})
    EXPECT_FALSE(GetWindowLongW(DialogControl(dialog, i), GWL_STYLE) & WS_TABSTOP);
}

TEST(Dialog, SpinBoxHasItsArrowButtonsInsideItsRightEnd) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  for (int i : {0, 1}) {
    const HWND edit = DialogControl(dialog, i);
    RECT inner{};
    GetClientRect(edit, &inner);
    EXPECT_EQ(inner.right, 46) << "the field's inner width";
    EXPECT_EQ(inner.bottom, 25) << "the field's inner height";
    const HWND arrows = GetWindow(edit, GW_CHILD);
    ASSERT_NE(arrows, nullptr) << "no arrow buttons in box " << i;
    EXPECT_TRUE(IsWindowVisible(arrows));
    const RECT bounds = ClientBounds(arrows);
    const RECT want{30, 0, 45, 24};
    EXPECT_TRUE(EqualRect(&bounds, &want)) << "arrows at " << bounds;
    RECT text{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_LE(text.right, 29) << "the text runs under the arrows: " << text;
  }
}

TEST(Dialog, OpensWithTheFileValuesAndTheHourSelected) {
  Perchette perchette("[HungUpTime]\r\nHHour=$0A\r\nhmin=007\r\n");
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0);
  EXPECT_EQ(ControlText(hour), L"10");
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), L"7");
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == hour; }, 3000));
  DWORD start = 1, end = 0;
  SendMessageW(hour, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);
}

TEST(SpinBox, LeavingHoldsTheTypedValueWithinTheBounds) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0), minute = DialogControl(dialog, 1);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == hour; }, 3000));

  Retype(hour, L"25");
  EXPECT_EQ(ControlText(hour), L"25") << "held before leaving";
  SendKey(hour, VK_TAB);
  EXPECT_EQ(ControlText(hour), L"23");
  EXPECT_EQ(Focus(dialog), minute);

  // Entering by Tab selects the whole text, so typing replaces it.
  Type(minute, L"75");
  EXPECT_EQ(ControlText(minute), L"75");
  SendKey(minute, VK_TAB);
  EXPECT_EQ(ControlText(minute), L"59");
  EXPECT_EQ(Focus(dialog), DialogControl(dialog, 4)) << "Tab goes on to the save button";
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hour), TRUE);
  EXPECT_EQ(GetWindowLongW(DialogControl(dialog, 4), GWL_STYLE) & BS_TYPEMASK,
            static_cast<DWORD>(BS_PUSHBUTTON))
      << "the save button stayed the default one after the focus left it";

  // In-range and unconvertible texts stay as typed; only a number beyond a bound is replaced.
  for (const wchar_t* typed : {L"007", L"+7", L"-", L"", L"1.5", L"-3"}) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hour), TRUE);
    SendMessageW(minute, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
    SendKey(hour, VK_TAB);
    ASSERT_EQ(Focus(dialog), minute);
    SendKey(minute, VK_TAB);
    const std::wstring want = std::wstring(typed) == L"-3" ? L"0" : typed;
    EXPECT_EQ(ControlText(minute), want) << Narrow(typed);
  }
  // Back to the previous control, as Shift+Tab does.
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(minute), TRUE);
  SendMessageW(minute, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"60"));
  SendMessageW(dialog, WM_NEXTDLGCTL, 1, 0);
  EXPECT_EQ(Focus(dialog), hour);
  EXPECT_EQ(ControlText(minute), L"59");

  // A message of the program opened over the dialog takes the focus, but the box is not left:
  // what was typed stays as typed.
  Retype(hour, L"25");
  PostMessageW(perchette.MainWindow(), WM_COMMAND, perchette::ids::kMenuAbout, 0);
  const HWND about = perchette.WaitForMessageBox();
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) != hour; }, 3000)) << "the focus stayed";
  EXPECT_EQ(ControlText(hour), L"25");
  ASSERT_TRUE(PressOk(about));
  EXPECT_EQ(ControlText(hour), L"25");
}

TEST(SpinBox, RefusesEverythingButDigitsSignsAndTheDecimalSeparator) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0);
  SendMessageW(hour, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
  SendMessageW(hour, EM_SETSEL, 1, 1);
  for (wchar_t refused : {L'a', L'Z', L' ', L'\r', L'\uFF11', L'時', L'$', L'*'}) {
    SendMessageW(hour, WM_CHAR, refused, 1);
    EXPECT_EQ(ControlText(hour), L"1") << "accepted U+" << std::hex << static_cast<int>(refused);
  }
  // Enter and Escape as keys stay in the box and leave the dialog open.
  SendKey(hour, VK_RETURN);
  SendMessageW(hour, WM_CHAR, L'\r', 1);
  SendKey(hour, VK_ESCAPE);
  SendMessageW(hour, WM_CHAR, 0x1B, 1);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(ControlText(hour), L"1");

  wchar_t separator[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  Type(hour, std::wstring(L"-+9") + separator[0] + L"5");
  EXPECT_EQ(ControlText(hour), std::wstring(L"1-+9") + separator[0] + L"5");
  // Backspace is a control key and works.
  Type(hour, L"\b\b");
  EXPECT_EQ(ControlText(hour), L"1-+9");
}

TEST(SpinBox, UpAndDownStepWithinTheBounds) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0), minute = DialogControl(dialog, 1);
  struct Case {
    HWND box;
    const wchar_t* text;
    WPARAM key;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {hour, L"5", VK_UP, L"6"},        {hour, L"23", VK_UP, L"23"},
      {minute, L"59", VK_UP, L"59"},    {hour, L"0", VK_DOWN, L"0"},
      {hour, L"", VK_UP, L"1"},         {hour, L"", VK_DOWN, L"0"},
      {hour, L"99", VK_UP, L"23"},      {hour, L"x", VK_UP, L"1"},
      {minute, L"-5", VK_DOWN, L"0"},   {minute, L"007", VK_UP, L"8"},
      {minute, L"$10", VK_DOWN, L"15"},
  };
  for (const Case& c : cases) {
    SendMessageW(c.box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
    SendKey(c.box, c.key);
    EXPECT_EQ(ControlText(c.box), c.expected)
        << Narrow(c.text) << (c.key == VK_UP ? " up" : " down");
  }
  // Each key-down is a step, auto-repeated ones included.
  SendMessageW(minute, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10"));
  SendMessageW(minute, WM_KEYDOWN, VK_DOWN, 1);
  SendMessageW(minute, WM_KEYDOWN, VK_DOWN, 0x40000001);
  SendMessageW(minute, WM_KEYDOWN, VK_DOWN, 0x40000001);
  EXPECT_EQ(ControlText(minute), L"7");
}

TEST(SpinBox, ArrowButtonsStepOnReleaseAndRepeatWhileHeld) {
  Perchette perchette("[HungUpTime]\r\nHHour=5\r\nHMin=0\r\n");
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0), minute = DialogControl(dialog, 1);
  const HWND arrows = GetWindow(minute, GW_CHILD);
  ASSERT_NE(arrows, nullptr);
  const LPARAM up = MAKELPARAM(7, 5), down = MAKELPARAM(7, 18), off = MAKELPARAM(7, 60);

  // A click: the focus moves into the box, and the release makes the one step.
  PostMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, up);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == minute; }, 3000));
  EXPECT_EQ(ControlText(minute), L"0") << "a step before the release";
  PostMessageW(arrows, WM_LBUTTONUP, 0, up);
  EXPECT_TRUE(WaitFor([&] { return ControlText(minute) == L"1"; }, 2000))
      << Narrow(ControlText(minute));

  // Released away from the button: no step.
  PostMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, down);
  PostMessageW(arrows, WM_MOUSEMOVE, MK_LBUTTON, off);
  PostMessageW(arrows, WM_LBUTTONUP, 0, off);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_EQ(ControlText(minute), L"1");
  PostMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, down);
  PostMessageW(arrows, WM_LBUTTONUP, 0, down);
  EXPECT_TRUE(WaitFor([&] { return ControlText(minute) == L"0"; }, 2000))
      << Narrow(ControlText(minute));

  // Held until six automatic steps show, which proves they come while the button is down; the
  // release then adds one. The total follows from how long the hold lasted.
  Hold hold = HoldArrow(arrows, up, [&] { return ControlText(minute) == L"6"; });
  EXPECT_TRUE(hold.reached) << "no automatic steps while held: " << Narrow(ControlText(minute));
  const int held = _wtoi(ControlText(minute).c_str());
  std::cout << "[          ] held for " << held << " steps; " << hold.fewest << " to " << hold.most
            << " from the measured hold\n";
  EXPECT_GE(held, 7);
  EXPECT_GE(held, hold.fewest);
  EXPECT_LE(held, hold.most);

  // Held at the upper bound, in the hour box by its own arrows.
  SendMessageW(hour, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"20"));
  hold = HoldArrow(GetWindow(hour, GW_CHILD), up, [&] { return ControlText(hour) == L"23"; });
  EXPECT_TRUE(hold.reached) << Narrow(ControlText(hour));
  EXPECT_EQ(ControlText(hour), L"23");

  // A press that loses the capture (a message box, WM_CANCELMODE) ends: raised, no more steps.
  POINT edge{1, 1};  // the upper button's inner top-left edge: dark when pressed, light when not
  ClientToScreen(arrows, &edge);
  const HDC screen = GetDC(nullptr);
  const auto drawnWith = [&](int part) {
    return WaitFor([&] { return GetPixel(screen, edge.x, edge.y) == GetSysColor(part); }, 3000);
  };
  SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, up);
  EXPECT_TRUE(drawnWith(COLOR_3DDKSHADOW)) << "not drawn pressed";
  SendMessageW(arrows, WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(drawnWith(COLOR_BTNHIGHLIGHT)) << "still drawn pressed";
  const std::wstring stopped = ControlText(minute);
  Pump(700);  // a length of time is the point: held, the steps come from 400 ms on
  EXPECT_EQ(ControlText(minute), stopped);
  ReleaseDC(nullptr, screen);
}

TEST(Dialog, EscapeHidesItUnsavedOnlyFromAButton) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0);
  Retype(hour, L"9");
  PostMessageW(hour, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  ASSERT_TRUE(IsWindowVisible(dialog)) << "Escape in a spin box closed the dialog";

  PostMessageW(hour, WM_KEYDOWN, VK_TAB, 1);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == DialogControl(dialog, 1); }, 2000));
  PostMessageW(DialogControl(dialog, 1), WM_KEYDOWN, VK_TAB, 1);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == DialogControl(dialog, 4); }, 2000));
  PostMessageW(DialogControl(dialog, 4), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  EXPECT_EQ(Narrow(Settings(perchette)), kFiveThirty) << "Escape saved";
  EXPECT_TRUE(IsWindowVisible(perchette.ApplicationWindow())) << "the taskbar button stays";

  // Opened again: the file's values, the focus back on the button that had it.
  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog); }));
  EXPECT_EQ(ControlText(hour), L"5");
  EXPECT_TRUE(WaitFor([&] { return Focus(dialog) == DialogControl(dialog, 4); }, 3000));
  PostMessageW(DialogControl(dialog, 4), WM_KEYDOWN, VK_TAB, 1);
  ASSERT_TRUE(WaitFor([&] { return Focus(dialog) == DialogControl(dialog, 5); }, 2000));
  PostMessageW(DialogControl(dialog, 5), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  EXPECT_EQ(Narrow(Settings(perchette)), kFiveThirty);
}

TEST(Dialog, EnterAndSpacePressTheFocusedButton) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND cancel = DialogControl(dialog, 5), save = DialogControl(dialog, 4);
  // The arrow keys on a button neither move the focus nor press it.
  for (const HWND button : {save, cancel}) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    for (const WPARAM key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) SendKey(button, key);
    EXPECT_EQ(Focus(dialog), button) << "an arrow key moved the focus";
  }
  ASSERT_TRUE(IsWindowVisible(dialog));

  for (const WPARAM key : {VK_SPACE, VK_RETURN}) {
    if (!IsWindowVisible(dialog)) {
      PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
      ASSERT_TRUE(WaitFor([&] { return Shown(dialog); }));
    }
    Retype(DialogControl(dialog, 0), L"9");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
    SendKey(cancel, key);
    ASSERT_FALSE(IsWindowVisible(dialog)) << (key == VK_SPACE ? "Space" : "Enter");
    EXPECT_EQ(Narrow(Settings(perchette)), kFiveThirty);
  }

  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog); }));
  Retype(DialogControl(dialog, 0), L"9");
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(save), TRUE);
  PostMessageW(save, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  EXPECT_EQ(Narrow(Settings(perchette)), "[HungUpTime]\r\nHHour=9\r\nHMin=30\r\n");
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
}

TEST(Dialog, SavingWritesBothKeysAndTheNextOpeningReadsThem) {
  Perchette perchette;
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"7") << "the defaults without a file";
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), L"59");
  // A cleared hour box stays empty on leaving and saves as 0; the minute as typed, "05" as 5.
  Retype(DialogControl(dialog, 0), L"");
  SendKey(DialogControl(dialog, 0), VK_TAB);
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"");
  Type(DialogControl(dialog, 1), L"05");
  SendMessageW(DialogControl(dialog, 4), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  const std::string saved = Narrow(Settings(perchette));
  EXPECT_NE(saved.find("[HungUpTime]"), std::string::npos) << saved;
  EXPECT_NE(saved.find("HHour=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("HMin=5\r\n"), std::string::npos) << saved;

  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog); }));
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"0");
  EXPECT_EQ(ControlText(DialogControl(dialog, 1)), L"5");
}

TEST(Dialog, OpeningAgainWhileOpenKeepsWhatWasTyped) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  Retype(DialogControl(dialog, 0), L"99");
  // Moved by the user: it stays there while hidden, too.
  SetWindowPos(dialog, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"99");
  SendKey(DialogControl(dialog, 0), VK_UP);
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"23");

  SendMessageW(DialogControl(dialog, 5), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog); }));
  RECT window{};
  GetWindowRect(dialog, &window);
  EXPECT_EQ(window.left, 100);
  EXPECT_EQ(window.top, 120);
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"5");
}

TEST(Dialog, FailedSaveIsReportedAndKeepsTheDialogOpen) {
  Perchette perchette(kFiveThirty);
  // Another program holds the file open for reading only, so it cannot be written.
  HANDLE lock = CreateFileW(perchette.SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  Retype(DialogControl(dialog, 0), L"9");
  PostMessageW(DialogControl(dialog, 4), BM_CLICK, 0, 0);
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "no report of the failed save";
  const MessageBoxView report = ViewMessageBox(box);
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(perchette.SettingsPath().c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(report.text, std::wstring(full) + L" に書き込めません.");
  EXPECT_EQ(report.title, L"Perchette");
  EXPECT_TRUE(report.hasIcon);
  EXPECT_EQ(report.buttons, 1);
  PressOk(box);
  ASSERT_TRUE(WaitFor([&] { return MessageBoxes(perchette.ProcessId()).empty(); }, 3000));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(ControlText(DialogControl(dialog, 0)), L"9");
  EXPECT_EQ(Narrow(Settings(perchette)), kFiveThirty);

  // Writable again, the same dialog saves.
  CloseHandle(lock);
  PostMessageW(DialogControl(dialog, 4), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  EXPECT_NE(Narrow(Settings(perchette)).find("HHour=9"), std::string::npos);
}

TEST(Dialog, StaysClosedWhenTheSettingsDoNotConvert) {
  Perchette perchette(kFiveThirty);
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  {
    const HANDLE file = CreateFileW(perchette.SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char text[] = "[HungUpTime]\r\nHHour=5\r\nHMin=60\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
  }
  PostMessageW(perchette.MainWindow(), WM_COMMAND, kSettingsItem, 0);
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(box).text), "'5:60:0' は時刻ではありません.");
  EXPECT_FALSE(IsWindowVisible(SettingsDialog(perchette)));
  PressOk(box);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_FALSE(IsWindowVisible(SettingsDialog(perchette)));
}

TEST(SpinBox, RealKeystrokesTypeStepAndMoveOn) {
  Perchette perchette(kFiveThirty);
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  const HWND hour = DialogControl(dialog, 0), minute = DialogControl(dialog, 1);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog && Focus(dialog) == hour; }))
      << "the dialog did not come to the front with the focus in the hour box";
  const auto keys = [&](std::initializer_list<WORD> virtualKeys) {
    for (WORD key : virtualKeys) {
      INPUT input[2] = {};
      input[0].type = input[1].type = INPUT_KEYBOARD;
      input[0].ki.wVk = input[1].ki.wVk = key;
      input[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, input, sizeof(INPUT));
      ASSERT_TRUE(WaitUntilIdle(perchette));
    }
  };
  // The selected text is replaced; letters, space and Enter are refused; Tab leaves.
  keys({'2', 'A', VK_SPACE, '5', VK_RETURN});
  EXPECT_TRUE(WaitFor([&] { return ControlText(hour) == L"25"; }, 2000))
      << Narrow(ControlText(hour));
  keys({VK_TAB});
  EXPECT_TRUE(WaitFor([&] { return Focus(dialog) == minute; }, 2000));
  EXPECT_EQ(ControlText(hour), L"23");
  keys({VK_UP, VK_ESCAPE});
  EXPECT_TRUE(WaitFor([&] { return ControlText(minute) == L"31"; }, 2000))
      << Narrow(ControlText(minute));
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_TRUE(IsWindowVisible(dialog));
  // Shift+Tab goes back to the hour box.
  INPUT shiftTab[4] = {};
  for (int i = 0; i < 4; ++i) {
    shiftTab[i].type = INPUT_KEYBOARD;
    shiftTab[i].ki.wVk = i == 0 || i == 3 ? VK_SHIFT : VK_TAB;
    shiftTab[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, shiftTab, sizeof(INPUT));
  EXPECT_TRUE(WaitFor([&] { return Focus(dialog) == hour; }, 2000));
  // On to the cancel button and Escape there: hidden, nothing saved.
  keys({VK_TAB, VK_TAB, VK_TAB, VK_ESCAPE});
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 3000));
  EXPECT_EQ(Narrow(Settings(perchette)), kFiveThirty);
}
