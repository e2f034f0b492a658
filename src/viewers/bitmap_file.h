// The Windows bitmap files the picture views write, byte for byte:
//   Screen 2   8-bit 256x192, 16 colours, file size 49270
//   Screen 5   4-bit 256xH,   16 colours, file size field 32886, 32886 bytes written
//   Screen 7   4-bit 512x212, 16 colours, file size field 64886, 64886 bytes written
//   Screen 8   8-bit 256xH,  256 colours, file size field 1078 + 256H, 55350 bytes written
//   Screen 12 24-bit 256xH,  colour table present but unused (zeros), file size field
//              1078 + 768H, 163895 bytes written
// Rows bottom first; bytes after the last pixel row are zero.
#pragma once

#include <cstdint>
#include <vector>

#include "viewers/picture.h"

namespace quarnel::viewers {

enum class BitmapColours {
  // The colour table as the views store it: the default palette for screens 2, 5 and 7, the
  // unscaled levels for screen 8 (the window applies the display palette after loading).
  AsStored,
  // The picture's display palette in the colour table, so that the file alone shows the
  // colours the user sees (screen 7 file palettes, screen 8 full-range levels).
  AsDisplayed,
};

std::vector<std::uint8_t> EncodeScreenBitmap(const Picture& picture,
                                             BitmapColours colours = BitmapColours::AsStored);

}  // namespace quarnel::viewers
