#include "app/pictures/picture_win.h"

#include <cstring>
#include <optional>

#include "base/unique_handle_win.h"
#include "base/user_error.h"
#include "win/dpi_scale.h"
#include "win/gdi_handles_win.h"

namespace {

std::optional<bool> g_palette_mode;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw UserError("Cannot open file \"" + path + "\"");
  LARGE_INTEGER size{};
  // Pictures are small; anything that does not fit a DWORD read is refused.
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7fffffff) {
    throw UserError("Cannot read file \"" + path + "\"");
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got,
                  nullptr)) {
      throw UserError("Cannot read file \"" + path + "\"");
    }
    if (got == 0) break;  // the file shrank under us: keep what was there
    done += got;
  }
  data.resize(done);
  return data;
}

}  // namespace

bool JpegPicture::PaletteMode() {
  if (!g_palette_mode) {
    const ScopedGetDc screen(nullptr);
    const int bits =
        screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 24;
    g_palette_mode = bits <= 8;
  }
  return *g_palette_mode;
}

void JpegPicture::SetPaletteMode(bool on) { g_palette_mode = on; }

void JpegPicture::LoadFromFile(const std::string& path) {
  loaded_ = false;
  state_ = State::kEmpty;
  file_.clear();
  header_ = {};
  image_ = {};
  bitmap_info_.clear();

  std::vector<std::uint8_t> data = ReadWholeFile(path);
  // A 0-byte file loads; the decoder reports it at the first drawing.
  if (!data.empty()) header_ = jpeg::ReadHeader(data);
  file_ = std::move(data);
  loaded_ = true;
  state_ = State::kLoaded;
}

void JpegPicture::Draw(HDC dc, int x, int y, const RECT& clip, int dpi) {
  if (state_ == State::kLoaded) {
    // Whatever happens below, this picture is decoded at most once.
    state_ = State::kFailed;
    std::vector<std::uint8_t> data = std::move(file_);
    file_.clear();
    image_ = jpeg::Decode(data, PaletteMode());

    const std::size_t colours = image_.palette.size();
    bitmap_info_.assign(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = image_.width;
    header.biHeight = -image_.height;  // rows top first
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(image_.BitsPerPixel());
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(colours);
    std::memcpy(bitmap_info_.data(), &header, sizeof(header));
    for (std::size_t i = 0; i < colours; ++i) {
      RGBQUAD q{};
      q.rgbRed = image_.palette[i].red;
      q.rgbGreen = image_.palette[i].green;
      q.rgbBlue = image_.palette[i].blue;
      std::memcpy(bitmap_info_.data() + sizeof(header) + i * sizeof(RGBQUAD), &q, sizeof(q));
    }
    state_ = State::kDecoded;
  }
  if (state_ != State::kDecoded || image_.width <= 0 || image_.height <= 0) return;

  const ScopedSaveDc saved(dc);
  if (!saved.saved()) return;
  if (IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom) == ERROR) return;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bitmap_info_.data());
  if (dpi == kDesignDpi || dpi <= 0) {
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(image_.width), static_cast<DWORD>(image_.height),
                      0, 0, 0, static_cast<UINT>(image_.height), image_.pixels.data(), info,
                      DIB_RGB_COLORS);
    return;
  }
  // Averaged, not every n-th pixel: a photograph scaled down or up stays
  // smooth.
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, x, y, ScaleToDpi(image_.width, dpi), ScaleToDpi(image_.height, dpi), 0, 0,
                image_.width, image_.height, image_.pixels.data(), info, DIB_RGB_COLORS, SRCCOPY);
}
