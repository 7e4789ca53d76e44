#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/pictures/jpeg_image.h"
#include "base/user_error.h"

// Decoding never crashes, and whatever decodes is a well-formed bitmap of
// the size its header gave.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  const std::span<const std::uint8_t> bytes(data, size);
  jpeg::Header header;
  try {
    header = jpeg::ReadHeader(bytes);
  } catch (const UserError&) {
    return 0;
  }
  for (bool palette_mode : {false, true}) {
    jpeg::Image image;
    try {
      image = jpeg::Decode(bytes, palette_mode, 16u << 20);
    } catch (const UserError&) {
      continue;
    }
    const bool indexed = palette_mode || header.greyscale;
    const int bytes_per_pixel = indexed ? 1 : 3;
    if (image.width != header.width || image.height != header.height) std::abort();
    if (indexed != !image.palette.empty()) std::abort();
    if (image.palette.size() > static_cast<std::size_t>(jpeg::kPaletteColours)) std::abort();
    if (image.stride % 4 != 0 || image.stride < image.width * bytes_per_pixel ||
        image.stride >= image.width * bytes_per_pixel + 4) {
      std::abort();
    }
    if (image.pixels.size() != static_cast<std::size_t>(image.stride) * image.height) std::abort();
    if (indexed) {
      for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
          if (image.pixels[static_cast<std::size_t>(y) * image.stride + x] >=
              image.palette.size()) {
            std::abort();
          }
        }
      }
    }
  }
  return 0;
}
