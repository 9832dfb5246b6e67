// A stand-in for the Remote Access Service. It serves the program's two calls from a scenario
// and records every call, so that a test can see what the program asked and when.
//
// Both files lie beside the executable of the process that loads this library:
//   ras-scenario.txt, lines of key=value (missing keys keep their defaults):
//     connections=N  active connections at the start (default 0)
//     enum=RC        result of every enumeration (default 0; the table is still filled)
//     hangup=RC      result of every hang-up (default 0)
//     removes=0|1    whether a successful hang-up ends the connection (default 1)
//   ras-calls.log, one line per event, starting with GetTickCount() and the local time of day
//   in milliseconds since midnight:
//     <ms> <clock> attach <path of this library>
//     <ms> <clock> enum <dwSize of the first record> <table bytes> <result> <count> <first handle>
//     <ms> <clock> hangup <handle> <result>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The connection record as the system's header lays it out (packed to 4 bytes), written here
// field by field rather than through the program's own declaration of it.
#if defined(_WIN64)
constexpr DWORD kRecordBytes = 416;
constexpr size_t kEntryNameAt = 12, kDeviceTypeAt = 269, kDeviceNameAt = 286;
#else
constexpr DWORD kRecordBytes = 412;
constexpr size_t kEntryNameAt = 8, kDeviceTypeAt = 265, kDeviceNameAt = 282;
#endif
constexpr size_t kHandleAt = 4;

constexpr DWORD kErrorBufferTooSmall = 603;
constexpr DWORD kErrorInvalidSize = 632;

// Handles that use the whole width of a handle, so that a truncated one is noticed.
#if defined(_WIN64)
constexpr uintptr_t kFirstHandle = 0x7A5C00001000;
#else
constexpr uintptr_t kFirstHandle = 0x5C001000;
#endif
constexpr uintptr_t kHandleStep = 0x10;

struct Scenario {
  DWORD enumResult = 0;
  DWORD hangUpResult = 0;
  bool removes = true;
};

HMODULE self = nullptr;
bool loaded = false;
Scenario scenario;
std::vector<uintptr_t> connections;

std::wstring BesideProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

void Log(const std::string& line) {
  const HANDLE file = CreateFileW(BesideProgram(L"ras-calls.log").c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const unsigned long clock =
      ((now.wHour * 60UL + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
  // One write per line, so that a reader never sees half of one.
  const std::string text =
      std::to_string(GetTickCount()) + " " + std::to_string(clock) + " " + line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileText(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[512];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    text.append(buffer, read);
  }
  CloseHandle(file);
  return text;
}

// Read at the first call rather than in DllMain, where little may be done.
void LoadScenario() {
  if (loaded) return;
  loaded = true;
  const std::string text = ReadFileText(BesideProgram(L"ras-scenario.txt"));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const unsigned long value = std::strtoul(line.c_str() + equals + 1, nullptr, 10);
    if (key == "connections") {
      for (unsigned long i = 0; i < value; ++i)
        connections.push_back(kFirstHandle + i * kHandleStep);
    } else if (key == "enum") {
      scenario.enumResult = static_cast<DWORD>(value);
    } else if (key == "hangup") {
      scenario.hangUpResult = static_cast<DWORD>(value);
    } else if (key == "removes") {
      scenario.removes = value != 0;
    }
  }
}

std::string Hex(uintptr_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

void FillRecord(BYTE* record, uintptr_t handle, size_t index) {
  std::memcpy(record, &kRecordBytes, sizeof kRecordBytes);
  std::memcpy(record + kHandleAt, &handle, sizeof handle);
  std::snprintf(reinterpret_cast<char*>(record + kEntryNameAt), 257, "Dial-up %zu", index + 1);
  std::snprintf(reinterpret_cast<char*>(record + kDeviceTypeAt), 17, "modem");
  std::snprintf(reinterpret_cast<char*>(record + kDeviceNameAt), 129, "Test Modem %zu", index + 1);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    char utf8[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8, sizeof utf8, nullptr, nullptr);
    Log(std::string("attach ") + utf8);
  }
  return TRUE;
}

DWORD WINAPI RasEnumConnectionsA(BYTE* table, DWORD* tableBytes, DWORD* count) {
  LoadScenario();
  if (table == nullptr || tableBytes == nullptr || count == nullptr) {
    Log("enum invalid-parameter");
    return ERROR_INVALID_PARAMETER;
  }
  DWORD askedSize = 0;
  std::memcpy(&askedSize, table, sizeof askedSize);
  const DWORD bytes = *tableBytes;
  DWORD result = scenario.enumResult;
  if (askedSize != kRecordBytes) {
    result = kErrorInvalidSize;
  } else {
    const size_t fits = bytes / kRecordBytes;
    for (size_t i = 0; i < connections.size() && i < fits; ++i) {
      FillRecord(table + i * kRecordBytes, connections[i], i);
    }
    *count = static_cast<DWORD>(connections.size());
    *tableBytes = static_cast<DWORD>(connections.size() * kRecordBytes);
    if (connections.size() > fits && result == 0) result = kErrorBufferTooSmall;
  }
  Log("enum " + std::to_string(askedSize) + " " + std::to_string(bytes) + " " +
      std::to_string(result) + " " + std::to_string(connections.size()) + " " +
      Hex(connections.empty() ? 0 : connections.front()));
  return result;
}

DWORD WINAPI RasHangUpA(HANDLE connection) {
  LoadScenario();
  const uintptr_t handle = reinterpret_cast<uintptr_t>(connection);
  DWORD result = scenario.hangUpResult;
  std::vector<uintptr_t>::iterator found = connections.begin();
  while (found != connections.end() && *found != handle) ++found;
  if (found == connections.end()) {
    result = ERROR_INVALID_HANDLE;
  } else if (result == 0 && scenario.removes) {
    connections.erase(found);
  }
  Log("hangup " + Hex(handle) + " " + std::to_string(result));
  return result;
}

}  // extern "C"
