// The scheduled hang-up, seen through a stand-in Remote Access Service that records every call.
//
// The stand-in (rasapi32.dll, built beside this driver) replaces the system's copy for the time
// of these suites, and Wine is told to prefer it for Perchette.exe; both are undone afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/Desk.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// The record size the system's header gives the connection record (packed to 4 bytes).
constexpr DWORD kRecordSize = sizeof(void*) == 8 ? 416 : 412;
constexpr DWORD kTableBytes = 100 * kRecordSize;
constexpr DWORD kErrorBufferTooSmall = 603;

// A successful hang-up holds the program for a second; allow for the clock's granularity.
constexpr DWORD kPauseMs = 1000;
constexpr DWORD kClockSlackMs = 10;

// What the stand-in recorded.
struct RasCall {
  DWORD ms = 0;
  DWORD clock = 0;  // the local time of day, in milliseconds since midnight
  bool hangUp = false;
  // An enumeration: the first record's size, the table's size, result, connections, first one.
  DWORD recordSize = 0;
  DWORD tableBytes = 0;
  DWORD count = 0;
  uint64_t firstHandle = 0;
  // A hang-up: the handle it was given.
  uint64_t handle = 0;
  DWORD result = 0;
};

struct RasLog {
  std::vector<std::string> attached;  // the path of each copy of the service that was loaded
  std::vector<RasCall> calls;

  int Enumerations() const { return Count(false); }
  int HangUps() const { return Count(true); }
  int Count(bool hangUp) const {
    int count = 0;
    for (const RasCall& call : calls) count += call.hangUp == hangUp ? 1 : 0;
    return count;
  }
  std::string Text() const {
    std::ostringstream text;
    for (const std::string& path : attached) text << "  attach " << path << "\n";
    for (const RasCall& call : calls) {
      if (call.hangUp) {
        text << "  " << call.ms << " hangup " << std::hex << call.handle << std::dec << " -> "
             << call.result << "\n";
      } else {
        text << "  " << call.ms << " enum size " << call.recordSize << " bytes " << call.tableBytes
             << " -> " << call.result << ", " << call.count << " connections, first " << std::hex
             << call.firstHandle << std::dec << "\n";
      }
    }
    return text.str();
  }
};

std::wstring LogPath(const Perchette& perchette) { return perchette.Folder() + L"\\ras-calls.log"; }

RasLog ReadRasLog(const Perchette& perchette) {
  RasLog log;
  std::istringstream text(Narrow(ReadTextFile(LogPath(perchette))));
  std::string line;
  // A line still being written has no end yet: only whole lines count.
  while (std::getline(text, line) && !text.eof()) {
    std::istringstream fields(line);
    RasCall call;
    std::string kind;
    fields >> call.ms >> call.clock >> kind;
    if (kind == "attach") {
      std::string path;
      std::getline(fields >> std::ws, path);
      log.attached.push_back(path);
    } else if (kind == "enum") {
      fields >> call.recordSize >> call.tableBytes >> call.result >> call.count >> std::hex >>
          call.firstHandle;
      log.calls.push_back(call);
    } else if (kind == "hangup") {
      call.hangUp = true;
      fields >> std::hex >> call.handle >> std::dec >> call.result;
      log.calls.push_back(call);
    }
  }
  return log;
}

// Waits until the recorded calls satisfy the condition; returns the last reading.
RasLog WaitForLog(const Perchette& perchette, const std::function<bool(const RasLog&)>& condition,
                  DWORD timeoutMs = 10000) {
  RasLog log;
  WaitFor([&] { return condition(log = ReadRasLog(perchette)); }, timeoutMs);
  return log;
}

SYSTEMTIME LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now;
}

// The current minute, once at least ten seconds of it are left for a test to run in.
SYSTEMTIME MinuteWithRoom() {
  SYSTEMTIME now = LocalNow();
  if (now.wSecond >= 50) {
    const WORD minute = now.wMinute;
    WaitFor([&] { return (now = LocalNow()).wMinute != minute; }, 15000);
  }
  return now;
}

