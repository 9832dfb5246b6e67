// The floor for the footprint benchmark: the least that any program doing Perchette's job must
// do while idle. A topmost popup window of the character's size, cut to the character's shape
// and parked beyond the bottom-right corner of the screen at start; a tray icon; a 200 ms timer
// that makes exactly the window-manager calls of one perching tick. Nothing else: no settings,
// no dialog, no menu, no application window.
//
// Built as bench_baseline_scaled, at 144 and 288 dots per inch it shows the character drawn for
// that resolution, loaded the cheapest way there is (an uncompressed bitmap resource), and perches
// by offsets of that scale; otherwise, and at any other resolution, the picture drawn for 96.
//
// A number on the command line moves its perch that many pixels further left, so that it can
// perch beside the program on the same window while both are measured at once.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

#include "app/Perch.h"
#include "base/Handles.h"
#include "res/Resource.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 200;
constexpr UINT kTrayId = 1;
constexpr UINT kTrayMessage = WM_APP + 1;
// White, the see-through colour, as GetDIBits gives a pixel (0x00RRGGBB).
constexpr DWORD kSeeThroughPixel = 0xFFFFFF;

// The bitmaps drawn for 144 and 288 dots per inch are numbered by their resolution.
constexpr int kScaledPictures[] = {144, 288};

perchette::UniqueBitmap picture;
int width = 0, height = 0;
int perchOffsetX = perchette::kPerchOffsetX, perchOffsetY = perchette::kPerchOffsetY;
int shift = 0;

void Park(HWND window) {
  SetWindowPos(window, HWND_TOP, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               width, height, SWP_NOACTIVATE);
}

void CALLBACK Tick(HWND window, UINT, UINT_PTR, DWORD) {
  // The calls of a perching tick: parked while the window itself is in the foreground, else the
  // four perching calls, the second foreground answer used as it comes.
  if (GetForegroundWindow() == window) {
    Park(window);
    return;
  }
  RECT foreground{};
  if (!GetWindowRect(GetForegroundWindow(), &foreground)) return;
  SetWindowPos(window, HWND_TOP, foreground.right - perchOffsetX - shift,
               foreground.top - perchOffsetY, width, height, SWP_NOACTIVATE);
}

// Memory from the process heap for one scope. The standard containers would bring the C++
// library's error machinery into a program that has no other use for it, and make the floor
// higher than it is.
template <class T>
class HeapArray {
 public:
  explicit HeapArray(size_t count)
      : items_(static_cast<T*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(T)))) {}
  HeapArray(const HeapArray&) = delete;
  HeapArray& operator=(const HeapArray&) = delete;
  ~HeapArray() {
    if (items_) HeapFree(GetProcessHeap(), 0, items_);
  }
  T* get() const { return items_; }

 private:
  T* items_;
};

// The picture's shape: one rectangle for every run of pixels that are not see-through, made into
// a region in one call.
perchette::UniqueRegion PictureRegion(HBITMAP bitmap) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  // A region header followed by at most one run for every other pixel of a row.
  const size_t mostRuns = static_cast<size_t>(width + 1) / 2 * static_cast<size_t>(height);
  const HeapArray<DWORD> pixels(count);
  const HeapArray<BYTE> data(sizeof(RGNDATAHEADER) + mostRuns * sizeof(RECT));
  if (!pixels.get() || !data.get()) return {};
  const perchette::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.get(), &info,
                DIB_RGB_COLORS) != height) {
    return {};
  }

  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.get());
  auto* runs = reinterpret_cast<RECT*>(data.get() + sizeof(RGNDATAHEADER));
  DWORD runCount = 0;
  for (int y = 0; y < height; ++y) {
    const DWORD* row = pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(width);
    const auto seeThrough = [row](int x) { return (row[x] & 0xFFFFFF) == kSeeThroughPixel; };
    for (int x = 0; x < width;) {
      if (seeThrough(x)) {
        ++x;
        continue;
      }
      const int first = x;
      while (x < width && !seeThrough(x)) ++x;
      runs[runCount++] = RECT{first, y, x, y + 1};
    }
  }
  *header =
      RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, runCount, 0, {0, 0, width, height}};
  return perchette::UniqueRegion(
      ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + runCount * sizeof(RECT)),
                      reinterpret_cast<const RGNDATA*>(data.get())));
}

NOTIFYICONDATAW TrayIcon(HWND window) {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = kTrayId;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  lstrcpynW(icon.szTip, L"Baseline", ARRAYSIZE(icon.szTip));
  return icon;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      {
        const perchette::UniqueMemoryDc source(CreateCompatibleDC(dc));
        const perchette::ScopedSelect select(source.get(), picture.get());
        BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY: {
      NOTIFYICONDATAW icon = TrayIcon(window);
      Shell_NotifyIconW(NIM_DELETE, &icon);
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  shift = _wtoi(commandLine);
  SetProcessDPIAware();
  int dpi = 0;
  {
    const perchette::ScopedWindowDc screen(nullptr);
    dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
  }
  int id = IDB_CHARACTER;
  for (const int scaled : kScaledPictures) {
    if (scaled != dpi || FindResourceW(instance, MAKEINTRESOURCEW(scaled), RT_BITMAP) == nullptr) {
      continue;
    }
    id = scaled;
    perchOffsetX = MulDiv(perchOffsetX, dpi, 96);
    perchOffsetY = MulDiv(perchOffsetY, dpi, 96);
  }
  picture.reset(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info{};
  if (!picture || GetObjectW(picture.get(), sizeof info, &info) == 0) return 1;
  width = info.bmWidth;
  height = info.bmHeight;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BaselineProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"PerchetteBaseline";
  if (!RegisterClassW(&windowClass)) return 1;

  const HWND window =
      CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Baseline", WS_POPUP,
                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height,
                      nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  perchette::UniqueRegion region = PictureRegion(picture.get());
  if (!region || !SetWindowRgn(window, region.get(), FALSE)) return 1;
  region.release();  // the window owns the region from here on
  NOTIFYICONDATAW icon = TrayIcon(window);
  Shell_NotifyIconW(NIM_ADD, &icon);
  ShowWindow(window, SW_SHOW);
  if (!SetTimer(window, kTimerId, kTickMs, Tick)) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
