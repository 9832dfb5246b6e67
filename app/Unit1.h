// TMainForm: the borderless, topmost window that shows the character.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/Perch.h"
#include "app/PopupMenu.h"
#include "app/Tray.h"
#include "base/Dpi.h"
#include "base/Timer.h"
#include "base/Window.h"
#include "hangup/Schedule.h"
#include "res/Ids.h"
#include "shape/FormRgn.h"

namespace perchette {

inline constexpr UINT WM_TRAYICON = ids::kTrayIconMessage;
static_assert(WM_TRAYICON == WM_USER + 100);

class TMainForm : public Window {
 public:
  TMainForm() = default;
  // The window goes first, while everything its procedure may use is still there.
  ~TMainForm() override { DestroySystemWindow(); }

  TFormRgn FormRgn1;
  TTimer Timer1;
  TPopupMenu PopupMenu1;
  int32_t FHangUpHour = 0;
  int32_t FHangUpMinute = 0;
  int32_t FPerchOffsetX = 0;
  int32_t FPerchOffsetY = 0;

  // Applies the form description, runs FormCreate and shows the window.
  void Create();
  // A close request: the close handler runs and the program is told to end.
  void Close();

  // Handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormMouseDown(UINT button);
  void Timer1Timer();
  LRESULT WMTrayIcon(WPARAM wParam, LPARAM lParam);
  void S1Click();
  void AboutA1Click();
  void Exit1Click();

  // Operations of the subsystems, called from the handlers.
  void LoadSettings();
  void SetPerchOffsets();
  void PerchOnForegroundWindow();
  void HangUpScheduleTick();
  void HangUpDialUp();

  // Changes of the window's recorded bounds.
  void SetLeft(int32_t value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int32_t value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int32_t value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int32_t value) { SetBounds(left_, top_, width_, value); }

  // The system window, created the first time it is needed.
  HWND HandleNeeded();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void ReadBoundsFromWindow();
  void Park();
  void AddTrayIcon();
  void RemoveTrayIcon();
  void ShowSettingsDialog();
  // The picture, the perch offsets, the size and the shape for the resolution of scale_.
  void ApplyScale();

  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  // The desktop window, asked for once: the perch does not sit on it.
  HWND desktopWindow_ = nullptr;
  TTrayIcon trayIcon_;
  PerchScale scale_{kDesignDpi};
  // Set once FormCreate has sized and shaped the window: only then does she follow the scale.
  bool followsScale_ = false;
  HangUpSchedule schedule_;
};

extern TMainForm* MainForm;

}  // namespace perchette
