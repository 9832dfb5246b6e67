// PopupMenu1: the tray menu with settings, About and Exit.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "res/Ids.h"

namespace perchette {

class TPopupMenu {
 public:
  enum Command : UINT {
    S1 = ids::kMenuSettings,
    AboutA1 = ids::kMenuAbout,
    N3 = ids::kMenuSeparator,
    Exit1 = ids::kMenuExit
  };

  void Build();
  // Opens the menu with its top-left corner at the point; items answer to either button. The
  // chosen item comes to the owner as WM_COMMAND with the item's command.
  void Popup(HWND owner, int x, int y) const;

 private:
  UniqueMenu menu_;
};

}  // namespace perchette
