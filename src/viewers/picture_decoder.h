// Decoders for BSAVE dumps of MSX video memory: screen 2, 5, 7, 8 and 12.
//
// Every decoder first checks the header: the first byte is 0xFE, the 7 header bytes are there
// and the end address is above the start address; otherwise it fails with kNotAPicture. Reads
// never leave the file: lines or bytes that a short file does not hold stay black (index 0).
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

// The header check shared by all picture decoders.
std::optional<BsaveHeader> CheckPictureHeader(Bytes file);

// Screen 5, 8 and 12 height: E = min(end, 0xD3FF); H = (max(E, 0xBFFF) + 256) / 256.
int BitmapModeHeight(std::uint16_t endAddress);

// A black picture of the bitmap modes that show 256 x 212 (screen 5, 8 and 12): `height` lines
// of 256 pixels, one byte per pixel (Indexed) or three (Rgb). The palette is left to the mode.
Picture BlankBitmapPicture(PictureMode mode, Picture::Format format, int height);

PictureResult DecodeScreen2(Bytes file);
PictureResult DecodeScreen5(Bytes file);
// The palette is taken from the file (offsets 0xFA80 + 2i) when it is at least 64159 bytes.
PictureResult DecodeScreen7(Bytes file);
PictureResult DecodeScreen8(Bytes file);
PictureResult DecodeScreen12(Bytes file);

PictureResult DecodePicture(PictureMode mode, Bytes file);

// One screen 12 pixel: Y (0-31), K and J magnitude bits (0-31) with their signs.
Rgb YjkPixel(int y, int k, bool kNeg, int j, bool jNeg);

// "sc2", "sc5", "sc7", "sc8", "sc12" (any case) to a mode.
std::optional<PictureMode> ParsePictureMode(std::string_view name);

}  // namespace quarnel::viewers
