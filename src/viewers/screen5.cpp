// Screen 5: 128 bytes per line, two 4-bit pixels per byte (high nibble left), read sequentially
// from file offset 7. Height 192, or up to 212 when the end address reaches into 0xC000-0xD3FF.
#include <algorithm>

#include "viewers/messages.h"
#include "viewers/picture_decoder.h"

namespace quarnel::viewers {

PictureResult DecodeScreen5(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const long start = h->start;
  const long e = std::min<long>(h->end, 0xD3FF);
  const int height = BitmapModeHeight(h->end);

  Picture pic = BlankBitmapPicture(PictureMode::Screen5, Picture::Format::Indexed, height);
  pic.palette.assign(DefaultMsxPalette().begin(), DefaultMsxPalette().end());

  std::size_t pos = BsaveHeader::kSize;
  for (long p = 0; p < height; ++p) {
    const long a = p * 128;
    if (a + 15 < start || a > e) continue;
    // The line's 128 bytes are placed from byte (max(a, start) AND 0x0F) of the row; what would
    // run past the row's end is cut off.
    const std::size_t shift = static_cast<std::size_t>(std::max(a, start) & 0x0F);
    const std::size_t avail = pos < file.size() ? std::min<std::size_t>(128, file.size() - pos) : 0;
    const std::size_t count = std::min(avail, 128 - shift);
    std::uint8_t* row = &pic.pixels[static_cast<std::size_t>(p) * 256];
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t b = file[pos + i];
      row[2 * (shift + i)] = b >> 4;
      row[2 * (shift + i) + 1] = b & 0x0F;
    }
    pos += 128;
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