// The local time of day in milliseconds since midnight, as the stand-in records it.
DWORD ClockNow() {
  const SYSTEMTIME now = LocalNow();
  return ((now.wHour * 60UL + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

// The minute of the day that lies the given number of minutes from the time given.
int MinuteOfDay(const SYSTEMTIME& time, int minutesFromThen) {
  constexpr int kMinutesPerDay = 24 * 60;
  return ((time.wHour * 60 + time.wMinute + minutesFromThen) % kMinutesPerDay + kMinutesPerDay) %
         kMinutesPerDay;
}

// A settings file for the minute that lies the given number of minutes from the time given.
std::string SettingsForMinute(const SYSTEMTIME& time, int minutesFromThen = 0) {
  const int minuteOfDay = MinuteOfDay(time, minutesFromThen);
  return "[HungUpTime]\r\nHHour=" + std::to_string(minuteOfDay / 60) +
         "\r\nHMin=" + std::to_string(minuteOfDay % 60) + "\r\n";
}

void WriteScenario(const Perchette& perchette, const std::string& scenario) {
  std::ofstream file(std::filesystem::path(perchette.Folder() + L"\\ras-scenario.txt"),
                     std::ios::binary);
  file << scenario;
}

bool SamePath(const std::string& a, const std::wstring& b) {
  return CompareStringOrdinal(Widen(a).c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The suites below share the stand-in, installed once per suite.
class TestService : public testing::Test {
 protected:
  static void SetUpTestSuite() { InstallTestService(); }
  static void TearDownTestSuite() { RestoreSystemService(); }
};

using HangUp = TestService;

TEST_F(HangUp, HangsUpTheOnlyConnectionAndPausesASecond) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  WriteScenario(perchette, "connections=1\n");
  perchette.Start();
  // Two more ticks after the hang-up: the first comes after the pause, the next at the usual pace.
  const RasLog log = WaitForLog(
      perchette, [](const RasLog& seen) { return seen.HangUps() >= 1 && seen.calls.size() >= 4; });
  ASSERT_GE(log.calls.size(), 4u) << log.Text();

  const RasCall& enumeration = log.calls[0];
  ASSERT_FALSE(enumeration.hangUp) << log.Text();
  EXPECT_EQ(enumeration.recordSize, kRecordSize);
  EXPECT_EQ(enumeration.tableBytes, kTableBytes);
  EXPECT_EQ(enumeration.result, 0u);
  EXPECT_EQ(enumeration.count, 1u);

  const RasCall& hangUp = log.calls[1];
  ASSERT_TRUE(hangUp.hangUp) << log.Text();
  EXPECT_EQ(hangUp.handle, enumeration.firstHandle) << log.Text();
  EXPECT_EQ(hangUp.result, 0u);

  // The pause, then ticks that find nothing left to hang up.
  const RasCall& afterPause = log.calls[2];
  const RasCall& next = log.calls[3];
  ASSERT_FALSE(afterPause.hangUp || next.hangUp) << log.Text();
  EXPECT_GE(afterPause.ms - hangUp.ms, kPauseMs - kClockSlackMs) << log.Text();
  EXPECT_EQ(afterPause.count, 0u);
  EXPECT_LT(next.ms - afterPause.ms, kPauseMs - kClockSlackMs) << log.Text();
  EXPECT_EQ(log.HangUps(), 1) << log.Text();
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());

  ASSERT_EQ(log.attached.size(), 1u) << log.Text();
  EXPECT_TRUE(SamePath(log.attached[0], SystemCopy())) << log.Text();
}

TEST_F(HangUp, HangsUpOnlyTheFirstConnectionEachTime) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  WriteScenario(perchette, "connections=2\n");
  perchette.Start();
  const RasLog log = WaitForLog(
      perchette, [](const RasLog& seen) { return seen.HangUps() >= 2 && seen.calls.size() >= 5; });
  ASSERT_GE(log.calls.size(), 5u) << log.Text();

  // enum (2) - hang-up of the first - enum (1) - hang-up of the one left - enum (0).
  const std::vector<bool> kinds{false, true, false, true, false};
  for (size_t i = 0; i < kinds.size(); ++i) {
    ASSERT_EQ(log.calls[i].hangUp, kinds[i]) << "call " << i << "\n" << log.Text();
  }
  EXPECT_EQ(log.calls[0].count, 2u);
  EXPECT_EQ(log.calls[1].handle, log.calls[0].firstHandle);
  EXPECT_EQ(log.calls[2].count, 1u);
  EXPECT_NE(log.calls[2].firstHandle, log.calls[0].firstHandle);
  EXPECT_EQ(log.calls[3].handle, log.calls[2].firstHandle);
  EXPECT_EQ(log.calls[4].count, 0u);
  EXPECT_GE(log.calls[2].ms - log.calls[1].ms, kPauseMs - kClockSlackMs) << log.Text();
  EXPECT_EQ(log.HangUps(), 2) << log.Text();
}

TEST_F(HangUp, HangsUpWhenAHundredConnectionsJustFit) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  WriteScenario(perchette, "connections=100\n");
  perchette.Start();
  const RasLog log = WaitForLog(perchette, [](const RasLog& seen) { return seen.HangUps() >= 1; });
  ASSERT_GE(log.calls.size(), 2u) << log.Text();
  EXPECT_EQ(log.calls[0].result, 0u);
  EXPECT_EQ(log.calls[0].count, 100u);
  ASSERT_TRUE(log.calls[1].hangUp) << log.Text();
  EXPECT_EQ(log.calls[1].handle, log.calls[0].firstHandle);
}

// The minute ends at hh:mm:59.000: the ticks of its last 999 ms are past its end. Waits for the
// end of a minute, up to a minute.
TEST_F(HangUp, MinuteEndsAtSecondFiftyNine) {
  // This minute if the program has time to start before its last second, else the next.
  const SYSTEMTIME now = LocalNow();
  const int ahead = now.wSecond < 55 ? 0 : 1;
  Perchette perchette(SettingsForMinute(now, ahead));
  // Without a connection every tick inside the minute is one enumeration, and none pauses.
  WriteScenario(perchette, "connections=0\n");
  perchette.Start();
  constexpr DWORD kDayMs = 24 * 60 * 60 * 1000;
  const DWORD start = static_cast<DWORD>(MinuteOfDay(now, ahead)) * 60000;
  const auto sinceStart = [&](DWORD clock) { return (clock + kDayMs - start) % kDayMs; };
  ASSERT_TRUE(WaitFor(
      [&] {
        const DWORD since = sinceStart(ClockNow());
        return since >= 60500 && since < 120000;
      },
      70000));
  const RasLog log = ReadRasLog(perchette);
  ASSERT_GE(log.Enumerations(), 1) << log.Text();
  // Ticking up to the end, none after it; the stand-in reads the clock a little after the program.
  const DWORD last = sinceStart(log.calls.back().clock);
  EXPECT_GE(last, 58000u) << "the last enumeration, in ms into the minute";
  EXPECT_LE(last, 59000u + 100) << "the last enumeration, in ms into the minute";
}

TEST_F(HangUp, FailureShowsOneMessageAtATimeAndTheNextTickTriesAgain) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  WriteScenario(perchette, "connections=1\nhangup=668\n");
  perchette.Start();
  const HWND box = perchette.WaitForMessageBox();
  ASSERT_NE(box, nullptr) << ReadRasLog(perchette).Text();
  const MessageBoxView view = ViewMessageBox(box);
  EXPECT_EQ(Narrow(view.text), "切断失敗");
  EXPECT_EQ(view.title, L"Perchette");
  EXPECT_FALSE(view.hasIcon);
  EXPECT_EQ(view.buttons, 1);
  // A message window of the program brings its taskbar button back.
  EXPECT_TRUE(IsWindowVisible(perchette.ApplicationWindow()));

  // The ticks go on while the message is open (she perches on another window), but no second
  // message opens over it.
  DeskWindow desk;
  ASSERT_TRUE(TicksGoOn(perchette, desk));
  EXPECT_EQ(MessageBoxes(perchette.ProcessId()).size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(perchette.MainWindow())) << "she moves, but takes no input";
  RasLog log = ReadRasLog(perchette);
  EXPECT_EQ(log.HangUps(), 1) << log.Text();
  ASSERT_GE(log.calls.size(), 2u) << log.Text();
  EXPECT_EQ(log.calls[1].handle, log.calls[0].firstHandle);
  EXPECT_EQ(log.calls[1].result, 668u);

  // Closed, the next tick tries again at once: a failure holds nothing back.
  const DWORD closedAt = GetTickCount();
  PressOk(box);
  log = WaitForLog(perchette, [](const RasLog& seen) { return seen.HangUps() >= 2; });
  ASSERT_EQ(log.HangUps(), 2) << log.Text();
  EXPECT_LT(log.calls.back().ms - closedAt, kPauseMs - kClockSlackMs) << log.Text();
  const HWND again = perchette.WaitForMessageBox();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(again).text), "切断失敗");
  EXPECT_EQ(MessageBoxes(perchette.ProcessId()).size(), 1u);
}

