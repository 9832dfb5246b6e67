// The program's icon in the notification area.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "base/Handles.h"

namespace perchette {

class TTrayIcon {
 public:
  TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;
  ~TTrayIcon();

  // Adds the icon, the application icon at the size of the notification area's scale; its
  // notifications come to the window as WM_TRAYICON.
  void Add(HWND window);
  // News that the scale or the settings may have changed: the image is loaded again only when
  // the small-icon size has. Nothing to do when no icon was added.
  void UpdateImage();
  // Removes the icon, then releases its record and its image; nothing to do when none was added.
  void Remove(HWND window);
  // Shows the added icon again, with the same record, after the taskbar has restarted; leaves
  // exactly one icon, also where the old one is still there. Nothing to do when none was added.
  void Restore();
  // From the tick: while the shell refuses the icon (a taskbar still starting at logon sends no
  // second "TaskbarCreated"), asks again, at most once a second, until it is accepted.
  void AskAgainIfRefused();

 private:
  // The application icon at the small-icon size of the primary display's scale, where the
  // notification area is; none when the image shown has that size already.
  UniqueIcon ImageForScale();

  // The image shown and the size it was loaded at; declared first, so that it goes last.
  UniqueIcon image_;
  SIZE imageSize_{};
  // Present from the icon's addition to its removal.
  std::unique_ptr<NOTIFYICONDATAA> TrayIconData;
  // Whether the shell accepted the icon when last asked, and when that was.
  bool shown_ = false;
  ULONGLONG lastAsked_ = 0;
};

}  // namespace perchette
