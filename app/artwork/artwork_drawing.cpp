#include "app/artwork/artwork_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artwork {

int PixelsFor(double units, double scale) { return static_cast<int>(std::lround(units * scale)); }

Canvas::Canvas(int width, int height, double scale)
    : w_(width),
      h_(height),
      scale_(scale),
      rgb_(static_cast<std::size_t>(width) * height),
      alpha_(static_cast<std::size_t>(width) * height, 0.0) {
  // 8 x 8 at 1x, the count the shipped bitmaps were made with; at k times
  // the size about 8 / k per axis still gives 64 samples per 1x pixel.
  const int samples = std::clamp(static_cast<int>(std::ceil(8 / scale)), 4, 16);
  for (int s = 0; s < samples; ++s) offsets_.push_back((s + 0.5) / samples);
}

void Canvas::Fill(const Shape& shape, const Paint& paint, double opacity) {
  const int samples = static_cast<int>(offsets_.size());
  // The pixels the box touches, and one more each side for rounding.
  const auto first = [this](double edge, int size) {
    return std::clamp(static_cast<int>(std::floor(edge * scale_)) - 1, 0, size);
  };
  const auto last = [this](double edge, int size) {
    return std::clamp(static_cast<int>(std::floor(edge * scale_)) + 1, -1, size - 1);
  };
  const int x0 = first(shape.left, w_), x1 = last(shape.right, w_);
  const int y0 = first(shape.top, h_), y1 = last(shape.bottom, h_);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      int hits = 0;
      for (double oy : offsets_) {
        for (double ox : offsets_) {
          if (shape.inside((x + ox) / scale_, (y + oy) / scale_)) ++hits;
        }
      }
      if (hits == 0) continue;
      const double a = opacity * hits / (samples * samples);
      const int i = y * w_ + x;
      const Colour c = paint((x + 0.5) / scale_, (y + 0.5) / scale_);
      // "Over" with straight (not premultiplied) colour.
      const double below = alpha_[i] * (1 - a);
      const double out = a + below;
      rgb_[i] = {(c.r * a + rgb_[i].r * below) / out, (c.g * a + rgb_[i].g * below) / out,
                 (c.b * a + rgb_[i].b * below) / out};
      alpha_[i] = out;
    }
  }
}

void Canvas::Fill(const Shape& shape, Colour c, double opacity) {
  Fill(
      shape, [c](double, double) { return c; }, opacity);
}

void Canvas::Place(const Canvas& c, int ox, int oy) {
  for (int y = 0; y < c.h_; ++y) {
    for (int x = 0; x < c.w_; ++x) {
      rgb_[(y + oy) * w_ + x + ox] = c.rgb_[y * c.w_ + x];
      alpha_[(y + oy) * w_ + x + ox] = c.alpha_[y * c.w_ + x];
    }
  }
}

// --- shapes ------------------------------------------------------------------

Shape Disc(double cx, double cy, double r) {
  return {[=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
          cx - r, cy - r, cx + r, cy + r};
}

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  return {[=](double x, double y) {
            if (x < x0 || x > x1 || y < y0 || y > y1) return false;
            const double cx = std::clamp(x, x0 + r, x1 - r);
            const double cy = std::clamp(y, y0 + r, y1 - r);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
          },
          x0, y0, x1, y1};
}

Shape Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0); }

Shape Line(double ax, double ay, double bx, double by, double w) {
  return {[=](double x, double y) {
            const double dx = bx - ax, dy = by - ay;
            const double t =
                std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            const double px = ax + t * dx - x, py = ay + t * dy - y;
            return px * px + py * py <= w * w / 4;
          },
          std::min(ax, bx) - w / 2, std::min(ay, by) - w / 2, std::max(ax, bx) + w / 2,
          std::max(ay, by) + w / 2};
}

Shape Triangle(double ax, double ay, double bx, double by, double cx, double cy) {
  return {[=](double x, double y) {
            auto side = [](double x0, double y0, double x1, double y1, double px, double py) {
              return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
            };
            const double d1 = side(ax, ay, bx, by, x, y);
            const double d2 = side(bx, by, cx, cy, x, y);
            const double d3 = side(cx, cy, ax, ay, x, y);
            return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
          },
          std::min({ax, bx, cx}), std::min({ay, by, cy}), std::max({ax, bx, cx}),
          std::max({ay, by, cy})};
}

Shape Arc(double cx, double cy, double r, double w, double from, double to) {
  const double outer = r + w / 2;
  return {[=](double x, double y) {
            const double d = std::hypot(x - cx, y - cy);
            if (std::fabs(d - r) > w / 2) return false;
            double a = std::atan2(x - cx, cy - y) * 180 / std::numbers::pi;
            if (a < 0) a += 360;
            return from <= to ? (a >= from && a <= to) : (a >= from || a <= to);
          },
          cx - outer, cy - outer, cx + outer, cy + outer};
}

