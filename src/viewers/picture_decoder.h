// Decoders for BSAVE dumps of MSX video memory: screens 1 to 8 and 10 to 12.
//
// Every decoder first checks the header: the first byte is 0xFE, the 7 header bytes are there
// and the end address is above the start address; otherwise it fails with kNotAPicture. The
// data is video memory from the start address on (see vram_dump.h). Tables and lines the file
// does not hold stay black (index 0); palettes the file does not hold are the default palette.
#pragma once

#include <optional>
#include <string_view>

#include "core/bytes.h"
#include "viewers/bsave_header.h"
#include "viewers/picture.h"

namespace quarnel::viewers {

struct PictureResult {
  std::optional<Picture> picture;  // set on success
  std::string_view message;        // kNotAPicture on failure

  bool ok() const { return picture.has_value(); }
};

struct PictureOptions {
  // Screen 12 in the VDP's own YJK arithmetic (MsxYjkPixel) instead of YjkPixel. Screens 10 and
  // 11 always use the VDP's arithmetic.
  bool msxColours = false;
};

// The header check shared by all picture decoders.
std::optional<BsaveHeader> CheckPictureHeader(Bytes file);

// The lines a bitmap mode shows: those the end address reaches into, `bytesPerLine` bytes each
// (128 for screens 5 and 6, 256 for 7, 8, 10, 11 and 12), at least 192 and at most 212.
int BitmapModeHeight(std::uint16_t endAddress, int bytesPerLine = 256);

PictureResult DecodePicture(PictureMode mode, Bytes file, PictureOptions options = {});

// The character modes (screens 1, 2, 3, 4 and the pattern view) and the bitmap modes.
PictureResult DecodeCharacterMode(PictureMode mode, Bytes file);
PictureResult DecodeNibbleMode(PictureMode mode, Bytes file);  // screens 5, 6, 7
PictureResult DecodeScreen8(Bytes file);
PictureResult DecodeYjkMode(PictureMode mode, Bytes file, PictureOptions options);  // 10, 11, 12

// One screen 12 pixel as the screen 12 view has always shown it: Y (0-31), K and J magnitude
// bits (0-31) with their signs.
Rgb YjkPixel(int y, int k, bool kNeg, int j, bool jNeg);
// One YJK pixel as the VDP makes it: Y 0-31, J and K -32..31; R = Y + J, G = Y + K,
// B = (5Y - 2J - K + 2) / 4, each clamped to 0-31 and scaled to 0-255.
Rgb MsxYjkPixel(int y, int j, int k);

// The command line's mode names (ModeKey, any case) to a mode.
std::optional<PictureMode> ParsePictureMode(std::string_view name);

}  // namespace quarnel::viewers
