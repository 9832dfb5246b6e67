// The tray icon, its menu, and the right-button press on the character.
#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr UINT kTrayIconMessage = perchette::ids::kTrayIconMessage;

HWND OpenMenu(const Perchette& perchette) {
  HWND menu = nullptr;
  WaitFor([&] { return (menu = VisibleMenu(perchette)) != nullptr; }, 1500);
  return menu;
}

// The tip the tray shows while the pointer rests on an icon: the text of the tray's visible
// tooltip window, empty if none shows.
std::wstring TipShown(HWND icon) {
  DWORD tray = 0;
  GetWindowThreadProcessId(icon, &tray);
  std::wstring tip;
  WaitFor(
      [&] {
        for (HWND window : ProcessWindows(tray, L"tooltips_class32")) {
          if (IsWindowVisible(window)) tip = ControlText(window);
        }
        return !tip.empty();
      },
      3000);
  return tip;
}

// The desktop's thread in the tray's process also drops the icons of a window that is
// destroyed, when it reads a message posted to the desktop. Posts enough messages ahead of that
// one, with the thread held, to keep that clean-up back for a while after the window has gone;
// a sent message, such as a program's own removal of its icon, is still served at once.
void DelayTheDesktopsPostedMessages() {
  const HWND desktop = GetDesktopWindow();
  const HANDLE thread =
      OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(desktop, nullptr));
  ASSERT_NE(thread, nullptr);
  SuspendThread(thread);
  for (int i = 0; i < 3000; ++i) PostMessageW(desktop, WM_NULL, 0, 0);
  ResumeThread(thread);
  CloseHandle(thread);
}

void PostMenuKey(HWND main, WPARAM key) {
  // The menu's own loop reads the keys from the program's queue, whichever window they name.
  PostMessageW(main, WM_KEYDOWN, key, 1);
  PostMessageW(main, WM_KEYUP, key, 0xC0000001);
}

HWND OpenMenuAt(const Perchette& perchette, int x, int y) {
  // A change of the active window that Wine's X11 driver takes up late (after a message box or
  // the dialog) can close a menu the moment it opens: opened again then, once the program has
  // taken up what was on its way, so that the keys a test posts next reach an open menu.
  for (int attempt = 0; attempt < 3; ++attempt) {
    SetCursorPos(x, y);
    PostMessageW(perchette.MainWindow(), kTrayIconMessage, 1, WM_RBUTTONDOWN);
    const HWND menu = OpenMenu(perchette);
    if (menu == nullptr || !WaitUntilIdle(perchette) || !IsWindowVisible(menu)) continue;
    // Wine's menu takes any mouse move over it, its border too, as the choice of the item there
    // or of none, which would undo the arrow keys a test posts next: the pointer leaves it.
    SetCursorPos(x - 20, y - 20);
    return menu;
  }
  return nullptr;
}

// The tray's window for the only icon shown, once it shows.
HWND OnlyIcon() {
  HWND icon = nullptr;
  WaitFor([&] {
    const HWND tray = FindWindowExW(nullptr, nullptr, L"__winex11_standalone_tray", nullptr);
    icon = tray != nullptr ? GetWindow(tray, GW_CHILD) : nullptr;
    return icon != nullptr && IsWindowVisible(icon);
  });
  return icon != nullptr && IsWindowVisible(icon) ? icon : nullptr;
}

POINT Centre(HWND window) {
  const RECT rect = WindowRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Sent rather than posted: when it returns, the program has done all it does about it.
void AnnounceTaskbar(HWND main) {
  SendMessageTimeoutW(main, TaskbarCreatedMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

// A taskbar of the test's own: the shell hands every icon call to the first top-level window of
// this class, as WM_COPYDATA, and returns its answer; the test's waits serve it. It refuses, as a
// taskbar still starting at logon does, until told to accept, and records every call. Like the
// shell, it takes no second add of an icon it shows, and modifies only an icon it shows.
class StandInTaskbar {
 public:
  struct Call {
    DWORD ms, command;  // command: NIM_ADD, NIM_MODIFY or NIM_DELETE
    bool accepted;
    LONG window;  // the shell's own record: the window, icon number, flags, message, wide tip
    UINT id, flags, callbackMessage;
    std::wstring tip;
  };

  StandInTaskbar() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = L"Shell_TrayWnd";
    RegisterClassW(&windowClass);
    // Topmost and made last: found before the tray of Wine's desktop.
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0,
                              0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~StandInTaskbar() {
    DestroyWindow(window_);
    UnregisterClassW(L"Shell_TrayWnd", nullptr);
  }
  // A taskbar that starts anew shows no icon.
  void Accept(bool accept) { shows_ = (accept_ = accept) && shows_; }

  std::vector<Call> calls;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<StandInTaskbar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message != WM_COPYDATA)
      return DefWindowProcW(window, message, wParam, lParam);
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* record = static_cast<const UINT*>(data.lpData);
    const bool accepted = self->accept_ && (data.dwData == NIM_ADD) != self->shows_;
    if (accepted) self->shows_ = data.dwData != NIM_DELETE;
    self->calls.push_back({GetTickCount(), static_cast<DWORD>(data.dwData), accepted,
                           static_cast<LONG>(record[0]), record[1], record[2], record[3],
                           reinterpret_cast<const wchar_t*>(record + 4)});
    return accepted;
  }

  HWND window_ = nullptr;
  bool accept_ = false, shows_ = false;
};

}  // namespace

