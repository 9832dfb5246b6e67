// The program's icon in the notification area.
#pragma once

#include <windows.h>

#include <memory>

namespace perchette {

struct NotifyIconRecord;

class TTrayIcon {
 public:
  TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;
  ~TTrayIcon();

  // Adds the icon; its notifications come to the window as WM_TRAYICON.
  void Add(HWND window, HICON icon);
  // Removes the icon and releases its record; nothing to do when none was added.
  void Remove(HWND window);
  // Shows the added icon again, with the same record, after the taskbar has restarted; leaves
  // exactly one icon, also where the old one is still there. Nothing to do when none was added.
  void Restore();

 private:
  // Present from the icon's addition to its removal.
  std::unique_ptr<NotifyIconRecord> TrayIconData;
};

}  // namespace perchette
