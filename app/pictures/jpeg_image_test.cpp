#include "app/pictures/jpeg_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/pictures/jpeg_test_support.h"
#include "base/user_error.h"

extern "C" {
#include <jerror.h>
}

namespace {

using Bytes = std::vector<std::uint8_t>;
using jpeg_test::Rgb;

// Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
Rgb Quadrants(int x, int y, int w, int h) {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (!right && !bottom) return {255, 0, 0};
  if (right && !bottom) return {0, 255, 0};
  if (!right) return {0, 0, 255};
  return {255, 255, 255};
}

Bytes QuadrantJpeg(int w, int h, bool progressive = false) {
  return jpeg_test::Encode(
      w, h, false, [=](int x, int y) { return Quadrants(x, y, w, h); }, 95, progressive);
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const UserError& e) {
    return e.what();
  }
  return "(no error)";
}

// The decoded colour at (x, y), whatever the layout.
Rgb PixelAt(const jpeg::Image& image, int x, int y) {
  const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.stride;
  if (!image.palette.empty()) {
    const jpeg::PaletteEntry& e = image.palette.at(row[x]);
    return {e.red, e.green, e.blue};
  }
  return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
}

void ExpectNear(Rgb got, Rgb want, int tolerance) {
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
}

TEST(JpegHeader, UnreadableHeadersGiveTheClassicErrorNumbers) {
  const struct {
    const char* label;
    Bytes data;
    const char* error;
  } rows[] = {
      {"empty input", {}, "JPEG error #42"},
      {"plain text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "JPEG error #53"},
      {"PNG signature", {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}, "JPEG error #53"},
      {"one FF byte", {0xff}, "JPEG error #53"},
      {"start marker only", {0xff, 0xd8}, "JPEG error #51"},
      {"scan before frame",
       {0xff, 0xd8, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00},
       "JPEG error #62"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { (void)jpeg::ReadHeader(row.data); }), row.error);
  }
}

TEST(JpegHeader, ReadsSizeAndKind) {
  const auto grey = [](int x, int) { return Rgb{static_cast<std::uint8_t>(x * 8), 0, 0}; };
  const struct {
    const char* label;
    Bytes data;
    int width, height, components;
    bool greyscale;
  } rows[] = {
      {"colour", QuadrantJpeg(37, 11), 37, 11, 3, false},
      {"progressive colour", QuadrantJpeg(8, 300, true), 8, 300, 3, false},
      {"greyscale", jpeg_test::Encode(20, 5, true, grey), 20, 5, 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const jpeg::Header h = jpeg::ReadHeader(row.data);
    EXPECT_EQ(h.width, row.width);
    EXPECT_EQ(h.height, row.height);
    EXPECT_EQ(h.components, row.components);
    EXPECT_EQ(h.greyscale, row.greyscale);
  }
}

TEST(JpegErrorNumbers, FollowTheClassicListByName) {
  const struct {
    const char* label;
    int code;
    int classic;
  } rows[] = {
      {"first error", JERR_BAD_ALIGN_TYPE, 2},
      {"before the empty input", JERR_IMAGE_TOO_BIG, 41},
      {"empty input", JERR_INPUT_EMPTY, 42},
      {"premature end", JERR_INPUT_EOF, 43},
      {"not a JPEG", JERR_NO_SOI, 53},
      {"out of memory", JERR_OUT_OF_MEMORY, 54},
      {"last error", JERR_XMS_WRITE, 72},
      {"newer than the classic list", JWRN_BOGUS_ICC, JWRN_BOGUS_ICC},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(jpeg::ClassicErrorNumber(row.code), row.classic);
  }
}

TEST(JpegDecode, ColoursLandWhereTheyWereDrawn) {
  // Odd widths make rows that need padding to a multiple of four bytes.
  const struct {
    const char* label;
    int width, height;
    bool palette_mode, progressive;
    int tolerance;
  } rows[] = {
      {"24-bit, even width", 32, 16, false, false, 12},
      {"24-bit, padded rows", 37, 21, false, false, 12},
      {"24-bit, progressive", 30, 18, false, true, 12},
      {"palette", 37, 21, true, false, 40},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const jpeg::Image image =
        jpeg::Decode(QuadrantJpeg(row.width, row.height, row.progressive), row.palette_mode);
    ASSERT_EQ(image.width, row.width);
    ASSERT_EQ(image.height, row.height);
    const int bytes = row.palette_mode ? 1 : 3;
    EXPECT_EQ(image.stride % 4, 0);
    EXPECT_GE(image.stride, row.width * bytes);
    EXPECT_LT(image.stride, row.width * bytes + 4);
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.stride) * row.height);
    EXPECT_EQ(image.BitsPerPixel(), row.palette_mode ? 8 : 24);
    // Sample away from the quadrant edges, including the last column.
    const int w = row.width, h = row.height;
    const int xs[] = {1, w / 4, w / 2 + 2, w - 1};
    const int ys[] = {1, h / 4, h / 2 + 2, h - 1};
    for (int y : ys) {
      for (int x : xs) {
        SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
        ExpectNear(PixelAt(image, x, y), Quadrants(x, y, w, h), row.tolerance);
      }
    }
  }
}

