// Screen 8: one byte per pixel (bits 7-5 green, 4-2 red, 1-0 blue), 256 bytes per line, read
// sequentially from file offset 7; partial first and last lines at their true positions.
#include <algorithm>

#include "viewers/messages.h"
#include "viewers/picture_decoder.h"

namespace quarnel::viewers {

PictureResult DecodeScreen8(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const long start = h->start;
  const long e = std::min<long>(h->end, 0xD3FF);
  const int height = BitmapModeHeight(h->end);

  Picture pic = BlankBitmapPicture(PictureMode::Screen8, Picture::Format::Indexed, height);
  pic.palette.resize(256);
  for (int i = 0; i < 256; ++i) {
    pic.palette[i] = {static_cast<std::uint8_t>(((i & 0x1C) * 8) * 255 / 224),
                      static_cast<std::uint8_t>((i & 0xE0) * 255 / 224),
                      static_cast<std::uint8_t>(((i & 3) * 64) * 255 / 192)};
  }

  std::size_t pos = BsaveHeader::kSize;
  for (long p = 0; p < height; ++p) {
    const long a = p * 256;
    if (a + 255 < start || a > e) continue;
    const long from = std::max(a, start);
    const long to = std::min(a + 255, e);
    if (to < from) continue;
    const std::size_t want = static_cast<std::size_t>(to - from + 1);
    const std::size_t avail = pos < file.size() ? std::min(want, file.size() - pos) : 0;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(pos), avail,
                pic.pixels.begin() + p * 256 + (from & 0xFF));
    pos += want;
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
