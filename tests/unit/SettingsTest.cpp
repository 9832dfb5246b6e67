#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "base/IntText.h"
#include "settings/SpinRules.h"
#include "settings/ValueText.h"

namespace perchette {
namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();

TEST(ParseIntText, AcceptsLeadingSpacesSignsAndDecimalDigits) {
  EXPECT_EQ(ParseIntText("7"), 7);
  EXPECT_EQ(ParseIntText("   42"), 42);
  EXPECT_EQ(ParseIntText("+8"), 8);
  EXPECT_EQ(ParseIntText("-15"), -15);
  EXPECT_EQ(ParseIntText("008"), 8);
  EXPECT_EQ(ParseIntText("  -0"), 0);
}

TEST(ParseIntText, KeepsDecimalsWithinThe32BitRange) {
  EXPECT_EQ(ParseIntText("2147483647"), kMax32);
  EXPECT_EQ(ParseIntText("-2147483648"), kMin32);
  EXPECT_EQ(ParseIntText("2147483648"), std::nullopt);
  EXPECT_EQ(ParseIntText("-2147483649"), std::nullopt);
  EXPECT_EQ(ParseIntText("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseIntText("0000000000000000000000012"), 12);
}

TEST(ParseIntText, ReadsDollarHexAsSigned32Bits) {
  EXPECT_EQ(ParseIntText("$0A"), 10);
  EXPECT_EQ(ParseIntText("$1f"), 31);
  EXPECT_EQ(ParseIntText("$9"), 9);
  EXPECT_EQ(ParseIntText("$F9"), 249);
  EXPECT_EQ(ParseIntText("  $FF"), 255);
  EXPECT_EQ(ParseIntText("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseIntText("$7FFFFFFF"), kMax32);
  EXPECT_EQ(ParseIntText("$80000000"), kMin32);
  EXPECT_EQ(ParseIntText("$00000000000FFFFFFFF"), -1);
  EXPECT_EQ(ParseIntText("$100000000"), std::nullopt);
}

TEST(ParseIntText, RejectsEverythingElse) {
  for (const char* text : {"", "   ", "+", "-", "$", "$-1", "-$1", "+$1", "$G", "7 ", "7.5", "7h",
                           "\t7", "1 2", "--1", "+-1", "0x1F", "$1 ", "１"}) {
    EXPECT_EQ(ParseIntText(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(IntToText, WritesPlainDecimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(7), "7");
  EXPECT_EQ(IntToText(-1), "-1");
  EXPECT_EQ(IntToText(kMax32), "2147483647");
  EXPECT_EQ(IntToText(kMin32), "-2147483648");
}

TEST(IntFromValueText, TurnsZeroXIntoDollarHex) {
  EXPECT_EQ(ApplyHexPrefixRule("0x1F"), "$1F");
  EXPECT_EQ(ApplyHexPrefixRule("0X1f"), "$1f");
  EXPECT_EQ(ApplyHexPrefixRule("0x"), "0x");
  EXPECT_EQ(ApplyHexPrefixRule(" 0x1"), " 0x1");
  EXPECT_EQ(IntFromValueText("0x0A", 7), 10);
  EXPECT_EQ(IntFromValueText("0X0a", 7), 10);
  EXPECT_EQ(IntFromValueText("$0A", 7), 10);
  EXPECT_EQ(IntFromValueText("0xFFFFFFFF", 7), -1);
  // As short as either form gets: three characters, one or two digits.
  EXPECT_EQ(IntFromValueText("0x7", 59), 7);
  EXPECT_EQ(IntFromValueText("0XA", 59), 10);
  EXPECT_EQ(IntFromValueText("$1F", 59), 31);
  EXPECT_EQ(IntFromValueText("$F", 59), 15);
  EXPECT_EQ(IntFromValueText("0x19", 59), 25);
  // As the platform reads a value: 1023 characters of a 1024-character buffer come back.
  const auto read = [](const std::string& value) { return value.substr(0, 1023); };
  EXPECT_EQ(IntFromValueText(read(std::string(1022, '0') + "5"), 59), 5);
  EXPECT_EQ(IntFromValueText(read(std::string(1023, '0') + "6"), 59), 0);
}

TEST(IntFromValueText, FallsBackToTheDefault) {
  EXPECT_EQ(IntFromValueText("+8", 7), 8);
  EXPECT_EQ(IntFromValueText("008", 7), 8);
  EXPECT_EQ(IntFromValueText("-1", 7), -1);
  EXPECT_EQ(IntFromValueText("24", 7), 24);
  for (const char* text : {"7.5", "7h", "", "0x", "0x-1", "2147483648", "0x100000000"}) {
    EXPECT_EQ(IntFromValueText(text, 7), 7) << '"' << text << '"';
  }
  EXPECT_EQ(IntFromValueText("-", 59), 59);
}

TEST(SettingsFilePath, ReplacesTheLastFourCharacters) {
  EXPECT_EQ(SettingsFilePath(L"C:\\Tools\\mascot.exe"), L"C:\\Tools\\mascot.INI");
  EXPECT_EQ(SettingsFilePath(L"D:\\Apps\\Perchette.EXE"), L"D:\\Apps\\Perchette.INI");
  // The four characters go whatever they are.
  EXPECT_EQ(SettingsFilePath(L"C:\\bin\\perch"), L"C:\\bin\\p.INI");
  EXPECT_EQ(SettingsFilePath(L"C:\\a.b.exe"), L"C:\\a.b.INI");
  EXPECT_EQ(SettingsFilePath(L"C:\\x.e"), L"C:.INI");
  EXPECT_EQ(SettingsFilePath(L"abcd"), L".INI");
  EXPECT_EQ(SettingsFilePath(L"ab"), L".INI");
  EXPECT_EQ(SettingsFilePath(L""), L".INI");
}

constexpr SpinBounds kHour{0, 23};
constexpr SpinBounds kMinute{0, 59};

TEST(SpinValue, ReadsTheTextOrTheLowerBound) {
  EXPECT_EQ(ReadSpinValue("12", kHour), 12);
  EXPECT_EQ(ReadSpinValue("99", kHour), 99);  // read as it stands, not held
  EXPECT_EQ(ReadSpinValue("", kHour), 0);
  EXPECT_EQ(ReadSpinValue("-", kHour), 0);
  EXPECT_EQ(ReadSpinValue("1.5", kHour), 0);
  EXPECT_EQ(ReadSpinValue("x", SpinBounds{5, 9}), 5);
}

TEST(SpinValue, HoldsWithinTheBounds) {
  EXPECT_EQ(HoldWithin(25, kHour), 23);
  EXPECT_EQ(HoldWithin(-3, kHour), 0);
  EXPECT_EQ(HoldWithin(23, kHour), 23);
  EXPECT_EQ(HoldWithin(kMax32, kMinute), 59);
  EXPECT_EQ(HoldWithin(kMin32, kMinute), 0);
  EXPECT_EQ(HoldWithin(1000, SpinBounds{4, 4}), 1000);  // equal bounds hold nothing
  EXPECT_EQ(HoldWithin(7, SpinBounds{10, 0}), 10);      // crossed bounds: the lower one first
  EXPECT_EQ(SpinTextFor(75, kMinute), "59");
  EXPECT_EQ(SpinTextFor(-2, kMinute), "0");
}

TEST(SpinStep, StepsFromTheTextAndStaysInBounds) {
  EXPECT_EQ(StepText("7", 1, kHour), "8");
  EXPECT_EQ(StepText("7", -1, kHour), "6");
  EXPECT_EQ(StepText("23", 1, kHour), "23");
  EXPECT_EQ(StepText("59", 1, kMinute), "59");
  EXPECT_EQ(StepText("0", -1, kHour), "0");
  EXPECT_EQ(StepText("", 1, kHour), "1");
  EXPECT_EQ(StepText("", -1, kHour), "0");
  EXPECT_EQ(StepText("99", 1, kHour), "23");
  EXPECT_EQ(StepText("007", 1, kHour), "8");
  EXPECT_EQ(StepText("$A", 1, kHour), "11");
}

TEST(SpinStep, DoesNotOverflowAtThe32BitEnds) {
  constexpr SpinBounds kWide{kMin32, kMax32};
  EXPECT_EQ(StepText("2147483647", 1, kWide), "2147483647");
  EXPECT_EQ(StepText("-2147483648", -1, kWide), "-2147483648");
  EXPECT_EQ(StepText("2147483647", 1, SpinBounds{0, 0}), "2147483647");
  EXPECT_EQ(StepText("2147483646", 1, kWide), "2147483647");
}

TEST(SpinLeave, ReplacesOnlyValuesBeyondTheBounds) {
  EXPECT_EQ(TextOnLeave("25", kHour), "23");
  EXPECT_EQ(TextOnLeave("75", kMinute), "59");
  EXPECT_EQ(TextOnLeave("-1", kMinute), "0");
  EXPECT_EQ(TextOnLeave("2147483647", kHour), "23");
  EXPECT_EQ(TextOnLeave("$FFFFFFFF", kHour), "0");
  EXPECT_EQ(TextOnLeave("", kHour), std::nullopt);
  EXPECT_EQ(TextOnLeave("1.5", kHour), std::nullopt);
  EXPECT_EQ(TextOnLeave("007", kHour), std::nullopt);
  EXPECT_EQ(TextOnLeave("+7", kHour), std::nullopt);
  EXPECT_EQ(TextOnLeave("23", kHour), std::nullopt);
}

TEST(SpinChar, AcceptsDigitsSignsSeparatorAndControlKeys) {
  for (const char32_t ch :
       {U'0', U'5', U'9', U'+', U'-', U'.', U'\b', U'\x03', U'\x16', U'\x18', U'\x1A', U'\x7F'}) {
    EXPECT_TRUE(AcceptsSpinChar(ch, U'.')) << static_cast<uint32_t>(ch);
  }
  for (const char32_t ch : {U'\r', U' ', U'a', U'Z', U',', U'$', U'１', U'時', U'\x3000'}) {
    EXPECT_FALSE(AcceptsSpinChar(ch, U'.')) << static_cast<uint32_t>(ch);
  }
  EXPECT_TRUE(AcceptsSpinChar(U',', U','));
  EXPECT_FALSE(AcceptsSpinChar(U'.', U','));
}

TEST(AutoRepeat, HoldingOneSecondMakesSevenStepsAndOneOnRelease) {
  AutoRepeat repeat;
  repeat.Press(10000);
  EXPECT_EQ(repeat.NextDue(), 10400u);
  EXPECT_EQ(repeat.Advance(10399), 0);
  EXPECT_EQ(repeat.Advance(10400), 1);
  EXPECT_EQ(repeat.NextDue(), 10500u);
  EXPECT_EQ(repeat.Advance(10750), 3);        // 500, 600, 700
  EXPECT_EQ(repeat.Release(11050, true), 4);  // 800, 900, 1000 and the release
  EXPECT_EQ(repeat.Advance(12000), 0);
}

TEST(AutoRepeat, CountsStepsMissedBetweenCalls) {
  AutoRepeat repeat;
  repeat.Press(0);
  EXPECT_EQ(repeat.Release(1050, true), 8);
}

TEST(AutoRepeat, ShortClickIsOneStepAndReleaseElsewhereNone) {
  AutoRepeat click;
  click.Press(500);
  EXPECT_EQ(click.Release(620, true), 1);

  AutoRepeat away;
  away.Press(500);
  away.PointerOff(600);
  EXPECT_EQ(away.Release(700, false), 0);
  EXPECT_EQ(away.Advance(2000), 0);
}

TEST(AutoRepeat, PointerOffPausesAndPointerOnResumesAtTheRepeatPace) {
  AutoRepeat repeat;
  repeat.Press(0);
  EXPECT_EQ(repeat.Advance(400), 1);
  repeat.PointerOff(450);
  EXPECT_EQ(repeat.Advance(3000), 0);
  repeat.PointerOn(3000);
  EXPECT_EQ(repeat.NextDue(), 3100u);
  EXPECT_EQ(repeat.Advance(3099), 0);
  EXPECT_EQ(repeat.Advance(3200), 2);
  repeat.PointerOff(3250);
  EXPECT_EQ(repeat.Release(5000, false), 0);
}

TEST(AutoRepeat, KeepsStepsThatFellDueBeforeThePointerLeft) {
  AutoRepeat repeat;
  repeat.Press(0);
  repeat.PointerOff(650);  // 400, 500 and 600 were due
  EXPECT_EQ(repeat.Advance(2000), 3);
  EXPECT_EQ(repeat.Advance(2100), 0);
}

TEST(AutoRepeat, SurvivesTheWrapOfTheTickCount) {
  AutoRepeat repeat;
  repeat.Press(0xFFFFFF00u);
  EXPECT_EQ(repeat.Advance(0xFFFFFFFFu), 0);
  EXPECT_EQ(repeat.Advance(0x00000090u), 1);  // 0x100 + 0x90 ms after the press: the 400 ms step
  EXPECT_EQ(repeat.Release(0x000000F5u, true), 2);
}

TEST(AutoRepeat, IgnoresPointerAndReleaseWithoutPress) {
  AutoRepeat repeat;
  repeat.PointerOn(100);
  EXPECT_EQ(repeat.Advance(5000), 0);
  EXPECT_EQ(repeat.Release(5000, true), 0);
}

}  // namespace
}  // namespace perchette
