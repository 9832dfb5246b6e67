#include "base/Subclass.h"

#include <commctrl.h>

#include "base/AppError.h"
#include "base/Application.h"
#include "base/Handles.h"
#include "base/SystemLibrary.h"

namespace perchette {
namespace {

// The chain's functions, looked up once, when the first control is subclassed: the library is
// not named in the import table, so start-up, which subclasses nothing, does not load it.
class SubclassFunctions {
 public:
  static const SubclassFunctions& Get() {
    static const SubclassFunctions functions;
    return functions;
  }

  decltype(&SetWindowSubclass) set = nullptr;
  decltype(&RemoveWindowSubclass) remove = nullptr;
  decltype(&DefSubclassProc) next = nullptr;

 private:
  SubclassFunctions() : comctl32_(LoadSystemLibrary(L"comctl32.dll")) {
    if (!comctl32_) return;
    set = Export<decltype(set)>(comctl32_.get(), "SetWindowSubclass");
    remove = Export<decltype(remove)>(comctl32_.get(), "RemoveWindowSubclass");
    next = Export<decltype(next)>(comctl32_.get(), "DefSubclassProc");
    // All three or none: a chain that cannot be left or passed on is not made.
    if (set == nullptr || remove == nullptr || next == nullptr) set = nullptr;
  }

  UniqueLibrary comctl32_;
};

// One procedure for every subclass: the owner is the subclass's id, the program's procedure its
// data.
LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR owner,
                           DWORD_PTR procedure) noexcept {
  const SubclassFunctions& functions = SubclassFunctions::Get();
  if (message == WM_NCDESTROY) {
    // The last message: the subclass leaves the chain before the control goes.
    functions.remove(control, &Procedure, owner);
    return functions.next(control, message, wParam, lParam);
  }
  try {
    return reinterpret_cast<SubclassProcedure>(procedure)(reinterpret_cast<void*>(owner), control,
                                                          message, wParam, lParam);
  } catch (...) {
    Application().ReportCurrentException();
    return 0;
  }
}

}  // namespace

void SubclassControl(HWND control, SubclassProcedure procedure, void* owner) {
  // A control left to its own procedure would take what its owner refuses (a spin box letters
  // and values beyond its bounds): better no control than one that quietly breaks its rules.
  const SubclassFunctions& functions = SubclassFunctions::Get();
  if (functions.set == nullptr ||
      !functions.set(control, &Procedure, reinterpret_cast<UINT_PTR>(owner),
                     reinterpret_cast<DWORD_PTR>(procedure))) {
    throw AppError("コントロールをサブクラス化できません");
  }
}

void RemoveSubclass(HWND control, void* owner) {
  const SubclassFunctions& functions = SubclassFunctions::Get();
  if (functions.set != nullptr) {
    functions.remove(control, &Procedure, reinterpret_cast<UINT_PTR>(owner));
  }
}

// Runs only inside a subclass procedure, so the functions are there.
LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return SubclassFunctions::Get().next(control, message, wParam, lParam);
}

}  // namespace perchette
