// Perchette at display resolutions above 96 dpi: the character drawn for the nearest resolution
// and cut to its shape, seated by offsets of the same scale, and the settings dialog scaled
// throughout.
#include <gtest/gtest.h>

#include <algorithm>
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
  const std::wstring name =
      dpi == 96 ? L"\\Perchette.bmp" : L"\\character-" + std::to_wstring(dpi) + L".bmp";
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

// The dialog laid out for a resolution: its client area, every control scaled from the design
// table (a label grown to its text where the face needs it), no text clipped, and the hour box's
// arrow buttons one scaled pixel in from the right and the bottom of its inner area. At 96 dpi
// the layout is the designed one, made for a face that may be missing here.
void ExpectDialogLaidOut(HWND dialog, int dpi) {
  const auto S = [dpi](int value) { return MulDiv(value, dpi, 96); };
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, S(kDialogWidth));
  EXPECT_EQ(client.bottom, S(kDialogHeight));
  for (int i = 0; i < 6; ++i) {
    const DesignedControl& design = kDialogControls[i];
    const HWND control = DialogControl(dialog, i);
    ASSERT_NE(control, nullptr) << "control " << i;
    RECT expected{S(design.left), S(design.top), S(design.left) + S(design.width),
                  S(design.top) + S(design.height)};
    const LONG textWidth =
        design.text != nullptr ? TextWidth(design.text, S(design.fontHeight)) : 0;
    if ((i == 2 || i == 3) && dpi != 96) {
      expected.right = std::max<LONG>(expected.right, expected.left + textWidth);
    }
    const RECT bounds = ClientBounds(control);
    EXPECT_TRUE(EqualRect(&bounds, &expected))
        << "control " << i << " at " << bounds << ", expected " << expected;
    if (dpi != 96) {
      EXPECT_LE(textWidth, bounds.right - bounds.left) << "control " << i << " clips";
    }
  }
  const HWND hourBox = DialogControl(dialog, 0);
  const HWND arrows = GetWindow(hourBox, GW_CHILD);
  ASSERT_NE(arrows, nullptr);
  RECT inner{};
  GetClientRect(hourBox, &inner);
  RECT arrowsRect = WindowRect(arrows);
  MapWindowPoints(nullptr, hourBox, reinterpret_cast<POINT*>(&arrowsRect), 2);
  const RECT expectedArrows{inner.right - S(1) - S(15), 0, inner.right - S(1), inner.bottom - S(1)};
  EXPECT_TRUE(EqualRect(&arrowsRect, &expectedArrows))
      << arrowsRect << ", expected " << expectedArrows;
}

// A display's resolution and the resolution of the drawing she wears there.
struct Resolution {
  int dpi, art;
};

class Scaled : public testing::TestWithParam<Resolution> {
 protected:
  // The system's own rounding of value * dpi / 96, for the display and for its drawing.
  int S(int value) const { return MulDiv(value, GetParam().dpi, 96); }
  int Art(int value) const { return MulDiv(value, GetParam().art, 96); }
};

}  // namespace

TEST_P(Scaled, CharacterAndDialogFollowTheResolution) {
  const int dpi = GetParam().dpi;
  const perchette::Picture picture = PictureFor(GetParam().art);
  ASSERT_EQ(picture.width, Art(80));
  ASSERT_EQ(picture.height, Art(150));

  ScopedLogPixels logPixels(static_cast<DWORD>(dpi));
  Perchette perchette;
  perchette.Start();
  const HWND main = perchette.WaitForMainWindow();
  ASSERT_NE(main, nullptr);

  // The window has the drawn picture's size and its non-white pixels as its shape.
  ASSERT_TRUE(WaitFor([&] { return Parked(main); }, 3000)) << WindowRect(main);
  const RECT parked = WindowRect(main);
  EXPECT_EQ(parked.right - parked.left, picture.width) << parked;
  EXPECT_EQ(parked.bottom - parked.top, picture.height) << parked;
  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(main, region), ERROR) << "the main window has no region";
  EXPECT_EQ(RegionMismatches(region, picture, kWhite), 0);
  DeleteObject(region);

  // She sits on a known window by offsets of the drawing's scale.
  DeskWindow desk;
  desk.Place(100, 200, 700, 600);
  ASSERT_TRUE(desk.BringToForeground());
  EXPECT_TRUE(WaitForPosition(main, 700 - Art(kPerchOffsetX), 200 - Art(kPerchOffsetY),
                              kTwoTicksMs + kReachMs))
      << WindowRect(main);
  // Drawn there pixel for pixel as the picture of record.
  int mismatches = -1;
  EXPECT_TRUE(WaitFor(
      [&] {
        return (mismatches = DrawnMismatches(picture, 700 - Art(kPerchOffsetX),
                                             200 - Art(kPerchOffsetY))) == 0;
      },
      3000))
      << mismatches << " of the picture's pixels are drawn otherwise";

  // The dialog: its place, its client area and every control scaled, no text clipped.
  PostMessageW(main, WM_COMMAND, perchette::ids::kMenuSettings, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return Shown(dialog = SettingsDialog(perchette)); }));
  const RECT window = WindowRect(dialog);
  EXPECT_EQ(window.left, S(kDialogLeft));
  EXPECT_EQ(window.top, S(kDialogTop));
  ExpectDialogLaidOut(dialog, dpi);
}

