#include "app/artwork/artwork_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

namespace {

using artwork::Draw;
using artwork::Picture;
using artwork::Pixels;

struct Bgr {
  std::uint8_t b, g, r;
  bool IsKey() const { return r == 255 && g == 0 && b == 255; }
  bool IsGrey() const { return r == g && g == b; }
};

Bgr At(const Pixels& p, int x, int y) {
  const std::uint8_t* q = p.bgr.data() + static_cast<std::size_t>(y) * p.stride + 3 * x;
  return {q[0], q[1], q[2]};
}

int Covered(const Pixels& p) {
  int n = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) n += !At(p, x, y).IsKey();
  }
  return n;
}

bool IsStrip(Picture p) { return p == Picture::kRemoveStation || p == Picture::kAddStation; }

const struct {
  const char* label;
  Picture picture;
} kPictures[] = {
    {"scheduler", Picture::kRunScheduler}, {"history", Picture::kRunHistory},
    {"recorder", Picture::kRunRecorder},   {"remove", Picture::kRemoveStation},
    {"add", Picture::kAddStation},
};

// FNV-1a of the rows of the bitmaps the resources have always carried, taken
// from the BMP files the generator wrote before it drew at other scales.
TEST(ArtworkDrawing, OneTimesIsTheShippedBitmapToTheByte) {
  const struct {
    Picture picture;
    int width, height;
    std::uint64_t digest;
  } rows[] = {
      {Picture::kRunScheduler, 32, 32, 0xa6a10eeb54b7e82f},
      {Picture::kRunHistory, 32, 32, 0xa621f3a609105ff7},
      {Picture::kRunRecorder, 32, 32, 0x001e73c46ec80dd6},
      {Picture::kRemoveStation, 50, 25, 0x4fc6c7bb96770704},
      {Picture::kAddStation, 50, 25, 0xdf5d79cb31a1f585},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const Pixels p = Draw(rows[i].picture, 1);
    ASSERT_EQ(p.width, rows[i].width);
    ASSERT_EQ(p.height, rows[i].height);
    ASSERT_EQ(p.bgr.size(), static_cast<std::size_t>(p.stride) * p.height);
    std::uint64_t digest = 0xcbf29ce484222325;
    for (std::uint8_t b : p.bgr) digest = (digest ^ b) * 0x100000001b3;
    EXPECT_EQ(digest, rows[i].digest);
  }
}

// Sizes at the scales Windows offers: a strip is two whole frames even where
// round(50 k) is not 2 round(25 k) (1.25, 2.5).
TEST(ArtworkDrawing, SizesFollowTheScaleAndStripsStayTwoFrames) {
  const struct {
    double scale;
    int run, frame;
  } rows[] = {
      {1, 32, 25}, {1.25, 40, 31}, {1.5, 48, 38}, {1.75, 56, 44},
      {2, 64, 50}, {2.5, 80, 63},  {3, 96, 75},
  };
  for (const auto& row : rows) {
    for (const auto& pic : kPictures) {
      SCOPED_TRACE(std::string(pic.label) + " at " + std::to_string(row.scale));
      const Pixels p = Draw(pic.picture, row.scale);
      EXPECT_EQ(p.width, IsStrip(pic.picture) ? 2 * row.frame : row.run);
      EXPECT_EQ(p.height, IsStrip(pic.picture) ? row.frame : row.run);
      EXPECT_EQ(p.stride % 4, 0);
      EXPECT_GE(p.stride, 3 * p.width);
      EXPECT_LT(p.stride, 3 * p.width + 4);
      ASSERT_EQ(p.bgr.size(), static_cast<std::size_t>(p.stride) * p.height);

      // Corners to the button face, middle filled, in every frame.
      const int frames = IsStrip(pic.picture) ? 2 : 1;
      const int w = p.width / frames;
      for (int f = 0; f < frames; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        EXPECT_TRUE(At(p, f * w, 0).IsKey());
        EXPECT_TRUE(At(p, f * w + w - 1, 0).IsKey());
        EXPECT_TRUE(At(p, f * w, p.height - 1).IsKey());
        EXPECT_TRUE(At(p, f * w + w - 1, p.height - 1).IsKey());
        EXPECT_FALSE(At(p, f * w + w / 2, p.height / 2).IsKey());
      }
    }
  }
}

