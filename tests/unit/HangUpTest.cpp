#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "hangup/HangUp.h"
#include "hangup/TimeOfDay.h"

namespace perchette {
namespace {

double At(int32_t hour, int32_t minute, int32_t second, int32_t millisecond) {
  return EncodeTimeOfDay(hour, minute, second, millisecond);
}

void ExpectSameOrder(int64_t a, int64_t b) {
  constexpr int64_t kMsPerHour = 3600000;
  const auto encode = [](int64_t ms) {
    return EncodeTimeOfDay(static_cast<int32_t>(ms / kMsPerHour), 0, 0,
                           static_cast<int32_t>(ms % kMsPerHour));
  };
  EXPECT_EQ(a < b, encode(a) < encode(b)) << a << " vs " << b;
  EXPECT_EQ(a == b, encode(a) == encode(b)) << a << " vs " << b;
}

TEST(EncodeTimeOfDay, IsTheFractionOfTheDay) {
  EXPECT_EQ(At(0, 0, 0, 0), 0.0);
  EXPECT_EQ(At(12, 0, 0, 0), 0.5);
  EXPECT_EQ(At(6, 0, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(At(7, 59, 0, 0), (7 * 60 + 59) / 1440.0);
  EXPECT_EQ(At(7, 59, 0, 0), At(0, 0, 0, 7 * 3600000 + 59 * 60000));
  EXPECT_EQ(At(0, 479, 0, 0), At(7, 59, 0, 0));
  // A second is 1000 ms, worked out by hand.
  EXPECT_DOUBLE_EQ(At(7, 59, 30, 250), (7 * 3600000 + 59 * 60000 + 30 * 1000 + 250) / 86400000.0);
  EXPECT_EQ(At(7, 59, 30, 250), At(0, 0, 0, 7 * 3600000 + 59 * 60000 + 30 * 1000 + 250));
}

TEST(EncodeTimeOfDay, ComparesExactlyAsMillisecondCounts) {
  // Every millisecond of a few minutes against its neighbour, around the hang-up minute and the
  // ends of the day.
  for (const int64_t from : {int64_t{0}, int64_t{28680000} - 60000, int64_t{86400000} - 180000}) {
    for (int64_t ms = from; ms < from + 180000; ++ms) {
      ASSERT_LT(At(0, 0, 0, static_cast<int32_t>(ms)), At(0, 0, 0, static_cast<int32_t>(ms + 1)))
          << ms;
    }
  }
  std::mt19937_64 random(20240501);
  std::uniform_int_distribution<int64_t> anyMs(0, 86400000 - 1);
  for (int i = 0; i < 200000; ++i) {
    const int64_t a = anyMs(random);
    ExpectSameOrder(a, i % 4 == 0 ? a : anyMs(random));
  }
}

TEST(StrToTime, ConvertsWellFormedTimes) {
  EXPECT_EQ(StrToTime("7:59:0"), At(7, 59, 0, 0));
  EXPECT_EQ(StrToTime("7:59:59"), At(7, 59, 59, 0));
  EXPECT_DOUBLE_EQ(StrToTime("7:59:30"), (7 * 3600000 + 59 * 60000 + 30 * 1000) / 86400000.0);
  EXPECT_EQ(StrToTime("0:0:0"), 0.0);
  EXPECT_EQ(StrToTime("23:59:59"), At(23, 59, 59, 0));
  EXPECT_EQ(StrToTime("07:05:09"), At(7, 5, 9, 0));
  EXPECT_EQ(StrToTime("0000000000000000000000007:59:00"), At(7, 59, 0, 0));
}

TEST(StrToTime, RejectsOutOfRangeAndMalformedTexts) {
  for (const char* text : {"24:0:0",         "0:60:0",        "0:0:60",
                           "-1:5:0",         "7:-1:0",        "",
                           "7:59",           "7:59:0:0",      "7::0",
                           ":59:0",          "7:59:",         " 7:59:0",
                           "7:59:0 ",        "7:59:0.5",      "7.59.0",
                           "7:59.0",         "7.59:0",        "+7:59:0",
                           "7:5a:0",         "７:59:0",       "99999999999999999999:0:0",
                           "0:0:4294967296", "4294967303:0:0"}) {
    EXPECT_THROW(StrToTime(text), AppError) << '"' << text << '"';
  }
}

TEST(StrToTime, QuotesTheWholeTextInItsError) {
  try {
    StrToTime("24:0:0");
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "'24:0:0' は時刻ではありません");
  }
}

TEST(HangUpTexts, JoinHourMinuteAndSecond) {
  EXPECT_EQ(HangUpStartText(7, 59), "7:59:0");
  EXPECT_EQ(HangUpEndText(7, 59), "7:59:59");
  EXPECT_EQ(HangUpStartText(0, 5), "0:5:0");
  EXPECT_EQ(HangUpEndText(0, 5), "0:5:59");
  EXPECT_EQ(HangUpStartText(-1, 5), "-1:5:0");
  EXPECT_EQ(HangUpStartText(-2147483647 - 1, 2147483647), "-2147483648:2147483647:0");
}

TEST(HangUpStartTime, IsTheFirstInstantOfTheMinute) {
  EXPECT_EQ(StartOfHangUpMinute(7, 59), At(7, 59, 0, 0));
  EXPECT_EQ(StartOfHangUpMinute(0, 0), 0.0);
  EXPECT_EQ(StartOfHangUpMinute(23, 59), At(23, 59, 0, 0));
  for (const auto& [hour, minute] : {std::pair{24, 0}, {0, 60}, {-1, 0}, {0, -1}}) {
    EXPECT_THROW(StartOfHangUpMinute(hour, minute), AppError) << hour << ":" << minute;
  }
}

// A clock that answers from a list and counts how often it was read.
struct ScriptedClock {
  std::vector<double> readings;
  size_t reads = 0;
  std::function<double()> Now() {
    return [this] { return readings.at(reads++); };
  }
};

bool TickAt(double now, int32_t hour, int32_t minute) {
  return IsHangUpTick([now] { return now; }, StartOfHangUpMinute(hour, minute), hour, minute);
}

TEST(IsHangUpTick, CoversTheMinuteThroughSecondFiftyNine) {
  EXPECT_FALSE(TickAt(At(7, 58, 59, 999), 7, 59));
  EXPECT_TRUE(TickAt(At(7, 59, 0, 0), 7, 59));
  EXPECT_TRUE(TickAt(At(7, 59, 30, 500), 7, 59));
  EXPECT_TRUE(TickAt(At(7, 59, 59, 0), 7, 59));
  EXPECT_FALSE(TickAt(At(7, 59, 59, 1), 7, 59));
  EXPECT_FALSE(TickAt(At(8, 0, 0, 0), 7, 59));
}

TEST(IsHangUpTick, StaysWithinOneDay) {
  EXPECT_TRUE(TickAt(0.0, 0, 0));
  EXPECT_TRUE(TickAt(At(0, 0, 59, 0), 0, 0));
  EXPECT_FALSE(TickAt(At(0, 0, 59, 1), 0, 0));
  EXPECT_FALSE(TickAt(At(23, 58, 59, 999), 23, 59));
  EXPECT_TRUE(TickAt(At(23, 59, 0, 0), 23, 59));
  EXPECT_TRUE(TickAt(At(23, 59, 59, 0), 23, 59));
  EXPECT_FALSE(TickAt(At(23, 59, 59, 999), 23, 59));
  EXPECT_FALSE(TickAt(0.0, 23, 59));
}

TEST(IsHangUpTick, ReadsTheClockBeforeAndAfterBuildingTheEnd) {
  ScriptedClock early{{At(7, 58, 0, 0)}};
  EXPECT_FALSE(IsHangUpTick(early.Now(), At(7, 59, 0, 0), 7, 59));
  EXPECT_EQ(early.reads, 1u);

  // The second reading decides against the end, even where the first lay inside the minute.
  ScriptedClock late{{At(7, 59, 59, 0), At(7, 59, 59, 1)}};
  EXPECT_FALSE(IsHangUpTick(late.Now(), At(7, 59, 0, 0), 7, 59));
  EXPECT_EQ(late.reads, 2u);

  ScriptedClock inside{{At(7, 59, 10, 0), At(7, 59, 10, 0)}};
  EXPECT_TRUE(IsHangUpTick(inside.Now(), At(7, 59, 0, 0), 7, 59));
  EXPECT_EQ(inside.reads, 2u);
}

TEST(IsHangUpTick, OutOfRangeEndFailsOnlyAfterTheStartHasPassed) {
  // Hour 24 never loaded, so the start is still midnight.
  ScriptedClock clock{{At(12, 0, 0, 0)}};
  try {
    IsHangUpTick(clock.Now(), 0.0, 24, 0);
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_STREQ(error.what(), "'24:0:59' は時刻ではありません");
  }
  EXPECT_EQ(clock.reads, 1u);

  EXPECT_FALSE(IsHangUpTick([] { return At(6, 0, 0, 0); }, At(7, 0, 0, 0), 7, 60));
  EXPECT_THROW(IsHangUpTick([] { return At(7, 0, 0, 0); }, At(7, 0, 0, 0), 7, 60), AppError);
}

// Records what the hang-up asks of the service.
class FakeDialUp : public DialUpService {
 public:
  explicit FakeDialUp(EnumResult result, uint32_t hangUpStatus = 0)
      : result_(result), hangUpStatus_(hangUpStatus) {}

  EnumResult EnumerateConnections() override {
    ++enumerations;
    return result_;
  }
  uint32_t HangUp(uintptr_t connection) override {
    hungUp.push_back(connection);
    return hangUpStatus_;
  }
  void Wait(uint32_t milliseconds) override { waits.push_back(milliseconds); }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

  int enumerations = 0;
  std::vector<uintptr_t> hungUp;
  std::vector<uint32_t> waits;
  std::vector<std::string> messages;

 private:
  EnumResult result_;
  uint32_t hangUpStatus_;
};

constexpr uint32_t kBufferTooSmall = 603;

TEST(HangUpFirstConnection, DoesNothingWithoutAConnection) {
  for (const EnumResult result :
       {EnumResult{kBufferTooSmall, 0, 0}, EnumResult{kBufferTooSmall, 101, 0x51},
        EnumResult{0, 0, 0x51}, EnumResult{0, -1, 0x51}}) {
    FakeDialUp service(result);
    HangUpFirstConnection(service);
    EXPECT_EQ(service.enumerations, 1);
    EXPECT_TRUE(service.hungUp.empty()) << result.status << " " << result.count;
    EXPECT_TRUE(service.waits.empty());
    EXPECT_TRUE(service.messages.empty());
  }
}

TEST(HangUpFirstConnection, HangsUpOnlyTheFirstAndWaitsASecond) {
  for (const int32_t count : {1, 2, 100}) {
    FakeDialUp service({0, count, 0xC0FFEE});
    HangUpFirstConnection(service);
    EXPECT_EQ(service.enumerations, 1);
    EXPECT_EQ(service.hungUp, std::vector<uintptr_t>{0xC0FFEE}) << count;
    EXPECT_EQ(service.waits, std::vector<uint32_t>{1000});
    EXPECT_TRUE(service.messages.empty());
  }
}

TEST(HangUpFirstConnection, ReportsAFailedHangUpWithoutWaiting) {
  FakeDialUp service({0, 1, 0x1234}, 668);
  HangUpFirstConnection(service);
  EXPECT_EQ(service.hungUp, std::vector<uintptr_t>{0x1234});
  EXPECT_EQ(service.messages, std::vector<std::string>{"切断失敗"});
  EXPECT_TRUE(service.waits.empty());
}

}  // namespace
}  // namespace perchette
