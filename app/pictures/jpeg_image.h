#pragma once

// Reading JPEG data with libjpeg: the header alone, or the whole picture
// decoded into the rows of a Windows device-independent bitmap. Portable;
// the window turns the rows into a DIB.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace jpeg {

struct Header {
  int width = 0;
  int height = 0;
  int components = 0;      // as stored: 1 for greyscale, 3 for colour, ...
  bool greyscale = false;  // decodes to one channel
};

struct PaletteEntry {
  std::uint8_t red = 0, green = 0, blue = 0;
};

// A decoded picture laid out as DIB rows, top row first. Each row is
// `stride` bytes (a multiple of 4): blue, green, red per pixel when
// `palette` is empty, else one index into `palette` per pixel.
struct Image {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<PaletteEntry> palette;

  int BitsPerPixel() const { return palette.empty() ? 24 : 8; }
};

inline constexpr int kPaletteColours = 236;
// Decodes larger than this many bytes of pixels (or of the decoder's own
// buffers) fail with the decoder's out-of-memory error instead of trying.
inline constexpr std::size_t kDefaultMemoryLimit = 256u << 20;

// Reads the header. Throws UserError("JPEG error #N") when it cannot be read.
Header ReadHeader(std::span<const std::uint8_t> data);

// Decodes the whole picture. With `palette_mode`, and always for a greyscale
// picture, reduces it to at most kPaletteColours colours with libjpeg's
// quantizer. Data cut short decodes as far as it goes (the decoder greys out
// the rest); warnings are not errors. Throws UserError("JPEG error #N").
Image Decode(std::span<const std::uint8_t> data, bool palette_mode,
             std::size_t memory_limit = kDefaultMemoryLimit);

// The number an error of this libjpeg build carries in the classic IJG
// message list, which the error texts show.
int ClassicErrorNumber(int library_code);

}  // namespace jpeg
