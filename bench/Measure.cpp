// Measures what a program costs while it runs: starts it with CreateProcess from a temporary
// folder of its own and prints one line of key=value pairs per measurement.
//
//   bench_measure startup RUNS PROGRAM...  time from CreateProcess to the program's ready window,
//                                          the programs taken in turn, RUNS times each, the
//                                          order reversed from one run to the next
//   bench_measure idle SECONDS PROGRAM...  CPU time and private memory while the program perches
//                                          on a still window, then on one that moves every 100 ms;
//                                          before that, the modules the program has loaded and
//                                          (under Wine) where its private memory lies
//   bench_measure together SECONDS PROGRAM...  the same with all the programs running at once,
//                                          so that whatever else the machine does weighs on each
//                                          of them alike; every program after the first is given
//                                          a number of pixels on its command line and should
//                                          perch that much further left (the baseline does)
//
// PROGRAM is an executable beside this one (or a full path), optionally followed by "@CLASS": the
// program is then ready when its visible window of that class has a region and stands at the
// parked position (the screen's width and height). Without a class the program is ready at its
// first visible window. Exit code 0 when every measurement was taken, 2 when one could not be.
//
// The programs run at the display resolution that this driver was started with (under Wine, the
// LogPixels value of the prefix); each line of the start-up measurement names it.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Perch.h"
#include "base/Dpi.h"
#include "base/Handles.h"
#include "base/WideText.h"
#include "tests/support/Win32Helpers.h"

namespace {

using perchette::Narrow;
using perchette::UniqueKernelHandle;
using perchette::UniqueRegion;
using support::BuildFolder;
using support::ClassName;

constexpr DWORD kReadyTimeoutMs = 20000;
constexpr DWORD kPerchTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kMoveEveryMs = 100;
constexpr RECT kForegroundHome{300, 300, 900, 700};
// How much further left each program after the first perches when they run together: their
// windows never overlap on the foreground window.
constexpr int kTogetherShift = 300;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return static_cast<double>(value.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

// Dispatches this program's own messages (its foreground window) for the given time.
void Pump(double seconds) {
  const double end = Now() + seconds;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    const double left = end - Now();
    if (left <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT);
  }
}

// An executable and the class of the window that shows it is ready.
struct Program {
  std::wstring path;
  std::wstring name;
  std::optional<std::wstring> readyClass;
  int shift = 0;  // pixels further left than the perch, given on its command line when not 0
};

Program ParseProgram(const std::wstring& argument) {
  Program program;
  const size_t at = argument.find(L'@');
  program.path = argument.substr(0, at);
  if (at != std::wstring::npos) program.readyClass = argument.substr(at + 1);
  const bool absolute =
      program.path.find(L':') != std::wstring::npos || program.path.starts_with(L"\\");
  if (!absolute) program.path = BuildFolder() + L"\\" + program.path;
  program.name = program.path.substr(program.path.find_last_of(L'\\') + 1);
  return program;
}

struct Usage {
  double cpuSeconds;  // user + kernel, from GetProcessTimes
  SIZE_T privateBytes;
  const char* privateSource;
  double unixCpuSeconds;  // the kernel's own count in nanoseconds, where it can be read; else -1
};

std::string ReadWholeFile(const std::wstring& path) {
  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return {};
  }
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

template <class Visit>
void ForEachEntry(const std::wstring& folder, Visit&& visit) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.cFileName[0] != L'.') visit(std::wstring(entry.cFileName));
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

// Under Wine the Unix process list shows through drive Z:. The process whose command line names
// the given folder is the one measured; nullopt elsewhere.
std::optional<std::wstring> UnixProcessFolder(const std::wstring& folderName) {
  const std::string wanted = Narrow(folderName);
  std::optional<std::wstring> found;
  ForEachEntry(L"Z:\\proc", [&](const std::wstring& name) {
    if (found || name.find_first_not_of(L"0123456789") != std::wstring::npos) return;
    const std::wstring folder = L"Z:\\proc\\" + name;
    if (ReadWholeFile(folder + L"\\cmdline").find(wanted) != std::string::npos) found = folder;
  });
  return found;
}

