// TForm1: the settings dialog.
#pragma once

#include <windows.h>

#include "app/Window.h"

namespace perchette {

class TForm1 : public Window {
 public:
  // Creates the dialog, hidden.
  void Create();
  // Makes the dialog visible and brings it to the front; FormShow runs only when it was hidden.
  void Show();
  // Hides the dialog; it is neither destroyed nor reset.
  void Close();

  void FormShow();
  void Button1Click();
  void Button2Click();
  void SaveSettings();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TForm1* Form1;

}  // namespace perchette