// Every drawing; 216 lies halfway between two of them, and the larger one is the one to show.
INSTANTIATE_TEST_SUITE_P(Dpi, Scaled,
                         testing::Values(Resolution{120, 120}, Resolution{144, 144},
                                         Resolution{168, 168}, Resolution{192, 192},
                                         Resolution{216, 240}, Resolution{240, 240},
                                         Resolution{288, 288}),
                         [](const testing::TestParamInfo<Resolution>& info) {
                           return std::to_string(info.param.dpi);
                         });

#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

namespace {

// The system's measure of a frame at a resolution (Windows 10, version 1607 on).
RECT FrameAround(int width, int height, HWND window, int dpi) {
  using Function = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  const auto adjust = reinterpret_cast<Function>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  RECT frame{0, 0, width, height};
  if (adjust == nullptr) {
    ADD_FAILURE() << "no AdjustWindowRectExForDpi";
  } else {
    adjust(&frame, GetWindowLongW(window, GWL_STYLE), FALSE, GetWindowLongW(window, GWL_EXSTYLE),
           dpi);
  }
  return frame;
}

// A message whose lParam points to a record, as the system sends it: the record is put into the
// program's own memory (a pointer into the test's would not be carried across) and read back.
template <class Record>
bool SendWithRecord(const Perchette& perchette, HWND window, UINT message, WPARAM wParam,
                    Record& record, LRESULT* answer = nullptr) {
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, perchette.ProcessId());
  if (process == nullptr) return false;
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof record, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  DWORD_PTR result = 0;
  const bool sent = remote != nullptr &&
                    WriteProcessMemory(process, remote, &record, sizeof record, nullptr) &&
                    SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(remote),
                                        SMTO_NORMAL, 5000, &result) != 0 &&
                    ReadProcessMemory(process, remote, &record, sizeof record, nullptr);
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (answer != nullptr) *answer = static_cast<LRESULT>(result);
  return sent;
}

bool SendDpiChanged(const Perchette& perchette, HWND window, int dpi, RECT suggested) {
  return SendWithRecord(perchette, window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested);
}

// The window has, now, the size of the picture drawn for the resolution and its shape.
void ExpectDrawnFor(HWND main, int dpi) {
  const perchette::Picture picture = PictureFor(dpi);
  ASSERT_EQ(picture.width, MulDiv(80, dpi, 96));
  const RECT rect = WindowRect(main);
  EXPECT_TRUE(rect.right - rect.left == picture.width && rect.bottom - rect.top == picture.height)
      << rect << " for " << dpi << " dpi";
  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(main, region), ERROR) << "the main window has no region";
  EXPECT_EQ(RegionMismatches(region, picture, kWhite), 0) << dpi << " dpi";
  DeleteObject(region);
}

}  // namespace

