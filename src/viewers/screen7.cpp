// Screen 7: 512 pixels per line, 256 bytes per line, two 4-bit pixels per byte, 212 lines read
// sequentially from file offset 7. A file of 64159 bytes or more carries its palette: 16 entries
// of 2 bytes at file offset 0xFA80 (first byte red << 4 | blue, second byte green, levels 0-7).
#include <algorithm>

#include "core/rounding.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"

namespace quarnel::viewers {

namespace {

constexpr std::size_t kPaletteOffset = 0xFA80;
constexpr std::size_t kPaletteFileSize = 64159;

std::uint8_t Level(long v) { return static_cast<std::uint8_t>(RoundHalfEven(v * 255, 7) & 0xFF); }

}  // namespace

PictureResult DecodeScreen7(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const long start = h->start;
  const long end = h->end;

  Picture pic;
  pic.mode = PictureMode::Screen7;
  pic.format = Picture::Format::Indexed;
  pic.width = 512;
  pic.height = 212;
  pic.displayWidth = 256;
  pic.displayHeight = 212;
  pic.pixels.assign(512 * 212, 0);
  pic.palette.assign(DefaultMsxPalette().begin(), DefaultMsxPalette().end());

  std::size_t pos = BsaveHeader::kSize;
  for (long p = 0; p < 212; ++p) {
    const long a = p * 256;
    if (a + 15 < start || a > end) continue;
    const std::size_t shift = static_cast<std::size_t>(std::max(a, start) & 0x0F);
    const std::size_t avail = pos < file.size() ? std::min<std::size_t>(256, file.size() - pos) : 0;
    const std::size_t count = std::min(avail, 256 - shift);
    std::uint8_t* row = &pic.pixels[static_cast<std::size_t>(p) * 512];
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t b = file[pos + i];
      row[2 * (shift + i)] = b >> 4;
      row[2 * (shift + i) + 1] = b & 0x0F;
    }
    pos += 256;
  }

  if (file.size() >= kPaletteFileSize) {
    // At exactly 64159 bytes the last entry's green byte is missing: that entry keeps its
    // default colour rather than being read past the end.
    for (std::size_t i = 0; i < 16; ++i) {
      auto rb = U8At(file, kPaletteOffset + 2 * i);
      auto g = U8At(file, kPaletteOffset + 2 * i + 1);
      if (!rb || !g) continue;
      pic.palette[i] = {Level(*rb >> 4), Level(*g), Level(*rb & 0x0F)};
    }
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
