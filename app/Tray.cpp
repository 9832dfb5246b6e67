// The tray icon, its menu and the ways into the settings dialog.
#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "base/Application.h"
#include "app/Unit1.h"
#include "res/Version.h"
#include "settings/Unit2.h"

namespace perchette {

namespace {

// The shell's notification record in its first, 8-bit-character form.
struct NotifyIconRecord {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[64];
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(NotifyIconRecord) == 88);
static_assert(offsetof(NotifyIconRecord, hWnd) == 4 && offsetof(NotifyIconRecord, uID) == 8 &&
              offsetof(NotifyIconRecord, uFlags) == 12 &&
              offsetof(NotifyIconRecord, uCallbackMessage) == 16 &&
              offsetof(NotifyIconRecord, hIcon) == 20 && offsetof(NotifyIconRecord, szTip) == 24);
#endif

constexpr char kTip[64] = "Perchette";

// Present from the icon's addition to its removal.
std::unique_ptr<NotifyIconRecord> TrayIconData;

void Notify(DWORD command) {
  Shell_NotifyIconA(command, reinterpret_cast<PNOTIFYICONDATAA>(TrayIconData.get()));
}

}  // namespace

void TMainForm::AddTrayIcon() {
  TrayIconData = std::make_unique<NotifyIconRecord>();
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = HandleNeeded();
  TrayIconData->uID = ids::kTrayIconId;
  TrayIconData->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData->uCallbackMessage = WM_TRAYICON;
  TrayIconData->hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  std::memcpy(TrayIconData->szTip, kTip, sizeof kTip);
  Notify(NIM_ADD);
}

void TMainForm::RemoveTrayIcon() {
  if (!TrayIconData) return;
  TrayIconData->cbSize = sizeof(NotifyIconRecord);
  TrayIconData->hWnd = Handle();
  TrayIconData->uID = ids::kTrayIconId;
  Notify(NIM_DELETE);
  TrayIconData.reset();
}

LRESULT TMainForm::WMTrayIcon(WPARAM, LPARAM lParam) {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (lParam == WM_RBUTTONDOWN) PopupMenu1.Popup(Handle(), cursor.x, cursor.y);
  return 0;
}

void TMainForm::ShowSettingsDialog() {
  LoadSettings();
  Form1->Show();
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
