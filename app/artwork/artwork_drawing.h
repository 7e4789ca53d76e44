#pragma once

// The program's button pictures, drawn at any scale. Portable: the build
// machine's generator draws the 1x bitmaps the resources carry with it, and
// the program draws the same pictures for monitors at other DPIs.
//
// Shapes are given in 1x units. A canvas of scale k has round(w * k) x
// round(h * k) pixels; each pixel is sampled S x S times, S = ceil(8 / k)
// kept within 4..16: 8 x 8 at 1x, as the shipped bitmaps were made, and
// about 64 samples per 1x pixel at any scale rather than 64 per device
// pixel, which made 2x three times slower.

#include <cstdint>
#include <functional>
#include <vector>

namespace artwork {

// --- the pictures -----------------------------------------------------------

enum class Picture {
  kRunScheduler,   // 32 x 32
  kRunHistory,     // 32 x 32
  kRunRecorder,    // 32 x 32
  kRemoveStation,  // a strip of two 25 x 25 frames: normal, then disabled
  kAddStation,     // the same
};

// Rows of a 24-bit top-down DIB: top row first, each `stride` bytes (a
// multiple of 4, padded with zeros), blue, green, red per pixel. A pixel less
// than half covered is the key colour magenta (255, 0, 255), which the window
// leaves transparent; a partly covered one is blended over a light grey.
struct Pixels {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<std::uint8_t> bgr;
};

// The picture at `scale` (device pixels per 1x pixel, > 0). A strip is
// always exactly two frames wide: 2 * round(25 * scale).
Pixels Draw(Picture which, double scale);

// --- the drawing kit, for the generator's icon as well -----------------------

struct Colour {
  double r = 0, g = 0, b = 0;
};

constexpr Colour Hex(std::uint32_t rgb) {
  return {static_cast<double>((rgb >> 16) & 0xff), static_cast<double>((rgb >> 8) & 0xff),
          static_cast<double>(rgb & 0xff)};
}

constexpr Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// One palette for everything.
inline constexpr Colour kWhite = Hex(0xFFFFFF);
inline constexpr Colour kBlueTop = Hex(0x4A8FD4), kBlueBottom = Hex(0x245F9E);
inline constexpr Colour kGreenTop = Hex(0x3DB07C), kGreenBottom = Hex(0x1E7A52);
inline constexpr Colour kGreyTop = Hex(0x6E6E6E), kGreyBottom = Hex(0x3C3C3C);
inline constexpr Colour kRed = Hex(0xE0352B), kRedDark = Hex(0xA81E17);
inline constexpr Colour kFace = Hex(0xDCDCDC);
inline constexpr Colour kDisabledDisc = Hex(0xB4B4B4), kDisabledMark = Hex(0xEEEEEE);

// A shape says whether a point (in 1x units) is inside, and holds every
// such point in its box, so that a fill samples only the pixels the box
// touches. A paint gives the colour at a point.
struct Shape {
  std::function<bool(double x, double y)> inside;
  double left, top, right, bottom;
};
using Paint = std::function<Colour(double x, double y)>;

// The number of device pixels a length of `units` 1x units takes.
int PixelsFor(double units, double scale);

class Canvas {
 public:
  // width x height device pixels, on which shapes are drawn at `scale`.
  Canvas(int width, int height, double scale = 1);
  int width() const { return w_; }
  int height() const { return h_; }
  double scale() const { return scale_; }

  // Paints the part of the canvas inside the shape.
  void Fill(const Shape& shape, const Paint& paint, double opacity = 1.0);
  void Fill(const Shape& shape, Colour c, double opacity = 1.0);

  // Straight colour and coverage 0..1.
  Colour At(int x, int y) const { return rgb_[y * w_ + x]; }
  double Alpha(int x, int y) const { return alpha_[y * w_ + x]; }

  // Copies another canvas in at device pixel (ox, oy).
  void Place(const Canvas& c, int ox, int oy);

 private:
  int w_, h_;
  double scale_;
  // Where in a pixel the samples fall, per axis: (s + 0.5) / S.
  std::vector<double> offsets_;
  std::vector<Colour> rgb_;
  std::vector<double> alpha_;
};

Shape Disc(double cx, double cy, double r);
Shape RoundRect(double x0, double y0, double x1, double y1, double r);
Shape Rect(double x0, double y0, double x1, double y1);
// A stroke of width w from (ax, ay) to (bx, by) with round ends.
Shape Line(double ax, double ay, double bx, double by, double w);
Shape Triangle(double ax, double ay, double bx, double by, double cx, double cy);
// Part of a ring between two angles (degrees, clockwise from twelve o'clock).
Shape Arc(double cx, double cy, double r, double w, double from, double to);
Paint Vertical(Colour top, Colour bottom, double y0, double y1);

// A colour channel rounded to a byte.
std::uint8_t Byte(double v);

// The canvas as Pixels, with the key colour and the blend over kFace.
Pixels Keyed(const Canvas& c);

}  // namespace artwork