TEST(Tray, IconIsShownWhileTheProgramRunsAndRemovedOnExit) {
  const int before = SettledTrayIcons();
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitFor([&] { return TrayIcons() == before + 1; }, 5000))
      << TrayIcons() << " icons, " << before << " before the start";

  // The program removes the icon itself: it is gone before the program's window is.
  ASSERT_NE(OpenMenuAt(perchette, 600, 500), nullptr);
  DelayTheDesktopsPostedMessages();
  PostMenuKey(main, 'X');
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(main); }, 5000)) << "Exit did not close the window";
  EXPECT_EQ(TrayIcons(), before) << "the icon outlived the window";
  EXPECT_TRUE(perchette.WaitForExit(5000)) << "Exit did not end the program";
  EXPECT_TRUE(WaitFor([&] { return TrayIcons() == before; }, 10000))
      << TrayIcons() << " icons after the exit";
}

TEST(Tray, OnlyARightPressOpensTheMenuAtTheCursor) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  SetCursorPos(500, 400);
  for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP,
                       WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN}) {
    PostMessageW(main, kTrayIconMessage, 1, mouse);
  }
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_EQ(VisibleMenu(perchette), nullptr) << "a menu opened without a right-button press";

  const HWND menu = OpenMenuAt(perchette, 500, 400);
  ASSERT_NE(menu, nullptr) << "no menu on a right-button press";
  RECT rect{};
  GetWindowRect(menu, &rect);
  EXPECT_EQ(rect.left, 500);
  EXPECT_EQ(rect.top, 400);
  PostMenuKey(main, VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000));
  EXPECT_FALSE(Shown(SettingsDialog(perchette)));
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
}

TEST(Tray, IconShowsTheTipAndRightClicksOpenTheMenuAndChooseAnItem) {
  Perchette perchette;
  perchette.Start();
  ASSERT_NE(perchette.WaitForMainWindow(), nullptr);
  const HWND icon = OnlyIcon();
  ASSERT_NE(icon, nullptr);
  RECT rect{};
  const POINT centre = Centre(icon);
  ASSERT_TRUE(PointAt(centre));
  EXPECT_EQ(TipShown(icon), L"Perchette") << "the tip while the pointer rests on the icon";
  RightClickAt(centre);
  const HWND menu = OpenMenu(perchette);
  ASSERT_NE(menu, nullptr) << "a right click on the icon opened no menu";
  GetWindowRect(menu, &rect);
  EXPECT_LE(std::abs(rect.left - centre.x), 1) << rect.left << " for a cursor at " << centre.x;
  // The first item, settings, chosen with the right button too; an item is at least as high as
  // a menu bar's button.
  RightClickAt({rect.left + 20, rect.top + GetSystemMetrics(SM_CYMENUSIZE) / 2});
  EXPECT_TRUE(WaitFor([&] { return Shown(SettingsDialog(perchette)); }))
      << "a right click on the first item did not open the dialog";
  if (IsWindowVisible(menu)) PostMenuKey(perchette.MainWindow(), VK_ESCAPE);
}