Paint Vertical(Colour top, Colour bottom, double y0, double y1) {
  return [=](double, double y) {
    return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0, 1.0));
  };
}

std::uint8_t Byte(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

Pixels Keyed(const Canvas& c) {
  Pixels p;
  p.width = c.width();
  p.height = c.height();
  p.stride = (c.width() * 3 + 3) & ~3;
  p.bgr.assign(static_cast<std::size_t>(p.stride) * p.height, 0);
  for (int y = 0; y < c.height(); ++y) {
    std::uint8_t* row = p.bgr.data() + static_cast<std::size_t>(y) * p.stride;
    for (int x = 0; x < c.width(); ++x) {
      const double a = c.Alpha(x, y);
      const Colour k = a < 0.5 ? Colour{255, 0, 255} : Mix(kFace, c.At(x, y), a);
      *row++ = Byte(k.b);
      *row++ = Byte(k.g);
      *row++ = Byte(k.r);
    }
  }
  return p;
}

// --- the pictures ------------------------------------------------------------

namespace {

constexpr double kRunSize = 32;
constexpr double kFrameSize = 25;

Canvas RunCanvas(double scale) {
  const int side = PixelsFor(kRunSize, scale);
  return Canvas(side, side, scale);
}

// The rounded tile every run picture sits on, with a soft top highlight.
void Tile(Canvas& c, Colour top, Colour bottom) {
  const double s = kRunSize;
  c.Fill(RoundRect(1, 1, s - 1, s - 1, 6), Vertical(top, bottom, 1, s - 1));
  c.Fill(RoundRect(2, 2, s - 2, s / 2, 5), kWhite, 0.10);
}

Canvas Scheduler(double scale) {
  Canvas c = RunCanvas(scale);
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

Canvas History(double scale) {
  Canvas c = RunCanvas(scale);
  Tile(c, kGreenTop, kGreenBottom);
  // A clock whose rim turns back: an arrow running anticlockwise.
  const double cx = 16.5, cy = 16.5;
  c.Fill(Disc(cx, cy, 7.2), kWhite, 0.18);
  c.Fill(Arc(cx, cy, 8.5, 2.4, 300, 225), kWhite);
  // Arrow head at the open end (about ten o'clock), pointing up and back.
  const double a = 300 * std::numbers::pi / 180;
  const double ex = cx + 8.5 * std::sin(a), ey = cy - 8.5 * std::cos(a);
  c.Fill(Triangle(ex - 4.2, ey + 1.2, ex + 2.6, ey - 1.6, ex + 1.0, ey + 5.4), kWhite);
  c.Fill(Line(cx, cy, cx, cy - 5.2, 2.2), kWhite);
  c.Fill(Line(cx, cy, cx + 3.8, cy + 2.2, 2.2), kWhite);
  c.Fill(Disc(cx, cy, 1.6), kWhite);
  return c;
}

Canvas Recorder(double scale) {
  Canvas c = RunCanvas(scale);
  Tile(c, kGreyTop, kGreyBottom);
  c.Fill(Disc(16, 16, 10), kWhite, 0.9);
  c.Fill(Disc(16, 16, 8), Vertical(kRed, kRedDark, 8, 24));
  c.Fill(Disc(13.8, 13.2, 3), kWhite, 0.35);
  return c;
}

// A 25 x 25 round button glyph: a disc with a white bar (and a cross bar).
Canvas Sign(bool plus, bool enabled, double scale) {
  const int side = PixelsFor(kFrameSize, scale);
  Canvas c(side, side, scale);
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

// Drawn frame by frame rather than as one 50-unit canvas, so both frames
// have the same whole number of pixels and the window can cut the strip in
// two at any scale.
Canvas Strip(bool plus, double scale) {
  const Canvas normal = Sign(plus, true, scale);
  Canvas c(2 * normal.width(), normal.height(), scale);
  c.Place(normal, 0, 0);
  c.Place(Sign(plus, false, scale), normal.width(), 0);
  return c;
}

Canvas DrawCanvas(Picture which, double scale) {
  switch (which) {
    case Picture::kRunScheduler:
      return Scheduler(scale);
    case Picture::kRunHistory:
      return History(scale);
    case Picture::kRunRecorder:
      return Recorder(scale);
    case Picture::kRemoveStation:
      return Strip(false, scale);
    case Picture::kAddStation:
      break;
  }
  return Strip(true, scale);
}

}  // namespace

Pixels Draw(Picture which, double scale) { return Keyed(DrawCanvas(which, scale)); }

}  // namespace artwork
