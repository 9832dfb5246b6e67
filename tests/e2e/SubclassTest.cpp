// What the program's base does in this driver's own process: the subclass chain, one control
// subclassed twice; the application window's class and its icons (a class icon read from another
// process is always 0 under Wine). The driver carries the program's icon resource.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <utility>

#include "base/Application.h"
#include "base/Subclass.h"

namespace {

// Each subclass adds its own amount to what the rest of the chain answers for the text's length.
LRESULT AddToTextLength(void* amount, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT rest = perchette::CallOriginalProcedure(control, message, wParam, lParam);
  return message == WM_GETTEXTLENGTH ? rest + *static_cast<const LRESULT*>(amount) : rest;
}

TEST(Subclass, TwoOnOneControlKeepWorkingWhicheverLeavesFirst) {
  for (const bool firstLeavesFirst : {true, false}) {
    SCOPED_TRACE(firstLeavesFirst ? "the first leaves first" : "the second leaves first");
    const std::unique_ptr<HWND__, decltype(&DestroyWindow)> edit(
        CreateWindowExW(0, L"EDIT", L"hello", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr,
                        nullptr),
        &DestroyWindow);
    ASSERT_NE(edit, nullptr);
    const auto length = [&] { return SendMessageW(edit.get(), WM_GETTEXTLENGTH, 0, 0); };
    LRESULT first = 10, second = 100;
    perchette::SubclassControl(edit.get(), &AddToTextLength, &first);
    perchette::SubclassControl(edit.get(), &AddToTextLength, &second);
    EXPECT_EQ(length(), 115);
    perchette::RemoveSubclass(edit.get(), firstLeavesFirst ? &first : &second);
    EXPECT_EQ(length(), firstLeavesFirst ? 105 : 15);
    perchette::RemoveSubclass(edit.get(), firstLeavesFirst ? &second : &first);
    SetWindowTextW(edit.get(), L"hi");
    EXPECT_EQ(length(), 2);
  }
}

// The taskbar button and Alt+Tab show the application window's class icon, in both sizes.
TEST(WindowClasses, ApplicationWindowCarriesTheProgramsIconInBothSizes) {
  perchette::Application().Initialize();
  for (const auto& [index, metric] :
       {std::pair{GCLP_HICON, SM_CXICON}, std::pair{GCLP_HICONSM, SM_CXSMICON}}) {
    const auto icon =
        reinterpret_cast<HICON>(GetClassLongPtrW(perchette::Application().Handle(), index));
    ICONINFO info{};
    ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << "no icon of index " << index;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(metric));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

}  // namespace
