#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "shape/PackedPicture.h"
#include "shape/SpanScan.h"
#include "tests/support/Bitmap.h"

namespace perchette {

// Found by argument-dependent lookup, so failures print spans readably.
static void PrintTo(const Span& span, std::ostream* out) {
  *out << "{" << span.first << ", " << span.end << ", " << span.row << "}";
}
static void PrintTo(const SpanRect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0;

// A picture drawn as rows of text: '.' is white, '#' black, 'n' near-white (red 255, green 255,
// blue 254).
Picture Draw(std::initializer_list<std::string> rows) {
  Picture picture;
  picture.height = static_cast<int32_t>(rows.size());
  picture.width = static_cast<int32_t>(rows.begin()->size());
  for (const std::string& row : rows) {
    for (const char ch : row) {
      picture.pixels.push_back(ch == '.' ? kWhite : ch == 'n' ? 0x00FEFFFF : kBlack);
    }
  }
  return picture;
}

std::vector<Span> Scan(const Picture& picture, uint32_t transparent = kWhite) {
  std::vector<Span> spans;
  ScanSpans(
      picture.width, picture.height, transparent,
      [&](int32_t x, int32_t y) { return picture.At(x, y); },
      [&](int32_t first, int32_t end, int32_t row) {
        spans.push_back({first, end, row});
      });
  return spans;
}

TEST(ScanSpans, FindsNothingInATransparentPicture) {
  EXPECT_TRUE(Scan(Draw({"....", "....", "...."})).empty());
}

TEST(ScanSpans, CoversAPictureWithoutTransparentPixelsRowByRow) {
  EXPECT_EQ(Scan(Draw({"###", "###"})), (std::vector<Span>{{0, 3, 0}, {0, 3, 1}}));
}

TEST(ScanSpans, ReachesBothEdgesAndSplitsRuns) {
  const Picture picture = Draw({
      "##....",  // from column 0
      "....##",  // to the right edge
      "..#...",  // a single pixel
      "###.##",  // split by one transparent pixel
      "#.#.#.",
  });
  EXPECT_EQ(
      Scan(picture),
      (std::vector<Span>{
          {0, 2, 0}, {4, 6, 1}, {2, 3, 2}, {0, 3, 3}, {4, 6, 3}, {0, 1, 4}, {2, 3, 4}, {4, 5, 4}}));
}

TEST(ScanSpans, NeverCarriesASpanIntoTheNextRow) {
  EXPECT_EQ(Scan(Draw({"..##", "##.."})), (std::vector<Span>{{2, 4, 0}, {0, 2, 1}}));
}

TEST(ScanSpans, ScansTheTopAndBottomRows) {
  EXPECT_EQ(Scan(Draw({".#.", "...", "..."})), (std::vector<Span>{{1, 2, 0}}));
  EXPECT_EQ(Scan(Draw({"...", "...", "#.."})), (std::vector<Span>{{0, 1, 2}}));
}

TEST(ScanSpans, ComparesColoursExactly) {
  EXPECT_EQ(Scan(Draw({".n."})), (std::vector<Span>{{1, 2, 0}}));
  // A system colour (top bit set) matches no pixel: everything is opaque.
  EXPECT_EQ(Scan(Draw({".#n"}), 0x80000005), (std::vector<Span>{{0, 3, 0}}));
  // Black as the transparent colour inverts the picture.
  EXPECT_EQ(Scan(Draw({"#..#"}), kBlack), (std::vector<Span>{{1, 3, 0}}));
}

TEST(ScanSpans, CountsPositionsBeyondThePictureAsOpaque) {
  const Picture picture = Draw({"..", ".."});
  std::vector<Span> spans;
  ScanSpans(
      3, 3, kWhite, [&](int32_t x, int32_t y) { return picture.At(x, y); },
      [&](int32_t first, int32_t end, int32_t row) {
        spans.push_back({first, end, row});
      });
  EXPECT_EQ(spans, (std::vector<Span>{{2, 3, 0}, {2, 3, 1}, {0, 3, 2}}));
}

TEST(ScanSpans, IgnoresEmptyAndNegativeSizes) {
  int calls = 0;
  const auto count = [&](int32_t, int32_t, int32_t) { ++calls; };
  const auto black = [](int32_t, int32_t) { return kBlack; };
  ScanSpans(0, 5, kWhite, black, count);
  ScanSpans(5, 0, kWhite, black, count);
  ScanSpans(-1, -1, kWhite, black, count);
  EXPECT_EQ(calls, 0);
}

TEST(SpanOffsets, PlaceSpansInsideTheParentsFrame) {
  const SpanOffset framed = SpanOffsets(0, 0, 86, 175, 80, 150);
  EXPECT_EQ(framed.dx, 3);
  EXPECT_EQ(framed.dy, 22);
  const SpanOffset moved = SpanOffsets(10, 20, 86, 175, 80, 150);
  EXPECT_EQ(moved.dx, 13);
  EXPECT_EQ(moved.dy, 42);
  const SpanOffset odd = SpanOffsets(0, 0, 85, 160, 80, 150);
  EXPECT_EQ(odd.dx, 2);
  EXPECT_EQ(odd.dy, 8);
  const SpanOffset borderless = SpanOffsets(0, 0, 80, 150, 80, 150);
  EXPECT_EQ(borderless.dx, 0);
  EXPECT_EQ(borderless.dy, 0);
  // A client larger than the window (never seen, but the halving truncates toward zero).
  EXPECT_EQ(SpanOffsets(0, 0, 75, 150, 80, 150).dx, -2);
}

// Pixels as a 32-bit DIB holds them, 0x00RRGGBB: pure red, pure blue, and near-white with blue
// 254, which a colour value (0x00BBGGRR) writes 0x00FEFFFF. Red is 0x000000FF as a colour value.
constexpr uint32_t kDibWhite = 0x00FFFFFF, kDibRed = 0x00FF0000, kDibBlue = 0x000000FF,
                   kDibNearWhite = 0x00FFFFFE;

TEST(SpanRectangles, MakeOneRowHighRectanglePerSpanInTheParentsCoordinates) {
  const uint32_t bits[] = {
      kDibWhite, kDibRed,       kDibRed,   kDibWhite,  // one run inside the row
      kDibBlue,  kDibNearWhite, kDibWhite, kDibRed,    // from column 0, and to the right edge
      kDibWhite, kDibWhite,     kDibWhite, kDibWhite,  // all see-through
  };
  const DibPixels picture{4, 3, bits};
  EXPECT_EQ(SpanRectangles(picture, 4, 3, kWhite, {0, 0}),
            (std::vector<SpanRect>{{1, 0, 3, 1}, {0, 1, 2, 2}, {3, 1, 4, 2}}));
  // Inside a frame: moved by the offset, still one pixel high.
  EXPECT_EQ(SpanRectangles(picture, 4, 3, kWhite, {3, 22}),
            (std::vector<SpanRect>{{4, 22, 6, 23}, {3, 23, 5, 24}, {6, 23, 7, 24}}));
  // Red as the see-through colour (0x000000FF as a colour value).
  EXPECT_EQ(SpanRectangles(picture, 4, 3, 0x000000FF, {0, 0}),
            (std::vector<SpanRect>{{0, 0, 1, 1}, {3, 0, 4, 1}, {0, 1, 3, 2}, {0, 2, 4, 3}}));
  // An area larger than the picture: what lies beyond it belongs to the shape.
  EXPECT_EQ(
      SpanRectangles(picture, 5, 4, kWhite, {0, 0}),
      (std::vector<SpanRect>{
          {1, 0, 3, 1}, {4, 0, 5, 1}, {0, 1, 2, 2}, {3, 1, 5, 2}, {4, 2, 5, 3}, {0, 3, 5, 4}}));
  // No pixels at all: the whole area.
  EXPECT_EQ(SpanRectangles(DibPixels{}, 2, 1, kWhite, {0, 0}),
            (std::vector<SpanRect>{{0, 0, 2, 1}}));
}

// A packed picture file: the signature, the size, then the chunks as given.
std::vector<uint8_t> Packed(int width, int height, std::initializer_list<uint8_t> chunks) {
  std::vector<uint8_t> file = {'P', 'P', 'K', '1'};
  for (const int side : {width, height}) {
    file.insert(file.end(), {static_cast<uint8_t>(side), static_cast<uint8_t>(side >> 8)});
  }
  file.insert(file.end(), chunks);
  return file;
}

std::vector<uint32_t> Unpacked(const std::vector<uint8_t>& file) {
  const std::optional<PackedPicture> picture = DecodePackedPicture(file);
  return picture ? picture->pixels : std::vector<uint32_t>{};
}

TEST(DecodePackedPicture, DecodesEveryKindOfChunk) {
  // Worked by hand: each chunk's pixels as 0x00RRGGBB.
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    std::vector<uint32_t> pixels;
  } cases[] = {
      {"colours given; black before the first pixel",
       Packed(3, 1, {0xFE, 0x12, 0x34, 0x56, 0xC0, 0xFE, 0xFF, 0xFF, 0xFF}),
       {0x123456, 0x123456, 0xFFFFFF}},
      {"a run of the initial black, then one across the row's end",
       Packed(3, 2, {0xC1, 0xFE, 1, 2, 3, 0xC2}),
       {0, 0, 0x010203, 0x010203, 0x010203, 0x010203}},
      {"a run of 62, the longest", Packed(62, 1, {0xFD}), std::vector<uint32_t>(62, 0)},
      // 0x6C: red +0, green +1, blue -2; 0x40: each -2, wrapping below 0.
      {"small changes, wrapping around",
       Packed(3, 1, {0xFE, 10, 20, 1, 0x6C, 0x40}),
       {0x0A1401, 0x0A15FF, 0x0813FD}},
      // 0xA0 0x3C: green +0, red +0-5, blue +0+4; 0x80 0xF8: green -32, red -32+7, blue -32+0.
      {"larger changes of green, red and blue following it",
       Packed(3, 1, {0xFE, 100, 100, 100, 0xA0, 0x3C, 0x80, 0xF8}),
       {0x646464, 0x5F6468, 0x464448}},
      // (3*16 + 5*32 + 7*48) % 64 = 32; (3*1 + 5*2 + 7*3) % 64 = 34.
      {"colours taken back from the cache",
       Packed(5, 1, {0xFE, 16, 32, 48, 0xFE, 1, 2, 3, 0x20, 0x22, 0x20}),
       {0x102030, 0x010203, 0x102030, 0x010203, 0x102030}},
      // 0x7F: each +1, to (1, 1, 1), whose place is (3 + 5 + 7) % 64 = 15.
      {"a changed colour goes into the cache too",
       Packed(3, 1, {0x7F, 0xFE, 9, 9, 9, 0x0F}),
       {0x010101, 0x090909, 0x010101}},
  };
  for (const auto& c : cases) EXPECT_EQ(Unpacked(c.file), c.pixels) << c.what;
  const std::optional<PackedPicture> picture = DecodePackedPicture(Packed(2, 3, {0xC5}));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 2);
  EXPECT_EQ(picture->height, 3);
}

