// The window base, in the driver's own process: an error of a handler reaches the report that was
// installed, and goes no further.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "base/Window.h"

namespace {

std::string reported;

class FailingWindow : public perchette::Window {
 public:
  void Create() {
    CreateSystemWindow({.name = L"FailingWindowTest"}, 0, L"", WS_POPUP, RECT{}, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) throw std::runtime_error("handler failed");
    return Window::HandleMessage(message, wParam, lParam);
  }
};

}  // namespace

TEST(Window, AnErrorOfAHandlerReachesTheInstalledReportAndNoFurther) {
  reported.clear();
  perchette::Window::SetErrorReport([]() noexcept {
    try {
      throw;
    } catch (const std::exception& error) {
      reported += std::string(error.what()) + ";";
    }
  });
  FailingWindow window;
  window.Create();
  ASSERT_TRUE(window.HandleAllocated());
  EXPECT_EQ(SendMessageW(window.Handle(), WM_APP, 0, 0), 0);
  EXPECT_EQ(SendMessageW(window.Handle(), WM_APP, 0, 0), 0) << "the window stopped answering";
  EXPECT_EQ(reported, "handler failed;handler failed;");
  perchette::Window::SetErrorReport(nullptr);
}