// Wine gives every display the system's resolution and never sends WM_DPICHANGED itself: the
// test sends it, and the displays' resolution stays the one the program started with.
TEST(ScaleChange, CharacterIsDrawnAnewAtOnceAndPerchesAtHerDisplaysScale) {
  const struct { int system, sent; } changes[] = {{96, 192}, {192, 96}};
  for (const auto& change : changes) {
    SCOPED_TRACE(testing::Message() << change.system << " dpi, told " << change.sent);
    ScopedLogPixels logPixels(static_cast<DWORD>(change.system));
    Perchette perchette;
    perchette.Start();
    const HWND main = perchette.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Parked(main); }, 3000)) << WindowRect(main);
    ExpectDrawnFor(main, change.system);

    // Drawn anew before the message returns, and still parked: parking ticks leave the new scale
    // alone. Two ticks' time is what is tested here.
    ASSERT_TRUE(SendDpiChanged(perchette, main, change.sent, WindowRect(main)));
    ExpectDrawnFor(main, change.sent);
    Pump(kTwoTicksMs);
    EXPECT_TRUE(Parked(main)) << WindowRect(main);
    ExpectDrawnFor(main, change.sent);

    // Perched on a window of a display at the system's resolution: that scale again, with its
    // seat on the caption.
    DeskWindow desk;
    desk.Place(100, 200, 700, 600);
    ASSERT_TRUE(desk.BringToForeground());
    const int offsetX = MulDiv(150, change.system, 96), offsetY = MulDiv(109, change.system, 96);
    EXPECT_TRUE(WaitForPosition(main, 700 - offsetX, 200 - offsetY, kTwoTicksMs + kReachMs))
        << WindowRect(main);
    ExpectDrawnFor(main, change.system);

    // Her display's scale changes while she perches there: her seat follows at the next perch.
    ASSERT_TRUE(SendDpiChanged(perchette, main, change.sent, WindowRect(main)));
    ExpectDrawnFor(main, change.sent);
    EXPECT_TRUE(WaitForPosition(main, 700 - MulDiv(150, change.sent, 96),
                                200 - MulDiv(109, change.sent, 96), kTwoTicksMs + kReachMs))
        << WindowRect(main);

    // The displays or their settings change: the next perch asks her display again.
    SendMessageTimeoutW(main, change.system == 96 ? WM_DISPLAYCHANGE : WM_SETTINGCHANGE, 0, 0,
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    EXPECT_TRUE(WaitForPosition(main, 700 - offsetX, 200 - offsetY, kTwoTicksMs + kReachMs))
        << WindowRect(main);
    perchette.Close();
  }
}

TEST(ScaleChange, DialogIsLaidOutAgainIntoTheSuggestedRectangle) {
  Perchette perchette;
  const HWND dialog = OpenSettingsDialog(perchette);
  ASSERT_NE(dialog, nullptr);
  for (const int dpi : {192, 144, 96}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    const auto S = [dpi](int value) { return MulDiv(value, dpi, 96); };
    // Asked first, the dialog gives the size it will take: its client area at that resolution
    // inside the frame the system measures for it.
    const RECT frame = FrameAround(S(427), S(48), dialog, dpi);
    SIZE size{};
    LRESULT answer = FALSE;
    ASSERT_TRUE(SendWithRecord(perchette, dialog, WM_GETDPISCALEDSIZE, dpi, size, &answer));
    EXPECT_TRUE(answer);
    EXPECT_EQ(size.cx, frame.right - frame.left);
    EXPECT_EQ(size.cy, frame.bottom - frame.top);

    const RECT suggested{250 + dpi, 150 + dpi / 2, 250 + dpi + size.cx, 150 + dpi / 2 + size.cy};
    ASSERT_TRUE(SendDpiChanged(perchette, dialog, dpi, suggested));
    const RECT window = WindowRect(dialog);
    EXPECT_EQ(window.left, suggested.left);
    EXPECT_EQ(window.top, suggested.top);
    ExpectDialogLaidOut(dialog, dpi);
    // The minute box writes "59" in its new font: the "9" starts one "5" further on.
    const HWND minuteBox = DialogControl(dialog, 1);
    ASSERT_EQ(ControlText(minuteBox), L"59");
    const auto x = [&](int index) {
      return static_cast<short>(LOWORD(SendMessageW(minuteBox, EM_POSFROMCHAR, index, 0)));
    };
    EXPECT_EQ(x(1) - x(0), TextWidth(L"5", S(-19)));
  }
}
