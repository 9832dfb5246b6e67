// Numbers the program and its tests share: the tray icon's message and number, the tray menu's
// commands and the settings dialog's control identifiers.
#pragma once

namespace perchette::ids {

// WM_USER + 100: the tray icon's notifications.
inline constexpr unsigned kTrayIconMessage = 0x0400 + 100;
inline constexpr unsigned kTrayIconId = 1;

// The tray menu's items S1, AboutA1, N3 and Exit1.
inline constexpr unsigned kMenuSettings = 101;
inline constexpr unsigned kMenuAbout = 102;
inline constexpr unsigned kMenuSeparator = 103;
inline constexpr unsigned kMenuExit = 104;

// The settings dialog's controls. The cancel button carries the system's IDCANCEL (2).
inline constexpr int kSpinEdit1 = 101;
inline constexpr int kSpinEdit2 = 102;
inline constexpr int kLabel1 = 103;
inline constexpr int kLabel2 = 104;
inline constexpr int kButton1 = 105;
inline constexpr int kButton2 = 2;

}  // namespace perchette::ids
