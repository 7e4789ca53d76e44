#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/artwork/artwork_ids.h"
#include "app/artwork/artwork_win.h"

namespace {

struct Bitmap {
  HBITMAP handle;
  ~Bitmap() {
    if (handle) DeleteObject(handle);
  }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

struct Picture {
  int width = 0, height = 0, bits = 0;
  std::vector<COLORREF> pixels;  // top row first

  COLORREF At(int x, int y) const { return pixels[y * width + x]; }
  bool IsKey(int x, int y) const { return At(x, y) == MORVELLE_ARTWORK_KEY; }
  int Covered() const {
    int n = 0;
    for (COLORREF c : pixels) n += c != MORVELLE_ARTWORK_KEY;
    return n;
  }
};

// The bitmap's size, depth and pixels as GetDIBits reads them.
Picture Read(HBITMAP bitmap) {
  Picture p;
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof(info), &info) == 0) return p;
  p.width = info.bmWidth;
  p.height = info.bmHeight;
  p.bits = info.bmBitsPixel;
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(request.bmiHeader);
  request.bmiHeader.biWidth = p.width;
  request.bmiHeader.biHeight = -p.height;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<RGBQUAD> quads(static_cast<std::size_t>(p.width) * p.height);
  HDC dc = GetDC(nullptr);
  const int lines = GetDIBits(dc, bitmap, 0, p.height, quads.data(), &request, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (lines != p.height) return Picture{};
  for (const RGBQUAD& q : quads) p.pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
  return p;
}

const struct {
  const char* label;
  int id;
  bool strip;
} kButtonBitmaps[] = {
    {"scheduler", IDB_RUN_SCHEDULER, false}, {"history", IDB_RUN_HISTORY, false},
    {"recorder", IDB_RUN_RECORDER, false},   {"remove", IDB_REMOVE_STATION, true},
    {"add", IDB_ADD_STATION, true},
};

bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

TEST(Artwork, BitmapsHaveTheirSizesAndATransparentKey) {
  const struct {
    const char* label;
    int id, width, height;
  } rows[] = {
      {"scheduler", IDB_RUN_SCHEDULER, 32, 32}, {"history", IDB_RUN_HISTORY, 32, 32},
      {"recorder", IDB_RUN_RECORDER, 32, 32},   {"remove", IDB_REMOVE_STATION, 50, 25},
      {"add", IDB_ADD_STATION, 50, 25},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Bitmap b{static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(row.id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))};
    ASSERT_NE(b.handle, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObjectA(b.handle, sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, row.width);
    EXPECT_EQ(info.bmHeight, row.height);
    EXPECT_EQ(info.bmBitsPixel, 24);
    // Every picture leaves its corners to the button face and fills its middle.
    EXPECT_EQ(PixelOf(b.handle, 0, 0), static_cast<COLORREF>(MORVELLE_ARTWORK_KEY));
    EXPECT_EQ(PixelOf(b.handle, row.width - 1, row.height - 1),
              static_cast<COLORREF>(MORVELLE_ARTWORK_KEY));
    EXPECT_NE(PixelOf(b.handle, row.height / 2, row.height / 2),
              static_cast<COLORREF>(MORVELLE_ARTWORK_KEY));
    if (row.width == 2 * MORVELLE_STRIP_FRAME_SIZE) {
      // Normal frame in colour, disabled frame in greys, both with their sign.
      const int m = MORVELLE_STRIP_FRAME_SIZE / 2;
      EXPECT_FALSE(IsGrey(PixelOf(b.handle, m - 6, m - 4)));
      EXPECT_TRUE(IsGrey(PixelOf(b.handle, MORVELLE_STRIP_FRAME_SIZE + m - 6, m - 4)));
      EXPECT_NE(PixelOf(b.handle, MORVELLE_STRIP_FRAME_SIZE + m, m),
                PixelOf(b.handle, MORVELLE_STRIP_FRAME_SIZE + m - 6, m - 4));
      EXPECT_EQ(PixelOf(b.handle, MORVELLE_STRIP_FRAME_SIZE + 1, 1),
                static_cast<COLORREF>(MORVELLE_ARTWORK_KEY));
    }
  }
}

TEST(Artwork, ProgramIconComesInSmallAndLargeSizes) {
  for (int size : {16, 32}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MORVELLE), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    ASSERT_NE(GetObjectA(info.hbmColor, sizeof(colour), &colour), 0);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Artwork, At96DpiTheBitmapsAreTheResources) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const auto& row : kButtonBitmaps) {
    for (int dpi : {96, 0}) {
      SCOPED_TRACE(std::string(row.label) + " at " + std::to_string(dpi));
      Bitmap resource{static_cast<HBITMAP>(
          LoadImageA(instance, MAKEINTRESOURCEA(row.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))};
      ScopedBitmap loaded = LoadArtworkAt(instance, row.id, dpi);
      ASSERT_TRUE(loaded);
      const Picture expected = Read(resource.handle), actual = Read(loaded.get());
      ASSERT_FALSE(expected.pixels.empty());
      EXPECT_EQ(actual.width, expected.width);
      EXPECT_EQ(actual.height, expected.height);
      EXPECT_EQ(actual.bits, 24);
      EXPECT_TRUE(actual.pixels == expected.pixels);
    }
  }
}

// At other DPIs each picture is drawn anew: sizes by the scale, a strip two
// equal frames, corners keyed and middles filled in every frame, and the
// covered area k squared times the 1x one (a picture drawn at 1x into the
// larger bitmap, or one of the wrong scale, misses that by far).
TEST(Artwork, AtOtherDpisThePicturesAreDrawnAtTheScale) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const struct { int dpi, run, frame; } scales[] = {{120, 40, 31}, {144, 48, 38}, {192, 64, 50}};
  for (const auto& row : kButtonBitmaps) {
    const Picture one = Read(LoadArtworkAt(instance, row.id, 96).get());
    ASSERT_GT(one.Covered(), 0) << row.label;
    for (const auto& scale : scales) {
      SCOPED_TRACE(std::string(row.label) + " at " + std::to_string(scale.dpi));
      ScopedBitmap bitmap = LoadArtworkAt(instance, row.id, scale.dpi);
      ASSERT_TRUE(bitmap);
      const Picture p = Read(bitmap.get());
      ASSERT_FALSE(p.pixels.empty());
      EXPECT_EQ(p.bits, 24);
      EXPECT_EQ(p.width, row.strip ? 2 * scale.frame : scale.run);
      EXPECT_EQ(p.height, row.strip ? scale.frame : scale.run);
      const int frames = row.strip ? 2 : 1;
      const int w = p.width / frames;
      for (int f = 0; f < frames; ++f) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(p.IsKey(f * w, 0));
        EXPECT_TRUE(p.IsKey(f * w + w - 1, p.height - 1));
        EXPECT_FALSE(p.IsKey(f * w + w / 2, p.height / 2));
      }
      const double k = scale.dpi / 96.0;
      EXPECT_NEAR(static_cast<double>(p.Covered()) / one.Covered(), k * k, 0.04 * k * k);
    }
  }
}

TEST(Artwork, OnlyButtonBitmapsAreDrawn) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    EXPECT_FALSE(LoadArtworkAt(instance, IDI_MORVELLE, dpi));
    EXPECT_FALSE(LoadArtworkAt(instance, 999, dpi));
  }
}

}  // namespace