// Time on a processor of every thread of a Unix process, from the scheduler's statistics.
double ScheduledSeconds(const std::wstring& processFolder) {
  double total = 0;
  bool any = false;
  ForEachEntry(processFolder + L"\\task", [&](const std::wstring& task) {
    const std::string stat = ReadWholeFile(processFolder + L"\\task\\" + task + L"\\schedstat");
    if (stat.empty()) return;
    total += std::strtod(stat.c_str(), nullptr) / 1e9;
    any = true;
  });
  return any ? total : -1;
}

// The base names of the modules loaded in a process, sorted without regard to case.
std::vector<std::wstring> ModuleNames(HANDLE process) {
  std::vector<HMODULE> modules(256);
  DWORD needed = 0;
  for (;;) {
    const auto bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!EnumProcessModulesEx(process, modules.data(), bytes, &needed, LIST_MODULES_ALL)) return {};
    if (needed <= bytes) break;
    modules.resize(needed / sizeof(HMODULE));
  }
  modules.resize(needed / sizeof(HMODULE));
  std::vector<std::wstring> names;
  for (const HMODULE module : modules) {
    wchar_t name[MAX_PATH] = {};
    if (GetModuleBaseNameW(process, module, name, MAX_PATH) > 0) names.emplace_back(name);
  }
  const auto lower = [](std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t ch) { return static_cast<wchar_t>(std::towlower(ch)); });
    return text;
  };
  std::sort(names.begin(), names.end(),
            [&](const std::wstring& a, const std::wstring& b) { return lower(a) < lower(b); });
  return names;
}

// Where the anonymous (private) memory of a Unix process lies, from the kernel's map of it, in
// KiB per place: a file's name for the pages of a mapped file that the process has written to
// (the data of a DLL or a Unix library), "[heap]" for the Unix C library's heap, and for the rest
// what the Windows side of the process sees there: "image: NAME" for a module's image that was
// read into memory rather than mapped from its file (Wine reads the sections of an image whose
// file alignment is smaller than a page), its own committed memory (heaps, stacks, bitmaps), or
// nothing (memory of Wine's Unix side). Empty where there is no such map.
std::map<std::string, size_t> AnonymousMemory(const std::wstring& processFolder, HANDLE process) {
  std::map<std::string, size_t> parts;
  const std::string smaps = ReadWholeFile(processFolder + L"\\smaps");
  std::string place;
  for (size_t at = 0; at < smaps.size();) {
    size_t end = smaps.find('\n', at);
    if (end == std::string::npos) end = smaps.size();
    const std::string line = smaps.substr(at, end - at);
    at = end + 1;
    // A mapping's first line: "start-end perms offset device inode [name]".
    char range[64] = {}, perms[8] = {}, offset[32] = {}, device[16] = {}, inode[32] = {};
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%63s %7s %31s %15s %31s %n", range, perms, offset, device, inode,
                    &consumed) == 5 &&
        std::strchr(range, '-') != nullptr) {
      const unsigned long long start = std::strtoull(range, nullptr, 16);
      const std::string name = line.substr(static_cast<size_t>(consumed));
      if (name.empty()) {
        MEMORY_BASIC_INFORMATION info{};
        const bool known =
            VirtualQueryEx(process, reinterpret_cast<void*>(static_cast<uintptr_t>(start)), &info,
                           sizeof info) != 0 &&
            info.State == MEM_COMMIT;
        wchar_t module[MAX_PATH] = {};
        if (known && info.Type == MEM_IMAGE &&
            GetModuleBaseNameW(process, static_cast<HMODULE>(info.AllocationBase), module,
                               MAX_PATH) > 0) {
          place = "image: " + Narrow(module);
        } else {
          place =
              known && info.Type == MEM_PRIVATE ? "Windows committed memory" : "Unix-side memory";
        }
      } else {
        place = name.substr(name.find_last_of('/') + 1);
      }
      continue;
    }
    unsigned long kib = 0;
    if (std::sscanf(line.c_str(), "Anonymous: %lu kB", &kib) == 1 && kib > 0) parts[place] += kib;
  }
  return parts;
}

struct WindowSearch {
  DWORD processId;
  const std::optional<std::wstring>* readyClass;
  HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
  if (*search.readyClass && ClassName(window) != **search.readyClass) return TRUE;
  search.found = window;
  return FALSE;
}

