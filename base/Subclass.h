// Subclassing of a system control, through the system's chain: its messages go to a handler of
// the program first. A control may be subclassed more than once; each passes on to the one before.
#pragma once

#include <windows.h>

namespace perchette {

// An exception that leaves it ends the message's handling and reaches the general error report.
using SubclassProcedure = LRESULT (*)(void* owner, HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam);

// Every later message of the control goes to procedure(owner, ...) until the owner's subclass is
// removed or the control is destroyed; the procedure passes on what it does not handle with
// CallOriginalProcedure. Throws AppError where the system's subclassing cannot be had.
void SubclassControl(HWND control, SubclassProcedure procedure, void* owner);

// Takes the owner's subclass out of the control's chain, wherever it is in it.
void RemoveSubclass(HWND control, void* owner);

// The next procedure in the chain: the subclass made before, or the control's own.
LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace perchette
