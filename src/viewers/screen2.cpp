// Screen 2: pattern table at video address 0x0000, colour table at 0x2000; video address A is at
// file offset A + 7 whatever the start address. 24 rows of 32 cells of 8 x 8 pixels, each cell
// showing its own pattern (the layout MSX-BASIC sets up); the name table is not read.
#include <algorithm>

#include "viewers/messages.h"
#include "viewers/picture_decoder.h"

namespace quarnel::viewers {

PictureResult DecodeScreen2(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const long start = h->start;
  const long end = std::min<long>(h->end, 0xBFFF);

  Picture pic;
  pic.mode = PictureMode::Screen2;
  pic.format = Picture::Format::Indexed;
  pic.width = 256;
  pic.height = 192;
  pic.displayWidth = 256;
  pic.displayHeight = 192;
  pic.pixels.assign(256 * 192, 0);
  pic.palette.assign(DefaultMsxPalette().begin(), DefaultMsxPalette().end());

  for (long i = 0; i < 24; ++i) {
    const long rowAddr = i * 256;
    if (rowAddr + 15 < start || rowAddr > end) continue;
    for (long j = 0; j < 8; ++j) {
      std::uint8_t* line = &pic.pixels[static_cast<std::size_t>(i * 8 + j) * 256];
      for (long k = 0; k < 32; ++k) {
        const std::size_t patOff = static_cast<std::size_t>(rowAddr + k * 8 + j + 7);
        auto p = U8At(file, patOff);
        auto c = U8At(file, patOff + 0x2000);
        if (!p || !c) continue;  // a short file: this part of the cell stays black
        const std::uint8_t fg = *c >> 4, bg = *c & 0x0F;
        for (int b = 7; b >= 0; --b) line[k * 8 + (7 - b)] = (*p >> b) & 1 ? fg : bg;
      }
    }
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
