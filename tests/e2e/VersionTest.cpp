// The version record, read back from the built programs as Windows' file properties show it.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

struct VersionRecord {
  std::string fileVersion;
  std::string productVersion;
  std::wstring productName;
  std::wstring fileVersionText;
  WORD language = 0;
  WORD codePage = 0;
};

std::string Quad(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

std::wstring StringValue(const std::vector<BYTE>& data, const std::wstring& block,
                         const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + name;
  if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) return {};
  return static_cast<const wchar_t*>(value);
}

VersionRecord ReadVersion(const std::wstring& program) {
  VersionRecord record;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  if (size == 0) return record;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(program.c_str(), 0, size, data.data())) return record;

  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    record.fileVersion = Quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    record.productVersion = Quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }
  if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
    record.language = static_cast<const WORD*>(value)[0];
    record.codePage = static_cast<const WORD*>(value)[1];
  }
  wchar_t block[16];
  swprintf(block, 16, L"%04x%04x", record.language, record.codePage);
  record.productName = StringValue(data, block, L"ProductName");
  record.fileVersionText = StringValue(data, block, L"FileVersion");
  return record;
}

// The shipped 32-bit program, and the build that runs here when that is another one.
std::vector<std::wstring> BuiltPrograms() {
  const std::wstring here = BuildFolder();
  std::vector<std::wstring> programs{here + L"\\Perchette.exe"};
  const std::wstring shipped = here + L"\\..\\win32\\Perchette.exe";
  if (FileExists(shipped) && here.substr(here.size() - 6) != L"\\win32")
    programs.push_back(shipped);
  return programs;
}

}  // namespace

TEST(VersionRecord, IsJapaneseVersionOneOfPerchette) {
  for (const std::wstring& program : BuiltPrograms()) {
    SCOPED_TRACE(Narrow(program));
    const VersionRecord record = ReadVersion(program);
    EXPECT_EQ(record.fileVersion, "1.0.0.0");
    EXPECT_EQ(record.productVersion, "1.0.0.0");
    EXPECT_EQ(record.language, 0x0411);
    EXPECT_EQ(record.codePage, 932);
    EXPECT_EQ(record.productName, L"Perchette");
    EXPECT_EQ(record.fileVersionText, L"1.0.0.0");
  }
}
