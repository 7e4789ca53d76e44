#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/pictures/jpeg_image.h"

// A JPEG picture shown from a control's top-left corner, clipped, never
// stretched to fit or centred: at its natural size at 96 DPI, scaled by
// DPI / 96 at any other.
//
// Loading reads the header at once; the pixels are decoded on the first
// Draw and kept. A failing decode throws UserError ("JPEG error #N") from
// that one Draw; the picture then draws nothing for ever after, so a
// repaint never brings the error box back.
class JpegPicture {
 public:
  JpegPicture() = default;
  JpegPicture(const JpegPicture&) = delete;
  JpegPicture& operator=(const JpegPicture&) = delete;

  // Reads the file whole and its JPEG header. Throws UserError when the
  // file cannot be read or its header is not a JPEG header. A 0-byte file
  // loads: its first Draw reports the decoder's "empty input" error.
  // A failed load leaves the picture empty.
  void LoadFromFile(const std::string& path);

  bool Loaded() const { return loaded_; }
  // Natural size once loaded (0 x 0 for a 0-byte file).
  int Width() const { return header_.width; }
  int Height() const { return header_.height; }

  // Draws the picture with its top-left corner at (x, y), inside clip,
  // scaled by dpi / 96.
  void Draw(HDC dc, int x, int y, const RECT& clip, int dpi = 96);

  // Whether pictures are reduced to 236 colours in an 8-bit palette (a
  // greyscale picture always is). Measured from the screen the first time
  // it is asked for; the program asks at start-up. Tests force it.
  static bool PaletteMode();
  static void SetPaletteMode(bool on);

 private:
  enum class State { kEmpty, kLoaded, kDecoded, kFailed };

  bool loaded_ = false;
  State state_ = State::kEmpty;
  std::vector<std::uint8_t> file_;
  jpeg::Header header_;
  jpeg::Image image_;
  // BITMAPINFOHEADER followed by up to 256 colour-table entries.
  std::vector<std::uint8_t> bitmap_info_;
};
