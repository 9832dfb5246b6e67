// Time per call of the portable core's work on a tick and on start-up: the integer text rule, the
// text-to-time conversion, the tick test and the span scan of the committed picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "base/IntText.h"
#include "hangup/TimeOfDay.h"
#include "shape/SpanScan.h"
#include "tests/support/Bitmap.h"

namespace {

using namespace perchette;

void ParseIntTextDecimal(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ParseIntText("  59"));
}
BENCHMARK(ParseIntTextDecimal)->Name("ParseIntText/\"  59\"");

void ParseIntTextHex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ParseIntText("$FFFFFFFF"));
}
BENCHMARK(ParseIntTextHex)->Name("ParseIntText/\"$FFFFFFFF\"");

void StrToTimeMinuteEnd(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(StrToTime("7:59:59"));
}
BENCHMARK(StrToTimeMinuteEnd)->Name("StrToTime/\"7:59:59\"");

// Most ticks fall before the hang-up minute: one clock reading, no text built.
void IsHangUpTickBefore(benchmark::State& state) {
  const double start = StartOfHangUpMinute(7, 59);
  const double now = EncodeTimeOfDay(7, 58, 30, 0);
  for (auto _ : state) benchmark::DoNotOptimize(IsHangUpTick([&] { return now; }, start, 7, 59));
}
BENCHMARK(IsHangUpTickBefore)->Name("IsHangUpTick/before the minute");

// Within the minute the end of the minute is built from its text on every tick.
void IsHangUpTickWithin(benchmark::State& state) {
  const double start = StartOfHangUpMinute(7, 59);
  const double now = EncodeTimeOfDay(7, 59, 30, 0);
  for (auto _ : state) benchmark::DoNotOptimize(IsHangUpTick([&] { return now; }, start, 7, 59));
}
BENCHMARK(IsHangUpTickWithin)->Name("IsHangUpTick/within the minute");

Picture CommittedPicture() {
  std::ifstream file(PERCHETTE_SOURCE_DIR "/res/Perchette.bmp", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  if (bytes.empty()) throw std::runtime_error("res/Perchette.bmp cannot be read");
  return ReadBmp24(bytes);
}

void ScanSpansPicture(benchmark::State& state) {
  const Picture picture = CommittedPicture();
  int64_t spans = 0;
  for (auto _ : state) {
    spans = 0;
    ScanSpans(
        picture.width, picture.height, 0x00FFFFFF,
        [&](int32_t x, int32_t y) { return picture.At(x, y); },
        [&](int32_t, int32_t, int32_t) { ++spans; });
    benchmark::DoNotOptimize(spans);
  }
  state.counters["spans"] = static_cast<double>(spans);
}
BENCHMARK(ScanSpansPicture)->Name("ScanSpans/res/Perchette.bmp");

void ReadBmp24Picture(benchmark::State& state) {
  std::ifstream file(PERCHETTE_SOURCE_DIR "/res/Perchette.bmp", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  for (auto _ : state) benchmark::DoNotOptimize(ReadBmp24(bytes));
}
BENCHMARK(ReadBmp24Picture)->Name("ReadBmp24/res/Perchette.bmp");

}  // namespace

BENCHMARK_MAIN();
