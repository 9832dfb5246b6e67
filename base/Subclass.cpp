#include "base/Subclass.h"

#include <commctrl.h>

#include "base/AppError.h"
#include "base/Handles.h"
#include "base/SystemLibrary.h"
#include "base/Window.h"

namespace perchette {
namespace {

// The chain's functions, looked up when the first control is subclassed: the import table does
// not name the library, so start-up, which subclasses nothing, does not load it.
struct SubclassFunctions {
  UniqueLibrary comctl32{LoadSystemLibrary(L"comctl32.dll")};
  decltype(&SetWindowSubclass) set = Export<decltype(set)>(comctl32.get(), "SetWindowSubclass");
  decltype(&RemoveWindowSubclass) remove =
      Export<decltype(remove)>(comctl32.get(), "RemoveWindowSubclass");
  decltype(&DefSubclassProc) next = Export<decltype(next)>(comctl32.get(), "DefSubclassProc");
};

const SubclassFunctions& Functions() {
  static const SubclassFunctions functions;
  return functions;
}

// One procedure for every subclass: the owner is the subclass's id, the program's procedure its
// data.
LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR owner,
                           DWORD_PTR procedure) noexcept {
  if (message == WM_NCDESTROY) {
    // The last message: the subclass leaves the chain before the control goes.
    Functions().remove(control, &Procedure, owner);
    return Functions().next(control, message, wParam, lParam);
  }
  try {
    return reinterpret_cast<SubclassProcedure>(procedure)(reinterpret_cast<void*>(owner), control,
                                                          message, wParam, lParam);
  } catch (...) {
    Window::ReportError();
    return 0;
  }
}

}  // namespace

void SubclassControl(HWND control, SubclassProcedure procedure, void* owner) {
  // A control left to its own procedure would take what its owner refuses (a spin box letters
  // and values beyond its bounds): better no control than one that quietly breaks its rules.
  const SubclassFunctions& functions = Functions();
  if (functions.set == nullptr || functions.remove == nullptr || functions.next == nullptr ||
      !functions.set(control, &Procedure, reinterpret_cast<UINT_PTR>(owner),
                     reinterpret_cast<DWORD_PTR>(procedure))) {
    throw AppError("コントロールをサブクラス化できません");
  }
}

// The two below run only for a control that was subclassed, so the functions are there.
void RemoveSubclass(HWND control, void* owner) {
  Functions().remove(control, &Procedure, reinterpret_cast<UINT_PTR>(owner));
}

LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return Functions().next(control, message, wParam, lParam);
}

}  // namespace perchette
