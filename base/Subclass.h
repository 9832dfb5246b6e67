// Subclassing of a system control: its messages go to a handler of the program first.
#pragma once

#include <windows.h>

namespace perchette {

// An exception that leaves it ends the message's handling and reaches the general error report.
using SubclassProcedure = LRESULT (*)(void* owner, HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam);

// Every later message of the control goes to procedure(owner, ...) until the control is destroyed;
// the procedure passes on what it does not handle with CallOriginalProcedure.
void SubclassControl(HWND control, SubclassProcedure procedure, void* owner);

// The control's own procedure, as it was before it was subclassed.
LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace perchette
