#include "base/Subclass.h"

#include <memory>

#include "base/Application.h"

namespace perchette {
namespace {

// The window property that holds a subclassed control's link.
constexpr wchar_t kLinkProperty[] = L"Perchette.Subclass";

struct SubclassLink {
  WNDPROC original;
  SubclassProcedure procedure;
  void* owner;
};

SubclassLink* LinkOf(HWND control) {
  return static_cast<SubclassLink*>(GetPropW(control, kLinkProperty));
}

LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  SubclassLink* link = LinkOf(control);
  if (link == nullptr) return DefWindowProcW(control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message: the link goes, and the control gets its own procedure back, unless
    // another subclass came after this one; putting the original back would then cut it out.
    const std::unique_ptr<SubclassLink> gone(link);
    RemovePropW(control, kLinkProperty);
    if (GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Procedure)) {
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gone->original));
    }
    return CallWindowProcW(gone->original, control, message, wParam, lParam);
  }
  try {
    return link->procedure(link->owner, control, message, wParam, lParam);
  } catch (...) {
    Application().ReportCurrentException();
    return 0;
  }
}

}  // namespace

void SubclassControl(HWND control, SubclassProcedure procedure, void* owner) {
  auto link = std::make_unique<SubclassLink>(SubclassLink{nullptr, procedure, owner});
  if (!SetPropW(control, kLinkProperty, link.get())) return;
  link->original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
  link.release();  // the control's now, until its WM_NCDESTROY
}

LRESULT CallOriginalProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const SubclassLink* link = LinkOf(control);
  return link != nullptr ? CallWindowProcW(link->original, control, message, wParam, lParam)
                         : DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace perchette
