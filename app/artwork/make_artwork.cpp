// Draws the program's artwork: the run-button pictures, the remove and add
// strips (normal and disabled frames side by side) as 24-bit BMPs, and the
// program icon. Runs on the build machine: make_artwork OUTPUT_DIR.
//
// Shapes are sampled 8 x 8 times per pixel. In the BMPs a pixel less than
// half covered is the key colour magenta (transparent to the window); a
// partly covered edge pixel is blended over a light button-face grey.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour Hex(std::uint32_t rgb) {
  return {static_cast<double>((rgb >> 16) & 0xff), static_cast<double>((rgb >> 8) & 0xff),
          static_cast<double>(rgb & 0xff)};
}

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// One palette for everything.
const Colour kWhite = Hex(0xFFFFFF);
const Colour kBlueTop = Hex(0x4A8FD4), kBlueBottom = Hex(0x245F9E);
const Colour kGreenTop = Hex(0x3DB07C), kGreenBottom = Hex(0x1E7A52);
const Colour kGreyTop = Hex(0x6E6E6E), kGreyBottom = Hex(0x3C3C3C);
const Colour kRed = Hex(0xE0352B), kRedDark = Hex(0xA81E17);
const Colour kFace = Hex(0xDCDCDC);
const Colour kDisabledDisc = Hex(0xB4B4B4), kDisabledMark = Hex(0xEEEEEE);

using Inside = std::function<bool(double x, double y)>;
using Paint = std::function<Colour(double x, double y)>;

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), rgb_(w * h), alpha_(w * h, 0.0) {}
  int width() const { return w_; }
  int height() const { return h_; }

  // Paints the part of the canvas inside the shape, sampled per pixel.
  void Fill(const Inside& inside, const Paint& paint, double opacity = 1.0) {
    constexpr int kSamples = 8;
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
          }
        }
        if (hits == 0) continue;
        const double a = opacity * hits / (kSamples * kSamples);
        const int i = y * w_ + x;
        const Colour c = paint(x + 0.5, y + 0.5);
        // "Over" with straight (not premultiplied) colour.
        const double below = alpha_[i] * (1 - a);
        const double out = a + below;
        rgb_[i] = {(c.r * a + rgb_[i].r * below) / out, (c.g * a + rgb_[i].g * below) / out,
                   (c.b * a + rgb_[i].b * below) / out};
        alpha_[i] = out;
      }
    }
  }
  void Fill(const Inside& inside, Colour c, double opacity = 1.0) {
    Fill(
        inside, [c](double, double) { return c; }, opacity);
  }

  // Straight colour and coverage 0..1.
  Colour At(int x, int y) const { return rgb_[y * w_ + x]; }
  double Alpha(int x, int y) const { return alpha_[y * w_ + x]; }

  // Copies another canvas in at (ox, oy).
  void Place(const Canvas& c, int ox, int oy) {
    for (int y = 0; y < c.h_; ++y) {
      for (int x = 0; x < c.w_; ++x) {
        rgb_[(y + oy) * w_ + x + ox] = c.rgb_[y * c.w_ + x];
        alpha_[(y + oy) * w_ + x + ox] = c.alpha_[y * c.w_ + x];
      }
    }
  }

 private:
  int w_, h_;
  std::vector<Colour> rgb_;
  std::vector<double> alpha_;
};

// --- shapes ------------------------------------------------------------------

Inside Disc(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside RoundRect(double x0, double y0, double x1, double y1, double r) {
  return [=](double x, double y) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = std::clamp(x, x0 + r, x1 - r);
    const double cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  };
}

Inside Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0); }

// A stroke of width w from (ax, ay) to (bx, by) with round ends.
Inside Line(double ax, double ay, double bx, double by, double w) {
  return [=](double x, double y) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double px = ax + t * dx - x, py = ay + t * dy - y;
    return px * px + py * py <= w * w / 4;
  };
}

Inside Triangle(double ax, double ay, double bx, double by, double cx, double cy) {
  return [=](double x, double y) {
    auto side = [](double x0, double y0, double x1, double y1, double px, double py) {
      return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
    };
    const double d1 = side(ax, ay, bx, by, x, y);
    const double d2 = side(bx, by, cx, cy, x, y);
    const double d3 = side(cx, cy, ax, ay, x, y);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
  };
}

// Part of a ring between two angles (degrees, clockwise from twelve o'clock).
Inside Arc(double cx, double cy, double r, double w, double from, double to) {
  return [=](double x, double y) {
    const double d = std::hypot(x - cx, y - cy);
    if (std::fabs(d - r) > w / 2) return false;
    double a = std::atan2(x - cx, cy - y) * 180 / M_PI;
    if (a < 0) a += 360;
    return from <= to ? (a >= from && a <= to) : (a >= from || a <= to);
  };
}

Paint Vertical(Colour top, Colour bottom, double y0, double y1) {
  return [=](double, double y) {
    return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0));
  };
}