// One run of a program, copied into a temporary folder of its own, which goes when the run ends.
class Run {
 public:
  explicit Run(const Program& program) : program_(program) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    // The name finds the program among the Unix processes, which include those of every other
    // Wine prefix on the machine, where the same process ids come round: the counter's reading
    // keeps it apart from another driver's.
    static int serial = 0;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    folderName_ = L"perchette-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++serial) + L"-" + std::to_wstring(counter.QuadPart);
    folder_ = std::wstring(temp) + folderName_;
    CreateDirectoryW(folder_.c_str(), nullptr);
    exePath_ = folder_ + L"\\" + program.name;
    if (!CopyFileW(program.path.c_str(), exePath_.c_str(), FALSE)) Fail("cannot copy the program");
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  ~Run() {
    Close();
    for (const std::wstring& file : {exePath_, exePath_.substr(0, exePath_.size() - 4) + L".INI"}) {
      DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  // Starts the program; returns the time just before CreateProcess.
  double Start() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exePath_ + L"\"";
    if (program_.shift != 0) commandLine += L" " + std::to_wstring(program_.shift);
    const double started = Now();
    if (!CreateProcessW(exePath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.c_str(), &startup, &info)) {
      Fail("CreateProcess failed");
    }
    process_.reset(info.hProcess);
    CloseHandle(info.hThread);
    processId_ = info.dwProcessId;
    return started;
  }

  // The window that stands for the program: its window of the ready class, or its first visible
  // top-level window.
  HWND Window() const {
    WindowSearch search{processId_, &program_.readyClass, nullptr};
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  bool Ready() const {
    const HWND window = Window();
    if (!window) return false;
    if (!program_.readyClass) return true;
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const int kind = GetWindowRgn(window, region.get());
    if (kind != SIMPLEREGION && kind != COMPLEXREGION) return false;
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return bounds.left == GetSystemMetrics(SM_CXSCREEN) &&
           bounds.top == GetSystemMetrics(SM_CYSCREEN);
  }

  // Seconds from the given start until the program is ready, polled every millisecond; on the
  // way, when its window first showed (before it was cut to shape and parked).
  std::optional<double> WaitReady(double started, double* shown = nullptr) const {
    for (;;) {
      if (shown && *shown < 0 && Window()) *shown = Now() - started;
      if (Ready()) {
        if (shown && *shown < 0) *shown = Now() - started;
        return Now() - started;
      }
      if (Now() - started > kReadyTimeoutMs / 1000.0) return std::nullopt;
      if (WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT) return std::nullopt;
      Sleep(1);
    }
  }

  Usage Sample() const {
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(process_.get(), &creation, &exit, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
      return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                 time.dwLowDateTime);
    };
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process_.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    // Windows gives the commit charge in both fields; Wine fills only PagefileUsage for another
    // process.
    const bool privateGiven = memory.PrivateUsage != 0;
    return {(ticks(kernel) + ticks(user)) / 1e7,
            privateGiven ? memory.PrivateUsage : memory.PagefileUsage,
            privateGiven ? "PrivateUsage" : "PagefileUsage", UnixCpuSeconds()};
  }

  int Shift() const { return program_.shift; }

  // The modules the program has loaded and, under Wine, where its private memory lies.
  void PrintModulesAndMemory() const {
    const std::vector<std::wstring> modules = ModuleNames(process_.get());
    std::string list;
    for (const std::wstring& name : modules) list += (list.empty() ? "" : ",") + Narrow(name);
    std::printf("modules program=%s count=%zu names=%s\n", Narrow(program_.name).c_str(),
                modules.size(), list.c_str());
    if (UnixCpuSeconds() < 0) return;
    for (const auto& [place, kib] : AnonymousMemory(*unixFolder_, process_.get())) {
      std::printf("memory program=%s place=\"%s\" kib=%zu\n", Narrow(program_.name).c_str(),
                  place.c_str(), kib);
    }
    std::fflush(stdout);
  }

  // WM_CLOSE to the program's window; ends the process by force only when that fails.
  void Close() {
    if (!process_ || WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT) return;
    if (const HWND window = Window()) PostMessageW(window, WM_CLOSE, 0, 0);
    const double start = Now();
    while (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      if (Now() - start > kExitTimeoutMs / 1000.0) {
        std::printf("warning program=%s closed=terminated\n", Narrow(program_.name).c_str());
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
        return;
      }
      Pump(0.02);
    }
  }

  [[noreturn]] void Fail(const char* what) const {
    std::printf("error program=%s reason=\"%s\" code=%lu\n", Narrow(program_.name).c_str(), what,
                GetLastError());
    std::fflush(stdout);
    std::exit(2);
  }

 private:
  const Program& program_;
  double UnixCpuSeconds() const {
    if (!unixFolder_) unixFolder_ = UnixProcessFolder(folderName_ + L"\\").value_or(L"");
    return unixFolder_->empty() ? -1 : ScheduledSeconds(*unixFolder_);
  }

  std::wstring folderName_, folder_, exePath_;
  mutable std::optional<std::wstring> unixFolder_;
  UniqueKernelHandle process_;
  DWORD processId_ = 0;
};

// The display resolution, as the measured programs are told it when they start.
int ScreenDpi() {
  const perchette::ScopedWindowDc screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

// Run 0 of each program only warms Wine's caches up. Each later run starts every program once,
// the order reversed from one run to the next, so that no program always goes first.
int MeasureStartup(int runs, const std::vector<Program>& programs) {
  for (int run = 0; run <= runs; ++run) {
    std::vector<Program> order = programs;
    if (run % 2 == 1) std::reverse(order.begin(), order.end());
    for (const Program& program : order) {
      Run instance(program);
      const double started = instance.Start();
      double shown = -1;
      const std::optional<double> seconds = instance.WaitReady(started, &shown);
      if (!seconds) instance.Fail("no ready window");
      std::printf("startup program=%s dpi=%d run=%d ms=%.1f shown_ms=%.1f\n",
                  Narrow(program.name).c_str(), ScreenDpi(), run, *seconds * 1000, shown * 1000);
      std::fflush(stdout);
      instance.Close();
      Pump(0.3);
    }
  }
  return 0;
}

// The window that this program holds in the foreground for the measured one to perch on.
HWND CreateForegroundWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"PerchetteBenchForeground";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, windowClass.lpszClassName, L"Foreground", WS_OVERLAPPEDWINDOW,
                         kForegroundHome.left, kForegroundHome.top,
                         kForegroundHome.right - kForegroundHome.left,
                         kForegroundHome.bottom - kForegroundHome.top, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

// The perch offsets grow with the picture drawn for the resolution nearest to the screen's.
bool IsPerchedOn(HWND window, const RECT& foreground, int shift) {
  static const int artDpi = perchette::NearestArtDpi(ScreenDpi());
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return bounds.left ==
             foreground.right - perchette::ScaleForDpi(perchette::kPerchOffsetX, artDpi) - shift &&
         bounds.top == foreground.top - perchette::ScaleForDpi(perchette::kPerchOffsetY, artDpi);
}

void PrintPhase(const Program& program, const char* phase, double seconds, const Usage& start,
                const Usage& end, int followed, int samples) {
  std::printf(
      "phase program=%s phase=%s seconds=%.2f cpu_start=%.4f cpu_end=%.4f sched_start=%.6f "
      "sched_end=%.6f private_start=%zu private_end=%zu private_source=%s followed=%d "
      "samples=%d\n",
      Narrow(program.name).c_str(), phase, seconds, start.cpuSeconds, end.cpuSeconds,
      start.unixCpuSeconds, end.unixCpuSeconds, static_cast<size_t>(start.privateBytes),
      static_cast<size_t>(end.privateBytes), start.privateSource, followed, samples);
  std::fflush(stdout);
}

// One or more programs started at once, measured side by side while they perch on the foreground
// window: still, then moving.
void MeasureGroup(double seconds, const std::vector<Program>& group, HWND foreground) {
  std::vector<std::unique_ptr<Run>> runs;
  for (const Program& program : group) runs.push_back(std::make_unique<Run>(program));
  std::vector<double> started;
  for (auto& run : runs) started.push_back(run->Start());
  for (size_t i = 0; i < runs.size(); ++i) {
    if (!runs[i]->WaitReady(started[i])) runs[i]->Fail("no ready window");
  }

  SetWindowPos(foreground, nullptr, kForegroundHome.left, kForegroundHome.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(foreground, SW_SHOW);
  SetForegroundWindow(foreground);
  RECT rect{};
  GetWindowRect(foreground, &rect);
  const auto perched = [&](const RECT& on) {
    int count = 0;
    for (const auto& run : runs) count += IsPerchedOn(run->Window(), on, run->Shift()) ? 1 : 0;
    return count;
  };
  const double perchStart = Now();
  while (GetForegroundWindow() != foreground || perched(rect) < static_cast<int>(runs.size())) {
    if (Now() - perchStart > kPerchTimeoutMs / 1000.0) runs.front()->Fail("never perched");
    SetForegroundWindow(foreground);
    Pump(0.05);
  }
  Pump(1.0);

  // Still: the window stays where it is; each program should stay perched on it.
  for (const auto& run : runs) run->PrintModulesAndMemory();
  std::vector<Usage> begin, end;
  for (const auto& run : runs) begin.push_back(run->Sample());
  const double stillBegan = Now();
  Pump(seconds);
  for (const auto& run : runs) end.push_back(run->Sample());
  const double stillTook = Now() - stillBegan;
  for (size_t i = 0; i < runs.size(); ++i) {
    PrintPhase(group[i], "still", stillTook, begin[i], end[i],
               IsPerchedOn(runs[i]->Window(), rect, runs[i]->Shift()) ? 1 : 0, 1);
  }

  // Moving: a new position every 100 ms around a circle; before each move, each program should
  // sit on one of the last three positions (a tick every 200 ms).
  begin.clear();
  end.clear();
  for (const auto& run : runs) begin.push_back(run->Sample());
  const double movingBegan = Now();
  std::vector<RECT> recent{rect};
  std::vector<int> followed(runs.size());
  int samples = 0;
  for (int step = 1; Now() - movingBegan < seconds; ++step) {
    for (size_t i = 0; i < runs.size(); ++i) {
      const HWND window = runs[i]->Window();
      bool onRecent = false;
      for (const RECT& past : recent) {
        onRecent = onRecent || IsPerchedOn(window, past, runs[i]->Shift());
      }
      followed[i] += onRecent ? 1 : 0;
    }
    ++samples;

    const double angle = step * 2 * 3.14159265358979 / 40;
    const int x = kForegroundHome.left + static_cast<int>(std::lround(120 * std::cos(angle))) - 120;
    const int y = kForegroundHome.top + static_cast<int>(std::lround(120 * std::sin(angle)));
    SetWindowPos(foreground, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(foreground, &rect);
    recent.push_back(rect);
    if (recent.size() > 3) recent.erase(recent.begin());
    Pump(movingBegan + step * kMoveEveryMs / 1000.0 - Now());
  }
  for (const auto& run : runs) end.push_back(run->Sample());
  const double movingTook = Now() - movingBegan;
  for (size_t i = 0; i < runs.size(); ++i) {
    PrintPhase(group[i], "moving", movingTook, begin[i], end[i], followed[i], samples);
  }
  for (const auto& run : runs) run->Close();
  Pump(0.5);
}

// The programs one after another, or all at once.
int MeasureIdle(double seconds, std::vector<Program> programs, bool together) {
  const HWND foreground = CreateForegroundWindow();
  if (!foreground) {
    std::printf("error reason=\"cannot create the foreground window\"\n");
    return 2;
  }
  if (together) {
    for (size_t i = 0; i < programs.size(); ++i) {
      programs[i].shift = static_cast<int>(i) * kTogetherShift;
    }
    MeasureGroup(seconds, programs, foreground);
  } else {
    for (const Program& program : programs) MeasureGroup(seconds, {program}, foreground);
  }
  DestroyWindow(foreground);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Positions and the resolution as they are, not as a program unaware of the scale is told.
  SetProcessDPIAware();
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (argc < 4 || (mode != L"startup" && mode != L"idle" && mode != L"together")) {
    std::fprintf(stderr,
                 "usage: bench_measure startup RUNS PROGRAM[@CLASS]...\n"
                 "       bench_measure idle SECONDS PROGRAM[@CLASS]...\n"
                 "       bench_measure together SECONDS PROGRAM[@CLASS]...\n");
    return 1;
  }
  std::vector<Program> programs;
  for (int i = 3; i < argc; ++i) programs.push_back(ParseProgram(argv[i]));
  const double count = std::wcstod(argv[2], nullptr);
  if (count <= 0) {
    std::fprintf(stderr, "bench_measure: RUNS or SECONDS must be positive\n");
    return 1;
  }
  return mode == L"startup" ? MeasureStartup(static_cast<int>(count), programs)
                            : MeasureIdle(count, programs, mode == L"together");
}