TEST(DecodePackedPicture, RefusesAnythingButOneWholePicture) {
  const struct {
    const char* what;
    std::vector<uint8_t> file;
  } cases[] = {
      {"empty", {}},
      {"header cut", {'P', 'P', 'K', '1', 1, 0, 1}},
      {"signature", {'P', 'P', 'K', '2', 1, 0, 1, 0, 0xC0}},
      {"no width", Packed(0, 1, {})},
      {"no height", Packed(1, 0, {})},
      {"too wide", Packed(4097, 1, {0xFE, 0, 0, 0})},
      {"too high", Packed(1, 4097, {0xFE, 0, 0, 0})},
      {"pixels missing", Packed(2, 2, {0xC2})},
      {"a run past the last pixel", Packed(2, 1, {0xC2})},
      {"the unknown chunk", Packed(1, 1, {0xFF})},
      {"a given colour cut", Packed(1, 1, {0xFE, 1, 2})},
      {"a large change cut", Packed(1, 1, {0x80})},
      {"bytes after the last pixel", Packed(1, 1, {0xC0, 0xC0})},
  };
  for (const auto& c : cases) EXPECT_FALSE(DecodePackedPicture(c.file).has_value()) << c.what;
}

// A 24-bit bitmap file of the given pixels (0x00BBGGRR, top row first).
std::vector<uint8_t> MakeBmp(int32_t width, const std::vector<std::vector<uint32_t>>& rows,
                             bool topDown) {
  const int32_t height = static_cast<int32_t>(rows.size());
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> file;
  const auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  file.push_back('B');
  file.push_back('M');
  put(54 + pixelBytes, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(topDown ? -height : height), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(pixelBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int32_t i = 0; i < height; ++i) {
    const std::vector<uint32_t>& row = rows[static_cast<size_t>(topDown ? i : height - 1 - i)];
    for (const uint32_t colour : row) {
      file.push_back(static_cast<uint8_t>(colour >> 16));  // blue
      file.push_back(static_cast<uint8_t>(colour >> 8));   // green
      file.push_back(static_cast<uint8_t>(colour));        // red
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) {
      file.push_back(0xEE);
    }
  }
  return file;
}

const std::vector<std::vector<uint32_t>> kRows = {
    {0x00FFFFFF, 0x000000FF, 0x0000FF00},
    {0x00FF0000, 0x00FEFFFF, 0x00123456},
};

void ExpectRows(const Picture& picture) {
  ASSERT_EQ(picture.width, 3);
  ASSERT_EQ(picture.height, 2);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) {
      EXPECT_EQ(picture.At(x, y), kRows[static_cast<size_t>(y)][static_cast<size_t>(x)])
          << x << "," << y;
    }
  }
}

