// The program's icon in the notification area.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Handles.h"

namespace perchette {

struct NotifyIconRecord;

class TTrayIcon {
 public:
  TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;
  ~TTrayIcon();

  // Adds the icon showing the given image, which it keeps; its notifications come to the window
  // as WM_TRAYICON.
  void Add(HWND window, UniqueIcon image);
  // Shows another image, which it keeps; nothing to do when no icon was added.
  void SetImage(UniqueIcon image);
  // Removes the icon, then releases its record and its image; nothing to do when none was added.
  void Remove(HWND window);
  // Shows the added icon again, with the same record, after the taskbar has restarted; leaves
  // exactly one icon, also where the old one is still there. Nothing to do when none was added.
  void Restore();

 private:
  // The image shown; declared first, so that it goes last.
  UniqueIcon image_;
  // Present from the icon's addition to its removal.
  std::unique_ptr<NotifyIconRecord> TrayIconData;
};

}  // namespace perchette