TEST_F(HangUp, ServiceBesideTheProgramIsNotLoaded) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  const std::wstring planted = perchette.Folder() + L"\\rasapi32.dll";
  ASSERT_TRUE(CopyFileW((BuildFolder() + L"\\rasapi32.dll").c_str(), planted.c_str(), FALSE));
  WriteScenario(perchette, "connections=1\n");
  perchette.Start();
  const RasLog log = WaitForLog(perchette, [](const RasLog& seen) { return seen.HangUps() >= 1; });
  ASSERT_EQ(log.HangUps(), 1) << log.Text();
  ASSERT_EQ(log.attached.size(), 1u) << log.Text();
  EXPECT_TRUE(SamePath(log.attached[0], SystemCopy())) << log.Text();
  EXPECT_FALSE(SamePath(log.attached[0], planted)) << log.Text();
}

TEST_F(HangUp, AbsentServiceIsSilentlyNothing) {
  // No service library in the system folder at all, only a copy beside the program that must not
  // be taken in its place: every tick's enumeration fails quietly.
  ASSERT_TRUE(DeleteFileW(SystemCopy().c_str()));
  struct Reinstall {
    ~Reinstall() { InstallTestService(); }
  } reinstall;
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  ASSERT_TRUE(CopyFileW((BuildFolder() + L"\\rasapi32.dll").c_str(),
                        (perchette.Folder() + L"\\rasapi32.dll").c_str(), FALSE));
  WriteScenario(perchette, "connections=1\n");
  DeskWindow desk;
  ASSERT_NE(StartOnDesk(perchette, desk), nullptr);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  EXPECT_TRUE(perchette.Running());
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  EXPECT_FALSE(FileExists(LogPath(perchette))) << ReadRasLog(perchette).Text();
}