TEST(JpegDecode, PaletteHoldsAtMost236Colours) {
  // A picture of far more than 236 colours, and a grey ramp of 256 levels.
  const Bytes colourful = jpeg_test::Encode(64, 64, false, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
               static_cast<std::uint8_t>((x + y) * 2)};
  });
  const Bytes ramp = jpeg_test::Encode(256, 4, true, [](int x, int) {
    return Rgb{static_cast<std::uint8_t>(x), 0, 0};
  });
  const struct {
    const char* label;
    const Bytes& data;
    bool palette_mode;
  } rows[] = {
      {"colour in palette mode", colourful, true},
      {"greyscale in palette mode", ramp, true},
      {"greyscale always", ramp, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const jpeg::Image image = jpeg::Decode(row.data, row.palette_mode);
    ASSERT_FALSE(image.palette.empty());
    EXPECT_LE(image.palette.size(), 236u);
    std::set<int> used;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const int index = image.pixels[static_cast<std::size_t>(y) * image.stride + x];
        ASSERT_LT(index, static_cast<int>(image.palette.size()));
        used.insert(index);
      }
    }
    EXPECT_GT(used.size(), 100u) << "the picture lost its colours";
  }
  // The grey ramp stays a ramp: dark on the left, light on the right.
  const jpeg::Image grey = jpeg::Decode(ramp, false);
  EXPECT_NEAR(PixelAt(grey, 2, 1).r, 2, 6);
  EXPECT_NEAR(PixelAt(grey, 128, 1).r, 128, 6);
  EXPECT_NEAR(PixelAt(grey, 253, 1).r, 253, 6);
  EXPECT_EQ(PixelAt(grey, 128, 1).r, PixelAt(grey, 128, 1).b);
}

TEST(JpegDecode, DataCutShortDecodesWithAGreyRest) {
  const auto red = [](int, int) { return Rgb{200, 30, 30}; };
  const Bytes whole = jpeg_test::Encode(64, 64, false, red);
  const Bytes half = jpeg_test::CutHalfWayThroughTheScan(whole);
  for (bool palette_mode : {false, true}) {
    SCOPED_TRACE(palette_mode ? "palette" : "24-bit");
    const jpeg::Image image = jpeg::Decode(half, palette_mode);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 64);
    ExpectNear(PixelAt(image, 10, 2), {200, 30, 30}, 40);
    ExpectNear(PixelAt(image, 10, 62), {128, 128, 128}, 40);
  }
}

TEST(JpegDecode, FailuresAreUserErrors) {
  const Bytes good = QuadrantJpeg(64, 64);
  Bytes garbled = good;
  for (std::size_t i = garbled.size() / 3; i < garbled.size() - 2; i += 7) garbled[i] = 0xff;
  const struct {
    const char* label;
    Bytes data;
    std::size_t limit;
    const char* error;  // null: decoding may succeed, but must not throw anything else
  } rows[] = {
      {"empty input", {}, jpeg::kDefaultMemoryLimit, "JPEG error #42"},
      {"over the memory limit", good, 1000, "JPEG error #54"},
      {"progressive over the memory limit", QuadrantJpeg(512, 512, true), 1000000,
       "JPEG error #49"},
      {"garbled scan data", garbled, jpeg::kDefaultMemoryLimit, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    for (bool palette_mode : {false, true}) {
      const std::string error =
          ErrorOf([&] { (void)jpeg::Decode(row.data, palette_mode, row.limit); });
      if (row.error) {
        EXPECT_EQ(error, row.error);
      }
    }
  }
}

}  // namespace