// Drawn at the scale, not enlarged: the covered area grows with k squared,
// and at 2x edges fall inside 2 x 2 blocks, which a doubled 1x picture never
// has.
TEST(ArtworkDrawing, LargerScalesAreDrawnNotEnlarged) {
  for (const auto& pic : kPictures) {
    SCOPED_TRACE(pic.label);
    const double one = Covered(Draw(pic.picture, 1));
    for (double k : {1.5, 2.0}) {
      SCOPED_TRACE(k);
      EXPECT_NEAR(Covered(Draw(pic.picture, k)) / one, k * k, 0.04 * k * k);
    }
    const Pixels two = Draw(pic.picture, 2);
    int split_blocks = 0;
    for (int y = 0; y < two.height; y += 2) {
      for (int x = 0; x < two.width; x += 2) {
        const int keys = At(two, x, y).IsKey() + At(two, x + 1, y).IsKey() +
                         At(two, x, y + 1).IsKey() + At(two, x + 1, y + 1).IsKey();
        split_blocks += keys != 0 && keys != 4;
      }
    }
    EXPECT_GT(split_blocks, 0);
  }
}

// The same picture at 2x: each 2 x 2 block, averaged, is the 1x pixel within
// rounding wherever both are covered (a gradient or a shape not scaled with
// the rest is several levels off on average).
TEST(ArtworkDrawing, TwoTimesAveragesToOneTimes) {
  for (const auto& pic : kPictures) {
    SCOPED_TRACE(pic.label);
    const Pixels one = Draw(pic.picture, 1), two = Draw(pic.picture, 2);
    double difference = 0;
    int compared = 0;
    for (int y = 0; y < one.height; ++y) {
      for (int x = 0; x < one.width; ++x) {
        const Bgr block[] = {At(two, 2 * x, 2 * y), At(two, 2 * x + 1, 2 * y),
                             At(two, 2 * x, 2 * y + 1), At(two, 2 * x + 1, 2 * y + 1)};
        const Bgr c = At(one, x, y);
        if (c.IsKey() ||
            std::any_of(std::begin(block), std::end(block), [](Bgr b) { return b.IsKey(); })) {
          continue;
        }
        const auto mean = [&block](std::uint8_t Bgr::*channel) {
          return (block[0].*channel + block[1].*channel + block[2].*channel + block[3].*channel) /
                 4.0;
        };
        difference += std::fabs(mean(&Bgr::b) - c.b) + std::fabs(mean(&Bgr::g) - c.g) +
                      std::fabs(mean(&Bgr::r) - c.r);
        compared += 3;
      }
    }
    ASSERT_GT(compared, one.width * one.height);
    EXPECT_LT(difference / compared, 2.0);
  }
}

// The second frame is the disabled one, in greys only, at every scale.
TEST(ArtworkDrawing, StripsHaveTheNormalFrameThenTheDisabledOne) {
  for (const auto& pic : kPictures) {
    if (!IsStrip(pic.picture)) continue;
    for (double k : {1.0, 1.25, 1.5, 2.0}) {
      SCOPED_TRACE(std::string(pic.label) + " at " + std::to_string(k));
      const Pixels p = Draw(pic.picture, k);
      const int frame = p.width / 2;
      int coloured_normal = 0, coloured_disabled = 0;
      for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
          const Bgr c = At(p, x, y);
          if (c.IsKey() || c.IsGrey()) continue;
          ++(x < frame ? coloured_normal : coloured_disabled);
        }
      }
      EXPECT_GT(coloured_normal, frame * frame / 4);
      EXPECT_EQ(coloured_disabled, 0);
    }
  }
}

}  // namespace
