// Subclassing of a system control through the system's own chain (common controls 6): its
// messages go to a handler of the program first. A control can be subclassed several times; each
// subclass passes on to the one before it, the last to the control's own procedure.
#pragma once

#include <windows.h>

namespace perchette {

// An exception that leaves it ends the message's handling and reaches the general error report.
using SubclassProcedure = LRESULT (*)(void* owner, HWND control, UINT message, WPARAM wParam,
                                      LPARAM lParam);

// Every later message of the control goes to procedure(owner, ...) until the subclass is removed
// or the control is destroyed; the procedure passes on what it does not handle with
// CallOriginalProcedure. One subclass per owner and control: subclassing again with the same
// owner replaces its procedure. Throws AppError when the system's subclassing cannot be had (the
// common controls library is loaded the first time) or refuses.
void SubclassControl(HWND control, SubclassProcedure procedure, void* owner);

// Takes the owner's subclass out of the control's chain, wherever it is in it; the others stay.
void RemoveSubclass(HWND control, void* owner);

// The procedure that comes after the running subclass in the control's chain: the subclass made
// before it, or the control's own.
LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace perchette