TEST_F(HangUp, OutOfRangeMinuteNeverReachesTheService) {
  Perchette perchette("[HungUpTime]\r\nHHour=7\r\nHMin=60\r\n");
  WriteScenario(perchette, "connections=1\n");
  perchette.Start();
  const HWND report = perchette.WaitForMessageBox();
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(report).text), "'7:60:0' は時刻ではありません.");
  ASSERT_TRUE(PressOk(report));
  // Every tick now meets the end of the minute, which is no time either.
  const HWND tickReport = perchette.WaitForMessageBox();
  ASSERT_NE(tickReport, nullptr);
  EXPECT_EQ(Narrow(ViewMessageBox(tickReport).text), "'7:60:59' は時刻ではありません.");
  PressOk(tickReport);
  DeskWindow desk;
  ASSERT_TRUE(TicksGoOn(perchette, desk));
  EXPECT_TRUE(ReadRasLog(perchette).calls.empty()) << ReadRasLog(perchette).Text();
  EXPECT_TRUE(perchette.Running());
}

// Enumerations that leave nothing to hang up: no hang-up, no message, no pause.
struct QuietScenario {
  const char* name;
  const char* scenario;
  DWORD result;
  DWORD count;
};

class HangUpNothing : public TestService, public testing::WithParamInterface<QuietScenario> {};

TEST_P(HangUpNothing, EnumeratesOnEveryTickAndDoesNothingElse) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom()));
  WriteScenario(perchette, GetParam().scenario);
  perchette.Start();
  const RasLog log =
      WaitForLog(perchette, [](const RasLog& seen) { return seen.Enumerations() >= 4; });
  ASSERT_GE(log.Enumerations(), 4) << log.Text();
  EXPECT_EQ(log.HangUps(), 0) << log.Text();
  for (size_t i = 0; i < log.calls.size(); ++i) {
    const RasCall& call = log.calls[i];
    const bool expected = call.result == GetParam().result && call.count == GetParam().count &&
                          call.tableBytes == kTableBytes;
    const bool atPace = i == 0 || call.ms - log.calls[i - 1].ms < kPauseMs - kClockSlackMs;
    ASSERT_TRUE(expected && atPace) << "call " << i << "\n" << log.Text();
  }
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    , HangUpNothing,
    testing::Values(QuietScenario{"NoConnection", "connections=0\n", 0, 0},
                    QuietScenario{"MoreThanAHundred", "connections=101\n", kErrorBufferTooSmall,
                                  101},
                    QuietScenario{"EnumerationFails", "connections=1\nenum=621\n", 621, 1}),
    [](const testing::TestParamInfo<QuietScenario>& info) { return info.param.name; });

// Outside the minute nothing is asked of the service: the minute just gone, the one to come,
// and one half a day away.
class HangUpOutsideTheMinute : public TestService, public testing::WithParamInterface<int> {};

TEST_P(HangUpOutsideTheMinute, CallsNothing) {
  Perchette perchette(SettingsForMinute(MinuteWithRoom(), GetParam()));
  WriteScenario(perchette, "connections=1\n");
  DeskWindow desk;
  ASSERT_NE(StartOnDesk(perchette, desk), nullptr);
  ASSERT_TRUE(WaitUntilIdle(perchette));
  const RasLog log = ReadRasLog(perchette);
  EXPECT_TRUE(log.calls.empty()) << log.Text();
  EXPECT_TRUE(MessageBoxes(perchette.ProcessId()).empty());
  EXPECT_TRUE(perchette.Running());
}

INSTANTIATE_TEST_SUITE_P(, HangUpOutsideTheMinute, testing::Values(-1, 1, 12 * 60),
                         [](const testing::TestParamInfo<int>& info) {
                           return info.param == -1  ? std::string("MinuteJustGone")
                                  : info.param == 1 ? std::string("NextMinute")
                                                    : std::string("HalfADayAway");
                         });

}  // namespace
