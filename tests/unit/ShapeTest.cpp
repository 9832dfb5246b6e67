#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "shape/QoiPicture.h"
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
  const DibPixels picture{4, 3, reinterpret_cast<const uint8_t*>(bits), 16, 4};
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
  // 24 bits per pixel, bottom-up rows padded to 4 bytes: white and red below, blue and white above.
  const uint8_t bottomUp[] = {0xFF, 0xFF, 0xFF, 0,    0,    0xFF, 0xEE, 0xEE,  //
                              0xFF, 0,    0,    0xFF, 0xFF, 0xFF, 0xEE, 0xEE};
  EXPECT_EQ(SpanRectangles(DibPixels{2, 2, bottomUp + 8, -8, 3}, 2, 2, kWhite, {0, 0}),
            (std::vector<SpanRect>{{0, 0, 1, 1}, {1, 1, 2, 2}}));
  // Only exact white is see-through, in either layout: magenta, and white short of one in green,
  // in red and in blue. At 24 bits bottom-up they lie below a white row.
  const uint32_t nearWhites[] = {0x00FF00FF, 0x00FFFEFF, 0x00FEFFFF, kDibNearWhite};
  EXPECT_EQ(SpanRectangles({4, 1, reinterpret_cast<const uint8_t*>(nearWhites), 16, 4}, 4, 1,
                           kWhite, {0, 0}),
            (std::vector<SpanRect>{{0, 0, 4, 1}}));
  const uint8_t nearWhites24[] = {
      0xFF, 0,    0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE, 0xFF, 0xFF,  // blue, green, red
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(SpanRectangles({4, 2, nearWhites24 + 12, -12, 3}, 4, 2, kWhite, {0, 0}),
            (std::vector<SpanRect>{{0, 1, 4, 2}}));
}

// A QOI file: the header ("qoif", the width and the height big-endian, 3 channels, sRGB), the
// chunks as given, and the end marker.
std::vector<uint8_t> Qoi(uint32_t width, uint32_t height, std::initializer_list<uint8_t> chunks) {
  std::vector<uint8_t> file = {'q', 'o', 'i', 'f'};
  for (const uint32_t side : {width, height}) {
    for (const int shift : {24, 16, 8, 0}) file.push_back(static_cast<uint8_t>(side >> shift));
  }
  file.insert(file.end(), {3, 0});
  file.insert(file.end(), chunks);
  file.insert(file.end(), {0, 0, 0, 0, 0, 0, 0, 1});
  return file;
}

TEST(QoiPictureSize, ReadsTheHeaderAndRefusesASideOf0OrAbove4096) {
  const std::vector<uint8_t> header = {'q', 'o', 'i', 'f', 0, 0, 1, 2, 0, 0, 0x0F, 0xA0, 3, 0};
  const std::optional<PictureSize> size = QoiPictureSize(header);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 258);
  EXPECT_EQ(size->height, 4000);
  EXPECT_TRUE(QoiPictureSize(Qoi(4096, 4096, {})).has_value());
  EXPECT_TRUE(QoiPictureSize(Qoi(1, 1, {})).has_value());
  const struct {
    const char* what;
    std::vector<uint8_t> file;
  } refused[] = {
      {"no width", Qoi(0, 1, {})},
      {"no height", Qoi(1, 0, {})},
      {"too wide", Qoi(4097, 1, {})},
      {"too high", Qoi(1, 4097, {})},
      {"a height of 2^32 - 1", Qoi(1, 0xFFFFFFFF, {})},
      {"a width with the top bit set", Qoi(0x80000001, 1, {})},
      {"a width of 2^16 + 1", Qoi(0x00010001, 1, {})},
      {"a height of 2^16 + 1", Qoi(1, 0x00010001, {})},
      {"signature", {'q', 'o', 'i', 'F', 0, 0, 0, 1, 0, 0, 0, 1, 3, 0}},
      {"header cut", std::vector<uint8_t>(header.begin(), header.end() - 1)},
  };
  for (const auto& c : refused) EXPECT_FALSE(QoiPictureSize(c.file).has_value()) << c.what;
}

TEST(DecodeQoiPicture, DecodesIntoPixelsOfExactlyThePicturesSize) {
  // A colour given, a run of one more, then each channel +1 (a small difference, 0x7F).
  const std::vector<uint8_t> file = Qoi(3, 1, {0xFE, 0x12, 0x34, 0x56, 0xC0, 0x7F});
  std::vector<uint8_t> pixels(12, 0xEE);
  ASSERT_TRUE(DecodeQoiPicture(file, pixels));
  EXPECT_EQ(pixels,
            (std::vector<uint8_t>{0x56, 0x34, 0x12, 0, 0x56, 0x34, 0x12, 0, 0x57, 0x35, 0x13, 0}));
  std::vector<uint8_t> fewer(8), more(16);
  EXPECT_FALSE(DecodeQoiPicture(file, fewer));
  EXPECT_FALSE(DecodeQoiPicture(file, more));
  EXPECT_FALSE(DecodeQoiPicture(Qoi(4097, 1, {}), std::span<uint8_t>{}));
  std::vector<uint8_t> fiveChannels = file;
  fiveChannels[12] = 5;
  EXPECT_FALSE(DecodeQoiPicture(fiveChannels, pixels));
  // The pixels are handed to one decode only: the next decodes again.
  ASSERT_TRUE(DecodeQoiPicture(file, pixels));
  EXPECT_EQ(pixels[8], 0x57);
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
