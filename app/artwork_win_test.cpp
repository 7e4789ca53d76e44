#include <windows.h>

#include <gtest/gtest.h>

#include "app/artwork_ids.h"

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

}  // namespace
