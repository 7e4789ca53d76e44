#include "app/pictures/picture_win.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/pictures/jpeg_test_support.h"
#include "base/user_error.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using jpeg_test::Rgb;

constexpr COLORREF kUntouched = RGB(0x12, 0x34, 0x56);

// A temporary folder of its own, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string base(MAX_PATH + 1, '\0');
    base.resize(GetTempPathA(static_cast<DWORD>(base.size()), base.data()));
    for (int i = 0; path_.empty(); ++i) {
      std::string p =
          base + "pic" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(i);
      if (CreateDirectoryA(p.c_str(), nullptr)) path_ = p + "\\";
    }
  }
  ~TempFolder() {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(path_.substr(0, path_.size() - 1).c_str());
  }
  std::string Write(const std::string& name, const Bytes& data) {
    const std::string p = path_ + name;
    HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!data.empty()) {
      EXPECT_TRUE(WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    }
    CloseHandle(h);
    files_.push_back(p);
    return p;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// A 24-bit drawing surface filled with kUntouched.
class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < w * h; ++i) bits_[i] = 0x123456;  // 0x00RRGGBB in a 32-bit DIB
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  bool Valid() const { return bits_ != nullptr; }
  Rgb At(int x, int y) const {
    GdiFlush();
    const std::uint32_t p = bits_[y * w_ + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
            static_cast<std::uint8_t>(p)};
  }
  bool Untouched(int x, int y) const {
    const Rgb p = At(x, y);
    return RGB(p.r, p.g, p.b) == kUntouched;
  }
  int CountUntouched() const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += Untouched(x, y);
    return n;
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const UserError& e) {
    return e.what();
  }
  return "";
}

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

// Red left half, blue right half.
Bytes Halves(int w, int h) {
  return jpeg_test::Encode(w, h, false, [w](int x, int) {
    return x < w / 2 ? Rgb{220, 20, 20} : Rgb{20, 20, 220};
  });
}

class PictureTest : public testing::Test {
 protected:
  void TearDown() override { JpegPicture::SetPaletteMode(false); }
  TempFolder folder_;
};

TEST_F(PictureTest, LoadingChecksTheHeaderAtOnce) {
  const struct {
    const char* label;
    Bytes data;
    const char* error;
    bool loaded;
  } rows[] = {
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, "JPEG error #53", false},
      {"empty file", {}, "", true},
      {"valid JPEG", Halves(8, 8), "", true},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string path = folder_.Write("load" + std::to_string(n++) + ".jpg", row.data);
    JpegPicture picture;
    EXPECT_EQ(ErrorOf([&] { picture.LoadFromFile(path); }), row.error);
    EXPECT_EQ(picture.Loaded(), row.loaded);
  }
  JpegPicture missing;
  EXPECT_NE(ErrorOf([&] { missing.LoadFromFile(folder_.path() + "none.jpg"); }), "");
  EXPECT_FALSE(missing.Loaded());
}

TEST_F(PictureTest, EmptyFileReportsOnceThenDrawsNothing) {
  JpegPicture picture;
  picture.LoadFromFile(folder_.Write("empty.jpg", {}));
  Surface s(16, 16);
  ASSERT_TRUE(s.Valid());
  const RECT clip{0, 0, 16, 16};
  EXPECT_EQ(ErrorOf([&] { picture.Draw(s.dc(), 0, 0, clip); }), "JPEG error #42");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ErrorOf([&] { picture.Draw(s.dc(), 0, 0, clip); }), "");
  }
  EXPECT_EQ(s.CountUntouched(), 16 * 16);
}