// The rounded tile every run picture sits on, with a soft top highlight.
void Tile(Canvas& c, Colour top, Colour bottom) {
  const double s = c.width();
  c.Fill(RoundRect(1, 1, s - 1, s - 1, 6), Vertical(top, bottom, 1, s - 1));
  c.Fill(RoundRect(2, 2, s - 2, s / 2, 5), kWhite, 0.10);
}

// --- the pictures ------------------------------------------------------------

Canvas Scheduler() {
  Canvas c(32, 32);
  Tile(c, kBlueTop, kBlueBottom);
  // A calendar page: red head, white body, two binding rings, a grid of days.
  c.Fill(RoundRect(7, 9, 25, 25, 2), kWhite);
  c.Fill(RoundRect(7, 9, 25, 13.5, 2), kRed);
  c.Fill(Rect(7, 12, 25, 13.5), kRed);
  c.Fill(RoundRect(10.5, 6.5, 12.5, 11, 1), kWhite);
  c.Fill(RoundRect(19.5, 6.5, 21.5, 11, 1), kWhite);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) {
      const double x = 9 + col * 4, y = 15.5 + row * 4.5;
      c.Fill(Rect(x, y, x + 2.5, y + 2.5), row == 1 && col == 1 ? kRed : kBlueBottom);
    }
  }
  return c;
}

Canvas History() {
  Canvas c(32, 32);
  Tile(c, kGreenTop, kGreenBottom);
  // A clock whose rim turns back: an arrow running anticlockwise.
  const double cx = 16.5, cy = 16.5;
  c.Fill(Disc(cx, cy, 7.2), kWhite, 0.18);
  c.Fill(Arc(cx, cy, 8.5, 2.4, 300, 225), kWhite);
  // Arrow head at the open end (about ten o'clock), pointing up and back.
  const double a = 300 * M_PI / 180;
  const double ex = cx + 8.5 * std::sin(a), ey = cy - 8.5 * std::cos(a);
  c.Fill(Triangle(ex - 4.2, ey + 1.2, ex + 2.6, ey - 1.6, ex + 1.0, ey + 5.4), kWhite);
  c.Fill(Line(cx, cy, cx, cy - 5.2, 2.2), kWhite);
  c.Fill(Line(cx, cy, cx + 3.8, cy + 2.2, 2.2), kWhite);
  c.Fill(Disc(cx, cy, 1.6), kWhite);
  return c;
}

Canvas Recorder() {
  Canvas c(32, 32);
  Tile(c, kGreyTop, kGreyBottom);
  c.Fill(Disc(16, 16, 10), kWhite, 0.9);
  c.Fill(Disc(16, 16, 8), Vertical(kRed, kRedDark, 8, 24));
  c.Fill(Disc(13.8, 13.2, 3), kWhite, 0.35);
  return c;
}

// A 25 x 25 round button glyph: a disc with a white bar (and a cross bar).
Canvas Sign(bool plus, bool enabled) {
  Canvas c(25, 25);
  const Colour top = plus ? kGreenTop : Hex(0xE8574A);
  const Colour bottom = plus ? kGreenBottom : Hex(0xB52A1F);
  const double m = 12.5;
  if (enabled) {
    c.Fill(Disc(m, m, 8.5), Vertical(top, bottom, 4, 21));
    c.Fill(Disc(m, m - 3, 5.5), kWhite, 0.12);
  } else {
    c.Fill(Disc(m, m, 8.5), kDisabledDisc);
  }
  const Colour mark = enabled ? kWhite : kDisabledMark;
  c.Fill(RoundRect(m - 5, m - 1.25, m + 5, m + 1.25, 1), mark);
  if (plus) c.Fill(RoundRect(m - 1.25, m - 5, m + 1.25, m + 5, 1), mark);
  return c;
}

Canvas Strip(bool plus) {
  Canvas c(50, 25);
  c.Place(Sign(plus, true), 0, 0);
  c.Place(Sign(plus, false), 25, 0);
  return c;
}

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

std::uint8_t Byte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
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

// 24-bit BMP, rows bottom first; less than half covered pixels get the key.
std::vector<std::uint8_t> Bmp(const Canvas& c) {
  const int stride = (c.width() * 3 + 3) & ~3;
  const std::uint32_t image = static_cast<std::uint32_t>(stride * c.height());
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + image);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, c.width(), c.height(), 24, image);
  for (int y = c.height() - 1; y >= 0; --y) {
    for (int x = 0; x < c.width(); ++x) {
      const double a = c.Alpha(x, y);
      const Colour p = a < 0.5 ? Colour{255, 0, 255} : Mix(kFace, c.At(x, y), a);
      out.push_back(Byte(p.b));
      out.push_back(Byte(p.g));
      out.push_back(Byte(p.r));
    }
    for (int i = c.width() * 3; i < stride; ++i) out.push_back(0);
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
      {"run_scheduler.bmp", Bmp(Scheduler())},
      {"run_history.bmp", Bmp(History())},
      {"run_recorder.bmp", Bmp(Recorder())},
      {"remove_station.bmp", Bmp(Strip(false))},
      {"add_station.bmp", Bmp(Strip(true))},
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
