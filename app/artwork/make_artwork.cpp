// Draws the program's artwork: the run-button pictures, the remove and add
// strips (normal and disabled frames side by side) as 24-bit BMPs, and the
// program icon. Runs on the build machine: make_artwork OUTPUT_DIR.
//
// The button pictures are the 1x drawings of artwork_drawing, which the
// program uses for other DPIs. The icon keeps its own sizes: 16 and 32.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/artwork/artwork_drawing.h"

namespace {

using artwork::Arc;
using artwork::Byte;
using artwork::Canvas;
using artwork::Colour;
using artwork::Disc;
using artwork::Draw;
using artwork::kGreyBottom;
using artwork::kGreyTop;
using artwork::kRed;
using artwork::kRedDark;
using artwork::kWhite;
using artwork::Picture;
using artwork::RoundRect;
using artwork::Vertical;

// The program icon: the top bar's dark grey with a red on-air dot sending
// white waves to both sides.
Canvas Icon(int size) {
  Canvas c(size, size);
  const double k = size / 32.0;
  c.Fill(RoundRect(1 * k, 1 * k, 31 * k, 31 * k, 6 * k), Vertical(kGreyTop, kGreyBottom, 0, size));
  const double m = 16 * k;
  c.Fill(Disc(m, m, 4 * k), Vertical(kRed, kRedDark, m - 4 * k, m + 4 * k));
  const double w = std::max(1.3, 2.2 * k);
  c.Fill(Arc(m, m, 8.5 * k, w, 235, 305), kWhite);
  c.Fill(Arc(m, m, 8.5 * k, w, 55, 125), kWhite);
  if (size >= 24) {
    c.Fill(Arc(m, m, 13 * k, w, 240, 300), kWhite);
    c.Fill(Arc(m, m, 13 * k, w, 60, 120), kWhite);
  }
  return c;
}

// --- files -------------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int w, int h, int bits, std::uint32_t image) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(w));
  Put32(out, static_cast<std::uint32_t>(h));
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, image);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

// 24-bit BMP, rows bottom first.
std::vector<std::uint8_t> Bmp(const artwork::Pixels& p) {
  const std::uint32_t image = static_cast<std::uint32_t>(p.stride * p.height);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + image);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, p.width, p.height, 24, image);
  for (int y = p.height - 1; y >= 0; --y) {
    const auto row = p.bgr.begin() + static_cast<std::ptrdiff_t>(y) * p.stride;
    out.insert(out.end(), row, row + p.stride);
  }
  return out;
}

// An icon file of 32-bit images with alpha, plus the AND masks older
// systems use.
std::vector<std::uint8_t> Ico(const std::vector<Canvas>& images) {
  std::vector<std::vector<std::uint8_t>> bodies;
  for (const Canvas& c : images) {
    const int mask_stride = ((c.width() + 31) / 32) * 4;
    std::vector<std::uint8_t> body;
    PutInfoHeader(
        body, c.width(), c.height() * 2, 32,
        static_cast<std::uint32_t>(c.width() * c.height() * 4 + mask_stride * c.height()));
    for (int y = c.height() - 1; y >= 0; --y) {
      for (int x = 0; x < c.width(); ++x) {
        const double a = c.Alpha(x, y);
        const Colour p = c.At(x, y);
        body.push_back(Byte(p.b));
        body.push_back(Byte(p.g));
        body.push_back(Byte(p.r));
        body.push_back(Byte(a * 255));
      }
    }
    for (int y = c.height() - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(static_cast<std::size_t>(mask_stride), 0);
      for (int x = 0; x < c.width(); ++x) {
        if (c.Alpha(x, y) < 0.5) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
      body.insert(body.end(), row.begin(), row.end());
    }
    bodies.push_back(std::move(body));
  }
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].width() % 256));
    out.push_back(static_cast<std::uint8_t>(images[i].height() % 256));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const auto& b : bodies) out.insert(out.end(), b.begin(), b.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  struct Output {
    const char* name;
    std::vector<std::uint8_t> data;
  };
  const Output outputs[] = {
      {"run_scheduler.bmp", Bmp(Draw(Picture::kRunScheduler, 1))},
      {"run_history.bmp", Bmp(Draw(Picture::kRunHistory, 1))},
      {"run_recorder.bmp", Bmp(Draw(Picture::kRunRecorder, 1))},
      {"remove_station.bmp", Bmp(Draw(Picture::kRemoveStation, 1))},
      {"add_station.bmp", Bmp(Draw(Picture::kAddStation, 1))},
      // The sizes the title bar, the task bar and Alt+Tab ask for; larger
      // views scale the 32-pixel one. A 48-pixel image would add 9.6 KB to
      // a program that is to stay under 300 KB.
      {"morvelle.ico", Ico({Icon(16), Icon(32)})},
  };
  for (const Output& o : outputs) {
    const std::string path = dir + "/" + o.name;
    if (!Write(path, o.data)) {
      std::fprintf(stderr, "make_artwork: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
