// Perchette at display resolutions above 96 dpi: the character drawn for the resolution and cut
// to its shape, seated by offsets of the same scale, and the settings dialog scaled throughout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/Ids.h"
#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"
#include "tests/support/Bitmap.h"

using namespace e2e;

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

// Sets the resolution that each Wine process reads when it starts; puts the old one back.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS;
    Set(dpi);
  }
  ScopedLogPixels(const ScopedLogPixels&) = delete;
  ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
  ~ScopedLogPixels() {
    if (had_) {
      Set(old_);
    } else {
      RegDeleteValueW(key_, L"LogPixels");
    }
    RegCloseKey(key_);
  }

 private:
  void Set(DWORD dpi) {
    RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }

  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

perchette::Picture PictureFor(int dpi) {
  const std::wstring name = L"\\character-" + std::to_wstring(dpi) + L".bmp";
  std::ifstream file(std::filesystem::path(BuildFolder() + name), std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  return perchette::ReadBmp24(bytes);
}

// How many of the picture's non-white pixels the screen shows otherwise with the picture's
// top-left corner at (left, top); rows above the screen are left out.
int DrawnMismatches(const perchette::Picture& picture, int left, int top) {
  const int firstRow = top < 0 ? -top : 0;
  const HDC screen = GetDC(nullptr);
  const HDC copy = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  const HGDIOBJ old = SelectObject(copy, bitmap);
  BitBlt(copy, 0, firstRow, picture.width, picture.height - firstRow, screen, left, top + firstRow,
         SRCCOPY);
  int mismatches = 0;
  for (int y = firstRow; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t colour = picture.At(x, y);
      if (colour != kWhite && GetPixel(copy, x, y) != colour) ++mismatches;
    }
  }
  SelectObject(copy, old);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  return mismatches;
}

RECT ClientBounds(HWND control) {
  RECT rect = WindowRect(control);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The width of the text in the dialog's face at the character height.
LONG TextWidth(const wchar_t* text, int fontHeight) {
  const HDC screen = GetDC(nullptr);
  const HFONT font = CreateFontW(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック");
  const HGDIOBJ old = SelectObject(screen, font);
  SIZE extent{};
  GetTextExtentPoint32W(screen, text, static_cast<int>(wcslen(text)), &extent);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return extent.cx;
}

// The dialog's controls as laid out at 96 dpi: bounds, font height and text (none for a box).
struct Control {
  int left, top, width, height, fontHeight;
  const wchar_t* text;
};
constexpr Control kControls[] = {
    {7, 6, 50, 29, -19, nullptr},        {87, 6, 50, 29, -19, nullptr},
    {59, 15, 16, 16, -16, L"時"},        {139, 15, 138, 16, -16, L"分\u3000に回線自動切断"},
    {288, 16, 65, 25, -12, L"設定保存"}, {352, 16, 67, 25, -12, L"ｷｬﾝｾﾙ"},
};

class Scaled : public testing::TestWithParam<int> {
 protected:
  // The system's own rounding of value * dpi / 96.
  int S(int value) const { return MulDiv(value, GetParam(), 96); }
};

}  // namespace

TEST_P(Scaled, CharacterAndDialogFollowTheResolution) {
  const int dpi = GetParam();
  const perchette::Picture picture = PictureFor(dpi);
  ASSERT_EQ(picture.width, S(80));
  ASSERT_EQ(picture.height, S(150));

  ScopedLogPixels logPixels(static_cast<DWORD>(dpi));
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  // The window has the drawn picture's size and its non-white pixels as its shape.
  ASSERT_TRUE(WaitFor([&] { return Parked(main); }, 3000)) << WindowRect(main);
  const RECT parked = WindowRect(main);
  EXPECT_EQ(parked.right - parked.left, S(80)) << parked;
  EXPECT_EQ(parked.bottom - parked.top, S(150)) << parked;
  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(main, region), ERROR) << "the main window has no region";
  EXPECT_EQ(RegionMismatches(region, picture, kWhite), 0);
  DeleteObject(region);

  // She sits on a known window by offsets of the picture's scale.
  DeskWindow desk;
  desk.Place(100, 200, 700, 600);
  ASSERT_TRUE(desk.BringToForeground());
  EXPECT_TRUE(WaitForPosition(main, 700 - S(150), 200 - S(109), kTwoTicksMs + kReachMs))
      << WindowRect(main);
  // Drawn there pixel for pixel as the picture of record.
  int mismatches = -1;
  EXPECT_TRUE(WaitFor(
      [&] { return (mismatches = DrawnMismatches(picture, 700 - S(150), 200 - S(109))) == 0; },
      3000))
      << mismatches << " of the picture's pixels are drawn otherwise";

  // The dialog: its place, its client area and every control scaled, no text clipped.
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuSettings, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog = SettingsDialog(perchette)); }));
  const RECT window = WindowRect(dialog);
  EXPECT_EQ(window.left, S(292));
  EXPECT_EQ(window.top, S(172));
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, S(427));
  EXPECT_EQ(client.bottom, S(48));
  for (int i = 0; i < 6; ++i) {
    const Control& design = kControls[i];
    const HWND control = DialogControl(dialog, i);
    ASSERT_NE(control, nullptr) << "control " << i;
    const RECT expected{S(design.left), S(design.top), S(design.left) + S(design.width),
                        S(design.top) + S(design.height)};
    RECT bounds = ClientBounds(control);
    // A label may run wider than its scaled width to hold its text, never narrower.
    const bool label = i == 2 || i == 3;
    if (label && bounds.right > expected.right) bounds.right = expected.right;
    EXPECT_TRUE(EqualRect(&bounds, &expected))
        << "control " << i << " at " << bounds << ", expected " << expected;
    bounds = ClientBounds(control);
    if (design.text != nullptr) {
      EXPECT_LE(TextWidth(design.text, S(design.fontHeight)), bounds.right - bounds.left)
          << "control " << i << " clips its text";
    }
  }
  // The arrow buttons inside the hour box's right end, as wide as the scale makes them.
  const HWND arrows = GetWindow(DialogControl(dialog, 0), GW_CHILD);
  ASSERT_NE(arrows, nullptr);
  const RECT arrowsRect = WindowRect(arrows);
  EXPECT_EQ(arrowsRect.right - arrowsRect.left, S(15)) << arrowsRect;
}

INSTANTIATE_TEST_SUITE_P(Dpi, Scaled, testing::Values(120, 144, 192),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });
