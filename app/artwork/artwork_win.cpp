#include "app/artwork/artwork_win.h"

#include <cstring>
#include <optional>

#include "app/artwork/artwork_drawing.h"
#include "app/artwork/artwork_ids.h"

namespace {

std::optional<artwork::Picture> PictureFor(int id) {
  switch (id) {
    case IDB_RUN_SCHEDULER:
      return artwork::Picture::kRunScheduler;
    case IDB_RUN_HISTORY:
      return artwork::Picture::kRunHistory;
    case IDB_RUN_RECORDER:
      return artwork::Picture::kRunRecorder;
    case IDB_REMOVE_STATION:
      return artwork::Picture::kRemoveStation;
    case IDB_ADD_STATION:
      return artwork::Picture::kAddStation;
  }
  return std::nullopt;
}

}  // namespace

ScopedBitmap LoadArtworkAt(HINSTANCE instance, int id, int dpi) {
  if (dpi <= 0 || dpi == USER_DEFAULT_SCREEN_DPI) {
    return ScopedBitmap(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  }
  const std::optional<artwork::Picture> picture = PictureFor(id);
  if (!picture) return ScopedBitmap();
  const artwork::Pixels pixels =
      artwork::Draw(*picture, static_cast<double>(dpi) / USER_DEFAULT_SCREEN_DPI);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top row first, as Draw gives them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return ScopedBitmap();
  // Draw's rows are laid out as a 24-bit DIB's: DWORD-aligned, same stride.
  std::memcpy(bits, pixels.bgr.data(), pixels.bgr.size());
  return bitmap;
}