TEST_F(PictureTest, DrawsAtNaturalSizeFromTheCornerAndClips) {
  const struct {
    const char* label;
    bool palette_mode;
    int tolerance;
  } modes[] = {{"24-bit", false, 24}, {"palette", true, 48}};
  for (const auto& mode : modes) {
    SCOPED_TRACE(mode.label);
    JpegPicture::SetPaletteMode(mode.palette_mode);
    JpegPicture picture;
    picture.LoadFromFile(
        folder_.Write(std::string("halves_") + mode.label + ".jpg", Halves(40, 30)));
    EXPECT_EQ(picture.Width(), 40);
    EXPECT_EQ(picture.Height(), 30);

    // Placed at (5, 4) and clipped to a control of 20 x 12 there.
    Surface s(64, 48);
    ASSERT_TRUE(s.Valid());
    const RECT clip{5, 4, 25, 16};
    picture.Draw(s.dc(), 5, 4, clip);
    EXPECT_TRUE(Near(s.At(8, 8), {220, 20, 20}, mode.tolerance));
    EXPECT_TRUE(Near(s.At(23, 14), {220, 20, 20}, mode.tolerance));
    const struct {
      const char* where;
      int x, y;
    } outside[] = {{"left of the control", 4, 8},   {"above it", 8, 3},
                   {"right of the clip", 25, 8},    {"below the clip", 8, 16},
                   {"picture's blue half", 30, 10}, {"far corner", 44, 33}};
    for (const auto& o : outside) {
      SCOPED_TRACE(o.where);
      EXPECT_TRUE(s.Untouched(o.x, o.y));
    }
    EXPECT_EQ(s.CountUntouched(), 64 * 48 - 20 * 12);

    // Unclipped, the whole picture shows at its own size, not stretched.
    Surface full(64, 48);
    picture.Draw(full.dc(), 0, 0, RECT{0, 0, 64, 48});
    EXPECT_TRUE(Near(full.At(35, 25), {20, 20, 220}, mode.tolerance));
    EXPECT_TRUE(full.Untouched(40, 10));
    EXPECT_TRUE(full.Untouched(10, 30));
    EXPECT_EQ(full.CountUntouched(), 64 * 48 - 40 * 30);
  }
}

TEST_F(PictureTest, PaletteModeAndGreyscaleDrawAtMost236Colours) {
  const Bytes colourful = jpeg_test::Encode(64, 64, false, [](int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4),
               static_cast<std::uint8_t>(255 - x * 2)};
  });
  const Bytes ramp = jpeg_test::Encode(256, 8, true, [](int x, int) {
    return Rgb{static_cast<std::uint8_t>(x), 0, 0};
  });
  const struct {
    const char* label;
    const Bytes& data;
    bool palette_mode;
    bool reduced;
    int w, h;
  } rows[] = {
      {"colour, full colour display", colourful, false, false, 64, 64},
      {"colour, palette display", colourful, true, true, 64, 64},
      {"greyscale, full colour display", ramp, false, true, 256, 8},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    JpegPicture::SetPaletteMode(row.palette_mode);
    JpegPicture picture;
    picture.LoadFromFile(folder_.Write("colours" + std::to_string(n++) + ".jpg", row.data));
    Surface s(row.w, row.h);
    picture.Draw(s.dc(), 0, 0, RECT{0, 0, row.w, row.h});
    std::set<COLORREF> colours;
    for (int y = 0; y < row.h; ++y) {
      for (int x = 0; x < row.w; ++x) {
        const Rgb p = s.At(x, y);
        colours.insert(RGB(p.r, p.g, p.b));
      }
    }
    if (row.reduced) {
      EXPECT_LE(colours.size(), 236u);
      EXPECT_GT(colours.size(), 100u);
    } else {
      EXPECT_GT(colours.size(), 236u);
    }
  }
}

TEST_F(PictureTest, FileCutShortDrawsWithoutError) {
  const Bytes whole = Halves(64, 64);
  const Bytes half = jpeg_test::CutHalfWayThroughTheScan(whole);
  JpegPicture picture;
  picture.LoadFromFile(folder_.Write("half.jpg", half));
  Surface s(64, 64);
  EXPECT_EQ(ErrorOf([&] { picture.Draw(s.dc(), 0, 0, RECT{0, 0, 64, 64}); }), "");
  EXPECT_TRUE(Near(s.At(5, 2), {220, 20, 20}, 30));
  EXPECT_TRUE(Near(s.At(5, 62), {128, 128, 128}, 30));
  EXPECT_EQ(s.CountUntouched(), 0);
}

}  // namespace
