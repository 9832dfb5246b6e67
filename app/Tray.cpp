// The program's icon in the notification area: the shell's record and its addition and removal.
#include "app/Tray.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

#include "base/DisplayDpi.h"
#include "res/Ids.h"

namespace perchette {

// The shell's notification record in its first, 8-bit-character form: the leading fields of the
// platform header's NOTIFYICONDATAA, laid out as it lays them out (packed to 1 byte in a 32-bit
// program, natural alignment in a 64-bit one). 88 bytes in the 32-bit program.
#if !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct NotifyIconRecord {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[64];
};
#if !defined(_WIN64)
#pragma pack(pop)
static_assert(sizeof(NotifyIconRecord) == 88);
static_assert(offsetof(NotifyIconRecord, hWnd) == 4 && offsetof(NotifyIconRecord, uID) == 8 &&
              offsetof(NotifyIconRecord, uFlags) == 12 &&
              offsetof(NotifyIconRecord, uCallbackMessage) == 16 &&
              offsetof(NotifyIconRecord, hIcon) == 20 && offsetof(NotifyIconRecord, szTip) == 24);
#else
static_assert(sizeof(NotifyIconRecord) == 104);
static_assert(offsetof(NotifyIconRecord, hWnd) == 8 && offsetof(NotifyIconRecord, uID) == 16 &&
              offsetof(NotifyIconRecord, uFlags) == 20 &&
              offsetof(NotifyIconRecord, uCallbackMessage) == 24 &&
              offsetof(NotifyIconRecord, hIcon) == 32 && offsetof(NotifyIconRecord, szTip) == 40);
#endif
static_assert(offsetof(NotifyIconRecord, hWnd) == offsetof(NOTIFYICONDATAA, hWnd) &&
              offsetof(NotifyIconRecord, uID) == offsetof(NOTIFYICONDATAA, uID) &&
              offsetof(NotifyIconRecord, uCallbackMessage) ==
                  offsetof(NOTIFYICONDATAA, uCallbackMessage) &&
              offsetof(NotifyIconRecord, hIcon) == offsetof(NOTIFYICONDATAA, hIcon) &&
              offsetof(NotifyIconRecord, szTip) == offsetof(NOTIFYICONDATAA, szTip));

namespace {

constexpr char kTip[64] = "Perchette";

}  // namespace

TTrayIcon::TTrayIcon() = default;

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::Add(HWND window) {
  UniqueIcon image = ImageForScale();
  TrayIconData = std::make_unique<NotifyIconRecord>();
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  TrayIconData->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData->uCallbackMessage = ids::kTrayIconMessage;
  TrayIconData->hIcon = image.get();
  std::memcpy(TrayIconData->szTip, kTip, sizeof kTip);
  Shell_NotifyIconA(NIM_ADD, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
  image_ = std::move(image);
}

void TTrayIcon::UpdateImage() {
  if (!TrayIconData) return;
  UniqueIcon image = ImageForScale();
  if (!image) return;  // the tray keeps the image it has
  TrayIconData->hIcon = image.get();
  Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
  image_ = std::move(image);  // the old image goes once the tray shows the new one
}

UniqueIcon TTrayIcon::ImageForScale() {
  // The primary display's scale, not the system's, which a process keeps from its start.
  const int32_t dpi = DisplayDpi(RECT{0, 0, 1, 1});
  const SIZE size{SystemMetricForDpi(SM_CXSMICON, dpi), SystemMetricForDpi(SM_CYSMICON, dpi)};
  // Settings change often; the image is loaded again only when the small-icon size has changed.
  if (image_ && size.cx == imageSize_.cx && size.cy == imageSize_.cy) return UniqueIcon();
  UniqueIcon image(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size.cx, size.cy, 0)));
  if (image) imageSize_ = size;
  return image;
}

void TTrayIcon::Restore() {
  if (!TrayIconData) return;
  const auto record = reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get());
  // The shell refuses to add an icon it still shows: that one is brought up to date instead.
  if (!Shell_NotifyIconA(NIM_ADD, record)) Shell_NotifyIconA(NIM_MODIFY, record);
}

void TTrayIcon::Remove(HWND window) {
  if (!TrayIconData) return;
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
  TrayIconData.reset();
  image_.reset();
}

}  // namespace perchette