TEST(ReadBmp24, ReadsBottomUpAndTopDownRowsPastTheirPadding) {
  ExpectRows(ReadBmp24(MakeBmp(3, kRows, false)));
  ExpectRows(ReadBmp24(MakeBmp(3, kRows, true)));
}

TEST(ReadBmp24, ReadsOutsideThePictureAsNoColour) {
  const Picture picture = ReadBmp24(MakeBmp(3, kRows, false));
  for (const auto& [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
    EXPECT_EQ(picture.At(x, y), Picture::kOutside) << x << "," << y;
  }
}

TEST(ReadBmp24, ScansTheCharacterOutOfAFile) {
  const Picture picture = ReadBmp24(MakeBmp(3, kRows, false));
  EXPECT_EQ(Scan(picture), (std::vector<Span>{{1, 3, 0}, {0, 3, 1}}));
}

TEST(ReadBmp24, RejectsOtherAndDamagedFiles) {
  const std::vector<uint8_t> good = MakeBmp(3, kRows, false);
  const auto expectRejected = [](std::vector<uint8_t> file, const char* why) {
    EXPECT_THROW(ReadBmp24(file), AppError) << why;
  };
  const auto patched = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> file = good;
    file[at] = value;
    return file;
  };
  expectRejected({}, "empty");
  expectRejected(std::vector<uint8_t>(good.begin(), good.begin() + 53), "headers cut");
  expectRejected(std::vector<uint8_t>(good.begin(), good.end() - 1), "pixels cut");
  expectRejected(patched(0, 'X'), "signature");
  expectRejected(patched(28, 32), "32 bits per pixel");
  expectRejected(patched(28, 8), "8 bits per pixel");
  expectRejected(patched(30, 1), "run-length compressed");
  expectRejected(patched(26, 2), "two planes");
  expectRejected(patched(14, 12), "core header");
  expectRejected(patched(18, 0), "zero width");
  expectRejected(patched(21, 0x80), "negative width");
  expectRejected(patched(22, 0), "zero height");
  expectRejected(patched(10, 200), "pixels beyond the end");
  expectRejected(patched(10, 20), "pixels inside the headers");
  expectRejected(patched(24, 0x10), "huge height");
  std::vector<uint8_t> minHeight = good;
  minHeight[22] = 0;
  minHeight[23] = 0;
  minHeight[24] = 0;
  minHeight[25] = 0x80;
  expectRejected(minHeight, "height of -2^31");
}

}  // namespace
}  // namespace perchette
