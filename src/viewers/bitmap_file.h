// The Windows bitmap files the picture views write, byte for byte:
//   Screens 1-4 and the pattern view: 8-bit 256x192, 16 colours, file size 49270
//   Screen 5   4-bit 256xH,   16 colours, file size field 32886, 32886 bytes written
//   Screen 6   4-bit 512xH,   16 colours, file size 118 + 256H
//   Screen 7   4-bit 512xH,   16 colours, file size field 64886, 64886 bytes written
//   Screen 8   8-bit 256xH,  256 colours, file size field 1078 + 256H, 55350 bytes written
//   Screens 10, 11 and 12: 24-bit 256xH,  colour table present but unused (zeros), file size field
//              1078 + 768H, 163895 bytes written
// Rows bottom first; bytes after the last pixel row are zero.
#pragma once

#include <cstdint>
#include <vector>

#include "viewers/picture.h"

namespace quarnel::viewers {

enum class BitmapColours {
  // The colour table as the views store it: the default palette for the 16-colour modes, the
  // unscaled levels for screen 8 (the window applies the display palette after loading).
  AsStored,
  // The picture's display palette in the colour table, so that the file alone shows the
  // colours the user sees (file palettes, screen 8 full-range levels).
  AsDisplayed,
};

std::vector<std::uint8_t> EncodeScreenBitmap(const Picture& picture,
                                             BitmapColours colours = BitmapColours::AsStored);

}  // namespace quarnel::viewers
