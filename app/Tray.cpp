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

// The record goes to the shell in its first, 8-bit-character layout: the platform's own
// NOTIFYICONDATAA, of which the shell reads the cbSize bytes up to and with the 64-byte tip.
#if !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88 && offsetof(NOTIFYICONDATAA, hIcon) == 20 &&
              offsetof(NOTIFYICONDATAA, szTip) == 24);
#endif

namespace {

constexpr char kTip[64] = "Perchette";
// A taskbar that refuses the icon (still starting at logon, or busy) is asked again this often.
constexpr ULONGLONG kRetryMs = 1000;

}  // namespace

TTrayIcon::TTrayIcon() = default;

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::Add(HWND window) {
  UniqueIcon image = ImageForScale();
  TrayIconData = std::make_unique<NOTIFYICONDATAA>();
  TrayIconData->cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  TrayIconData->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData->uCallbackMessage = ids::kTrayIconMessage;
  TrayIconData->hIcon = image.get();
  std::memcpy(TrayIconData->szTip, kTip, sizeof kTip);
  image_ = std::move(image);
  shown_ = Shell_NotifyIconA(NIM_ADD, TrayIconData.get());
  lastAsked_ = GetTickCount64();
}

void TTrayIcon::UpdateImage() {
  if (!TrayIconData) return;
  UniqueIcon image = ImageForScale();
  if (!image) return;  // the tray keeps the image it has
  TrayIconData->hIcon = image.get();
  Shell_NotifyIconA(NIM_MODIFY, TrayIconData.get());
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
  // The shell refuses to add an icon it still shows: that one is brought up to date instead.
  shown_ = Shell_NotifyIconA(NIM_ADD, TrayIconData.get()) ||
           Shell_NotifyIconA(NIM_MODIFY, TrayIconData.get());
  lastAsked_ = GetTickCount64();
}

void TTrayIcon::AskAgainIfRefused() {
  if (TrayIconData && !shown_ && GetTickCount64() - lastAsked_ >= kRetryMs) Restore();
}

void TTrayIcon::Remove(HWND window) {
  if (!TrayIconData) return;
  TrayIconData->cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, TrayIconData.get());
  TrayIconData.reset();
  image_.reset();
}

}  // namespace perchette
