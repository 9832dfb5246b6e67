// The tray icon, its menu and the ways into the settings dialog.
#include "app/Tray.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "app/Unit1.h"
#include "base/Application.h"
#include "res/Version.h"
#include "settings/Unit2.h"

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

void TTrayIcon::Add(HWND window, HICON icon) {
  TrayIconData = std::make_unique<NotifyIconRecord>();
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  TrayIconData->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData->uCallbackMessage = WM_TRAYICON;
  TrayIconData->hIcon = icon;
  std::memcpy(TrayIconData->szTip, kTip, sizeof kTip);
  Shell_NotifyIconA(NIM_ADD, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
}

void TTrayIcon::Remove(HWND window) {
  if (!TrayIconData) return;
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = window;
  TrayIconData->uID = ids::kTrayIconId;
  Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
  TrayIconData.reset();
}

void TMainForm::AddTrayIcon() {
  trayIcon_.Add(HandleNeeded(), LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
}

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
