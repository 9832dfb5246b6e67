#include "app/Unit1.h"

#include <utility>

#include "app/Perch.h"
#include "base/Application.h"
#include "base/DisplayDpi.h"
#include "base/Dpi.h"
#include "res/MainForm.h"
#include "res/Version.h"
#include "settings/SettingsFile.h"
#include "settings/Unit2.h"

namespace perchette {

TMainForm* MainForm = nullptr;

namespace {

// What the shell sends every top-level window once the taskbar has (re)started.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// The system's answer for a rectangle: the display that holds most of it.
DisplayAnswer DisplayOf(const ScreenRect& rect) {
  RECT bounds{};
  const int32_t dpi = DisplayDpi(RECT{rect.left, rect.top, rect.right, rect.bottom}, bounds);
  return {dpi, {bounds.left, bounds.top, bounds.right, bounds.bottom}};
}

}  // namespace

void TMainForm::Create() {
  // The form description: design bounds, the picture, the timer and the menu.
  left_ = mainform::kLeft;
  top_ = mainform::kTop;
  width_ = mainform::kClientWidth;
  height_ = mainform::kClientHeight;
  FormRgn1.SetParent([this] { return HandleNeeded(); });
  FormRgn1.SetBounds(mainform::kPictureLeft, mainform::kPictureTop, mainform::kPictureWidth,
                     mainform::kPictureHeight);
  FormRgn1.SetAutoSize(true);
  // She starts parked, out of sight: drawn for the primary display (whose top-left corner is the
  // origin) until the first perch tells her the display she sits on.
  scale_ = PerchScale(DisplayDpi(RECT{0, 0, 1, 1}));
  FormRgn1.LoadPicture(GetModuleHandleW(nullptr), NearestArtDpi(scale_.Dpi()));
  FormRgn1.TransparentColor = mainform::kPictureTransparentColor;
  Timer1.Start(mainform::kTimerInterval, [this] { Timer1Timer(); });
  PopupMenu1.Build();

  try {
    FormCreate();
  } catch (...) {
    // The rest of FormCreate is skipped; start-up goes on, with the window it still needs. Where
    // that cannot be made, start-up ends instead, and only that is reported.
    HandleNeeded();
    Application().ReportCurrentException();
  }

  HandleNeeded();
  ShowWindow(Application().Handle(), SW_SHOWNOACTIVATE);
  FormShow();
  ShowWindow(Handle(), SW_SHOWMAXIMIZED);
}

HWND TMainForm::HandleNeeded() {
  if (!HandleAllocated()) {
    const RECT bounds{left_, top_, left_ + width_, top_ + height_};
    CreateSystemWindow({.name = mainform::kClassName,
                        .style = mainform::kClassStyle,
                        .background = GetSysColorBrush(COLOR_BTNFACE)},
                       mainform::kExStyle, mainform::kText, mainform::kStyle, bounds,
                       Application().Handle());
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ReadBoundsFromWindow();
    desktopWindow_ = GetDesktopWindow();
    Application().SetMainWindow(Handle());
    Application().AddFormWindow(Handle());
  }
  return Handle();
}

void TMainForm::FormCreate() {
  LoadSettings();
  AddTrayIcon();
  Park();
  SetPerchOffsets();
  SetHeight(FormRgn1.Height());
  SetWidth(FormRgn1.Width());
  FormRgn1.ApplyRegion();
  followsScale_ = true;
}

void TMainForm::LoadSettings() {
  // Reports held back as repeats may show again once the settings are read anew.
  Application().ForgetRepeatedErrors();
  const HangUpTime time = ReadHangUpTime();
  FHangUpHour = time.hour;
  FHangUpMinute = time.minute;
  schedule_.SetStartTime(FHangUpHour, FHangUpMinute);
}

void TMainForm::FormShow() { ShowWindow(Application().Handle(), SW_HIDE); }

void TMainForm::Close() {
  FormClose();
  PostQuitMessage(0);
}

void TMainForm::FormClose() { RemoveTrayIcon(); }

void TMainForm::Timer1Timer() {
  try {
    PerchOnForegroundWindow();
    HangUpScheduleTick();
  } catch (...) {
    // The same failure comes back on every tick; it is shown once.
    Application().ReportCurrentException(true);
  }
  trayIcon_.AskAgainIfRefused();
}

void TMainForm::HangUpScheduleTick() {
  if (schedule_.IsHangUpTick(FHangUpHour, FHangUpMinute)) HangUpDialUp();
}

void TMainForm::HangUpDialUp() { schedule_.HangUpDialUp(); }

void TMainForm::SetPerchOffsets() {
  // She sits on the caption at every scale: the offsets grow with the picture she is drawn in.
  FPerchOffsetX = ScaleForDpi(kPerchOffsetX, FormRgn1.PictureDpi());
  FPerchOffsetY = ScaleForDpi(kPerchOffsetY, FormRgn1.PictureDpi());
}

void TMainForm::PerchOnForegroundWindow() {
  // The application window counts as the program's own: the system activates it, invisible and
  // zero-sized, when the settings dialog or a message box closes.
  const HWND first = GetForegroundWindow();
  if (first == Handle() || first == Application().Handle()) {
    Park();
    return;
  }
  const HWND foreground = GetForegroundWindow();
  RECT rect{};
  // No foreground window, or one gone since the first question: stay put for this tick. The
  // desktop window counts as none: some systems make it the foreground window when the focus
  // has gone to no window of theirs, for instance when the parked window moved off the display.
  if (foreground == nullptr || foreground == desktopWindow_ || !GetWindowRect(foreground, &rect)) {
    return;
  }
  // Drawn for the display of the window she sits on before she goes there, so she never shows
  // at the wrong size; the news of the move itself is then hers and ignored.
  if (followsScale_ && scale_.Perch({rect.left, rect.top, rect.right, rect.bottom}, DisplayOf))
    ApplyScale();
  const PerchPoint perch = PerchPosition(rect.right, rect.top, FPerchOffsetX, FPerchOffsetY);
  const PerchScale::OwnMove move(scale_);
  SetWindowPos(Handle(), HWND_TOP, perch.left, perch.top, width_, height_, SWP_NOACTIVATE);
}

void TMainForm::ApplyScale() {
  FormRgn1.LoadPicture(GetModuleHandleW(nullptr), NearestArtDpi(scale_.Dpi()));
  SetPerchOffsets();
  {
    // She keeps her place: the perch or the park decides it at the next tick.
    const PerchScale::OwnMove resize(scale_);
    SetWindowPos(Handle(), nullptr, 0, 0, FormRgn1.Width(), FormRgn1.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FormRgn1.ApplyRegion();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TMainForm::Park() {
  const PerchScale::OwnMove parking = scale_.Park();
  // Beyond the bottom-right corner of the whole desktop, not only of the primary display: a
  // display to the right or below would otherwise show her there.
  SetTop(GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  SetLeft(GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

void TMainForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (HandleAllocated()) {
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
  }
}

void TMainForm::ReadBoundsFromWindow() {
  RECT rect{};
  if (!GetWindowRect(Handle(), &rect)) return;
  left_ = rect.left;
  top_ = rect.top;
  width_ = rect.right - rect.left;
  height_ = rect.bottom - rect.top;
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TaskbarCreatedMessage() && message != 0) {
    // A restarted taskbar has lost every icon: hers comes back, so that the menu is there.
    trayIcon_.Restore();
    return 0;
  }
  switch (message) {
    case WM_WINDOWPOSCHANGED: {
      // The system reports the new rectangle with the message, so following it costs no call.
      const auto& position = *reinterpret_cast<const WINDOWPOS*>(lParam);
      if ((position.flags & SWP_NOMOVE) == 0) {
        left_ = position.x;
        top_ = position.y;
      }
      if ((position.flags & SWP_NOSIZE) == 0) {
        width_ = position.cx;
        height_ = position.cy;
      }
      return 0;
    }
    case WM_GETMINMAXINFO: {
      // The show command maximizes the window; it keeps its place and size, so the window is
      // never larger than the picture it shows and never covers the screen.
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
      limits.ptMaxPosition = POINT{left_, top_};
      limits.ptMaxSize = POINT{width_, height_};
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      FormRgn1.Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      FormMouseDown(message);
      return 0;
    // The class takes double-clicks, so a second press comes as one of these: still a press.
    case WM_LBUTTONDBLCLK:
      FormMouseDown(WM_LBUTTONDOWN);
      return 0;
    case WM_RBUTTONDBLCLK:
      FormMouseDown(WM_RBUTTONDOWN);
      return 0;
    case WM_MBUTTONDBLCLK:
      FormMouseDown(WM_MBUTTONDOWN);
      return 0;
    case WM_DPICHANGED: {
      // The new resolution comes with the message; asking here may still answer with the old
      // one. The system is asked only which display holds her window.
      RECT own{};
      if (followsScale_ && GetWindowRect(Handle(), &own) &&
          scale_.Notice(LOWORD(wParam),
                        DisplayOf({own.left, own.top, own.right, own.bottom}).bounds))
        ApplyScale();
      trayIcon_.UpdateImage();
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_COMMAND:
      // The tray menu's chosen item, or a second start asking for the settings.
      if (wParam == TPopupMenu::S1) S1Click();
      if (wParam == TPopupMenu::AboutA1) AboutA1Click();
      if (wParam == TPopupMenu::Exit1) Exit1Click();
      return 0;
    case WM_TRAYICON:
      return WMTrayIcon(wParam, lParam);
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
      scale_.DisplaysChanged();
      trayIcon_.UpdateImage();
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

// The tray icon, its menu and the ways into the settings dialog.

void TMainForm::AddTrayIcon() { trayIcon_.Add(HandleNeeded()); }

void TMainForm::RemoveTrayIcon() { trayIcon_.Remove(Handle()); }

LRESULT TMainForm::WMTrayIcon(WPARAM, LPARAM lParam) {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (lParam == WM_RBUTTONDOWN) PopupMenu1.Popup(Handle(), cursor.x, cursor.y);
  return 0;
}

void TMainForm::ShowSettingsDialog() {
  LoadSettings();
  Form1->Show(FHangUpHour, FHangUpMinute);
}

void TMainForm::S1Click() { ShowSettingsDialog(); }

void TMainForm::FormMouseDown(UINT button) {
  if (button == WM_RBUTTONDOWN) ShowSettingsDialog();
}

void TMainForm::AboutA1Click() {
  Application().ShowMessage(PERCHETTE_PRODUCT_NAME
                            " バージョン " PERCHETTE_VERSION_TEXT
                            "\n\nデスクトップの窓の上にちょこんと座るマスコットです。"
                            "毎日決めた時刻に、ダイヤルアップ接続を切断します。");
  Application().HideApplicationWindow();
}

void TMainForm::Exit1Click() { Close(); }

}  // namespace perchette
