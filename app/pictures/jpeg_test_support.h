#pragma once

// Test-only: makes small JPEGs in memory with libjpeg's compressor.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace jpeg_test {

struct Rgb {
  std::uint8_t r, g, b;
};

// Pixel colour at (x, y); greyscale pictures use r only.
using PixelFn = std::function<Rgb(int x, int y)>;

inline std::vector<std::uint8_t> Encode(int width, int height, bool greyscale, const PixelFn& pixel,
                                        int quality = 95, bool progressive = false) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);  // errors here abort the test program
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = greyscale ? 1 : 3;
  cinfo.in_color_space = greyscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  // Full-resolution chroma, so colour edges stay where the test expects them.
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * cinfo.input_components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      const Rgb p = pixel(x, y);
      if (greyscale) {
        row[x] = p.r;
      } else {
        row[x * 3] = p.r;
        row[x * 3 + 1] = p.g;
        row[x * 3 + 2] = p.b;
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> data(out, out + size);
  std::free(out);
  return data;
}

// Keeps the headers and the first half of the data after the scan header.
inline std::vector<std::uint8_t> CutHalfWayThroughTheScan(const std::vector<std::uint8_t>& whole) {
  std::size_t sos = 0;
  for (std::size_t i = 2; i + 1 < whole.size() && sos == 0; ++i) {
    if (whole[i] == 0xff && whole[i + 1] == 0xda) sos = i;
  }
  return {whole.begin(),
          whole.begin() + static_cast<std::ptrdiff_t>(sos + (whole.size() - sos) / 2)};
}

}  // namespace jpeg_test
