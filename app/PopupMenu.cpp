#include "app/PopupMenu.h"

namespace perchette {

void TPopupMenu::Build() {
  menu_.reset(CreatePopupMenu());
  AppendMenuW(menu_.get(), MF_STRING, S1, L"設定(&S)");
  AppendMenuW(menu_.get(), MF_STRING, AboutA1, L"このソフト(&A)");
  AppendMenuW(menu_.get(), MF_SEPARATOR, N3, nullptr);
  AppendMenuW(menu_.get(), MF_STRING, Exit1, L"終了(&X)");
}

void TPopupMenu::Popup(HWND owner, int x, int y) const {
  // A menu of a program that is not in the foreground would stay open when the user clicks
  // elsewhere: the owner comes to the foreground first, and gets a message once the menu closes.
  SetForegroundWindow(owner);
  TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace perchette
