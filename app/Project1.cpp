// Program entry: the application object, the main window, the settings dialog, the message loop.
#include <windows.h>

#include <cstdlib>

#include "app/Unit1.h"
#include "base/Application.h"
#include "settings/Unit2.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace perchette;
  TApplication& application = Application();
  // Destroyed in the reverse order: the dialog, then the main window, each before the objects its
  // procedures use.
  TMainForm mainForm;
  TForm1 form1;
  try {
    application.Initialize();
    application.SetTitle(L"Perchette");
    MainForm = &mainForm;
    mainForm.Create();
    // The dialog's system window comes when it is first shown.
    Form1 = &form1;
  } catch (...) {
    // The program cannot run without its windows or its timer: it says why and ends.
    application.ReportCurrentException();
    return 1;
  }

  application.Run();
  return 0;
}

// Nothing escapes the handlers, so a terminate can only be a fault: end plainly. The library's
// own handler names the exception and would bring its whole name demangler into the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