// Chosen by moving down to them: settings, About and, past the separator, Exit.
TEST(Tray, MenuItemsComeInTheirOrder) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto choose = [&](int downs) {
    ASSERT_NE(OpenMenuAt(perchette, 500, 400), nullptr);
    for (int i = 0; i < downs; ++i) PostMenuKey(main, VK_DOWN);
    PostMenuKey(main, VK_RETURN);
  };
  choose(1);
  EXPECT_TRUE(WaitFor([&] { return Shown(SettingsDialog(perchette)); }))
      << "the first item did not open the dialog";
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  choose(2);
  const HWND about = perchette.WaitForMessageBox();
  ASSERT_NE(about, nullptr) << "the second item showed no message";
  EXPECT_NE(ViewMessageBox(about).text.find(L"バージョン"), std::wstring::npos)
      << Narrow(ViewMessageBox(about).text);
  ASSERT_TRUE(PressOk(about));
  choose(3);
  EXPECT_TRUE(perchette.WaitForExit(5000)) << "the third item did not end the program";
}

TEST(Tray, AboutShowsTheVersionAndHidesTheTaskbarButtonAgain) {
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HWND application = perchette.ApplicationWindow();
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(application); }, 3000));

  // The settings dialog brings the taskbar button; it stays once the dialog is closed.
  ASSERT_NE(OpenMenuAt(perchette, 400, 300), nullptr);
  PostMenuKey(main, 'S');
  ASSERT_TRUE(WaitFor([&] { return Shown(SettingsDialog(perchette)); }));
  EXPECT_TRUE(IsWindowVisible(application));
  PostMessageW(SettingsDialog(perchette), WM_COMMAND,
               MAKEWPARAM(perchette::ids::kButton2, BN_CLICKED), 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(SettingsDialog(perchette)); }));
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_TRUE(IsWindowVisible(application));

  ASSERT_NE(OpenMenuAt(perchette, 400, 300), nullptr);
  PostMenuKey(main, 'A');
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << "no About message";
  const MessageBoxView about = ViewMessageBox(box);
  EXPECT_EQ(about.title, L"Perchette");
  EXPECT_NE(about.text.find(L"Perchette"), std::wstring::npos) << Narrow(about.text);
  EXPECT_NE(about.text.find(L"1.0.0.0"), std::wstring::npos) << Narrow(about.text);
  EXPECT_NE(about.text.find(L"バージョン"), std::wstring::npos) << Narrow(about.text);
  EXPECT_FALSE(about.hasIcon);
  EXPECT_EQ(about.buttons, 1);
  // Centred on the screen.
  RECT bounds{};
  GetWindowRect(box, &bounds);
  EXPECT_NEAR((bounds.left + bounds.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR((bounds.top + bounds.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2);
  // Modal: the main window takes no input until the last message has closed. The menu still
  // opens a second About over the first.
  EXPECT_FALSE(IsWindowEnabled(main));
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuAbout, 0);
  ASSERT_TRUE(WaitFor([&] { return MessageBoxes(perchette.ProcessId()).size() == 2; }));
  const std::vector<HWND> boxes = MessageBoxes(perchette.ProcessId());
  ASSERT_TRUE(PressOk(boxes[0] == box ? boxes[1] : boxes[0]));
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_FALSE(IsWindowEnabled(main)) << "enabled while a message was still open";
  // Escape answers it as OK does.
  PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 3000)) << "Escape did not close it";
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(application); }, 3000))
      << "the taskbar button stayed after About";
  EXPECT_TRUE(perchette.Running());

  // Showing the dialog brings it back.
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuSettings, 0);
  ASSERT_TRUE(WaitFor([&] { return Shown(SettingsDialog(perchette)); }));
  EXPECT_TRUE(IsWindowVisible(application));
}

TEST(Tray, RightPressOnTheCharacterOpensTheDialogALeftPressDoesNot) {
  Perchette perchette("[HungUpTime]\r\nHHour=3\r\nHMin=4\r\n");
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  for (UINT button : {WM_LBUTTONDOWN, WM_MBUTTONDOWN}) {
    PostMessageW(main, button, 0, MAKELPARAM(40, 40));
    PostMessageW(main, button + 1, 0, MAKELPARAM(40, 40));
  }
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_FALSE(Shown(SettingsDialog(perchette))) << "a left or middle press opened the dialog";
  PostMessageW(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));
  PostMessageW(main, WM_RBUTTONUP, 0, MAKELPARAM(40, 40));
  ASSERT_TRUE(WaitFor([&] { return Shown(SettingsDialog(perchette)); }));
  const HWND hour = DialogControl(SettingsDialog(perchette), 0);
  wchar_t text[16] = {};
  SendMessageW(hour, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"3");
}

