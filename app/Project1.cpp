// Program entry: the application object, the main window, the settings dialog, the message loop.
#include <windows.h>

#include <cstdlib>

#include "base/Application.h"
#include "app/Unit1.h"
#include "settings/Unit2.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace perchette;
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle(L"Perchette");

  static TMainForm mainForm;
  MainForm = &mainForm;
  try {
    mainForm.Create();
  } catch (...) {
    // The main window could not be made (the system refused the timer): the program ends.
    application.ReportCurrentException();
    return 1;
  }

  static TForm1 form1;
  Form1 = &form1;
  form1.Create();

  application.Run();
  return 0;
}

// Nothing escapes the handlers, so a terminate can only be a fault: end plainly. The library's
// own handler names the exception and would bring its whole name demangler into the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
