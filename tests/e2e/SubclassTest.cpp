// In this driver's own process: the subclass chain, one control subclassed twice; the application
// window's class icons, which Wine shows no other process (the driver carries the program's icon).
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

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

// The taskbar button and Alt+Tab show the application window's class icons.
TEST(WindowClasses, ApplicationWindowCarriesTheProgramsIconInBothSizes) {
  perchette::Application().Initialize();
  EXPECT_NE(GetClassLongPtrW(perchette::Application().Handle(), GCLP_HICON), 0u);
  EXPECT_NE(GetClassLongPtrW(perchette::Application().Handle(), GCLP_HICONSM), 0u);
}

}  // namespace