// A restarting taskbar loses every icon and then announces itself; so may a taskbar that still
// shows them (after a display change, for instance).
TEST(Tray, IconComesBackOnceWhenTheTaskbarRestarts) {
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([] { return TrayIcons() == 1; }, 5000)) << TrayIcons() << " icons";

  TakeTrayIconAway(main);
  ASSERT_TRUE(WaitFor([] { return TrayIcons() == 0; }, 5000)) << "the icon was not taken away";
  PostMessageW(main, TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(WaitFor([] { return TrayIcons() == 1; }, 5000)) << TrayIcons() << " icons";

  for (int i = 0; i < 3; ++i) AnnounceTaskbar(main);
  EXPECT_EQ(TrayIcons(), 1) << "after announcements while the icon was shown";

  // The icon that came back is the program's: its tip, and its menu on a right click.
  const HWND icon = OnlyIcon();
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(PointAt(Centre(icon)));
  EXPECT_EQ(TipShown(icon), L"Perchette");
  RightClickAt(Centre(icon));
  EXPECT_NE(OpenMenu(perchette), nullptr) << "a right click on the icon opened no menu";
  PostMenuKey(main, VK_ESCAPE);

  // Exit still takes it away for good.
  perchette.Close();
  EXPECT_TRUE(WaitFor([] { return TrayIcons() == 0; }, 5000)) << TrayIcons() << " icons";
}

TEST(Tray, NoIconComesAfterASettingsErrorAtStartUp) {
  ASSERT_EQ(SettledTrayIcons(), 0) << "icons of earlier programs are still shown";
  Perchette perchette("[HungUpTime]\r\nHHour=24\r\n");
  perchette.Start();
  ASSERT_TRUE(PressOk(perchette.WaitForMessageBox())) << "no error report at start-up";
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  AnnounceTaskbar(main);
  EXPECT_EQ(TrayIcons(), 0);
  EXPECT_TRUE(perchette.Running());
}

// At logon the taskbar may refuse the icon for a while and announce nothing once it is ready.
TEST(Tray, IconIsAskedForUntilTheTaskbarTakesItAndThenNeverAgain) {
  StandInTaskbar taskbar;
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto adds = [&](bool accepted) {
    std::vector<StandInTaskbar::Call> found;
    for (const auto& call : taskbar.calls) {
      if (call.command == NIM_ADD && call.accepted == accepted) found.push_back(call);
    }
    return found;
  };
  // Asked again and again while refused, about once a second, not on every tick.
  ASSERT_TRUE(WaitFor([&] { return adds(false).size() >= 3; }, 6000)) << adds(false).size();
  EXPECT_GE(adds(false)[2].ms - adds(false)[0].ms, 1900u) << "asked too often";

  const DWORD ready = GetTickCount();
  taskbar.Accept(true);
  ASSERT_TRUE(WaitFor([&] { return !adds(true).empty(); }, 2000)) << "not added once accepted";
  const StandInTaskbar::Call added = adds(true).front();
  std::printf("  %zu refused adds; added %lu ms after the taskbar was ready\n", adds(false).size(),
              static_cast<unsigned long>(added.ms - ready));
  EXPECT_EQ(added.window, static_cast<LONG>(reinterpret_cast<LONG_PTR>(main)));
  EXPECT_EQ(added.id, 1u);
  EXPECT_EQ(added.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(added.callbackMessage, 1124u);
  EXPECT_EQ(added.tip, L"Perchette");
  // Here a length of time is the point: once accepted, nothing is asked again.
  Pump(1500);
  EXPECT_EQ(taskbar.calls.back().ms, added.ms) << "asked again after it was accepted";

  // A restarted taskbar that refuses the icon at first: asked again from the tick too.
  taskbar.Accept(false);
  AnnounceTaskbar(main);
  taskbar.Accept(true);
  EXPECT_TRUE(WaitFor([&] { return adds(true).size() == 2; }, 2000)) << "not asked again";

  // Announced while the icon is shown, as the shell does for more than a restart: brought up to
  // date once, not added again every second.
  const size_t calls = taskbar.calls.size(), refused = adds(false).size();
  AnnounceTaskbar(main);
  Pump(1500);
  const size_t refusedAdds = adds(false).size() - refused;
  EXPECT_LE(refusedAdds, 1u);
  ASSERT_EQ(taskbar.calls.size() - calls, refusedAdds + 1) << "not one modify after the add";
  EXPECT_EQ(taskbar.calls.back().command, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_TRUE(taskbar.calls.back().accepted);

  perchette.Close();
  EXPECT_EQ(taskbar.calls.back().command, static_cast<DWORD>(NIM_DELETE)) << "not deleted";
  EXPECT_EQ(taskbar.calls.back().id, 1u);
}
