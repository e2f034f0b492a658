#include "viewers/bitmap_file.h"

#include <algorithm>

#include "core/bytes.h"

namespace quarnel::viewers {

namespace {

struct BitmapShape {
  std::uint32_t sizeField;
  std::uint32_t bytesWritten;
  std::uint32_t pixelOffset;
  std::uint16_t bitsPerPixel;
  std::uint32_t coloursUsed;
};

BitmapShape ShapeOf(const Picture& p) {
  const auto h = static_cast<std::uint32_t>(p.height);
  switch (p.mode) {
    case PictureMode::Screen1:
    case PictureMode::Screen2:
    case PictureMode::Patterns:
    case PictureMode::Screen3:
    case PictureMode::Screen4:
      return {49270, 49270, 118, 8, 16};
    case PictureMode::Screen6:
      return {118 + 256 * h, 118 + 256 * h, 118, 4, 16};
    case PictureMode::Screen5:
      return {32886, 32886, 118, 4, 16};
    case PictureMode::Screen7:
      return {64886, 64886, 118, 4, 16};
    case PictureMode::Screen8:
      return {1078 + 256 * h, 55350, 1078, 8, 256};
    case PictureMode::Screen10:
    case PictureMode::Screen11:
    case PictureMode::Screen12:
      return {1078 + 768 * h, 163895, 1078, 24, 256};
  }
  return {0, 0, 0, 0, 0};
}

}  // namespace

std::vector<std::uint8_t> EncodeScreenBitmap(const Picture& p, BitmapColours colours) {
  const BitmapShape s = ShapeOf(p);
  const std::size_t rowBytes = static_cast<std::size_t>(p.width) * s.bitsPerPixel / 8;
  const std::size_t needed = s.pixelOffset + rowBytes * static_cast<std::size_t>(p.height);
  std::vector<std::uint8_t> out(std::max<std::size_t>(s.bytesWritten, needed), 0);
  MutableBytes m(out);

  out[0] = 'B';
  out[1] = 'M';
  PutLe32(m, 2, s.sizeField);
  PutLe32(m, 10, s.pixelOffset);
  PutLe32(m, 14, 40);
  PutLe32(m, 18, static_cast<std::uint32_t>(p.width));
  PutLe32(m, 22, static_cast<std::uint32_t>(p.height));
  PutLe16(m, 26, 1);
  PutLe16(m, 28, s.bitsPerPixel);
  PutLe32(m, 46, s.coloursUsed);

  // Colour table: blue, green, red, 0 per entry.
  auto put = [&](std::size_t i, Rgb c) {
    out[54 + 4 * i] = c.b;
    out[54 + 4 * i + 1] = c.g;
    out[54 + 4 * i + 2] = c.r;
  };
  const bool displayed = colours == BitmapColours::AsDisplayed;
  if (p.mode == PictureMode::Screen8) {
    for (std::size_t i = 0; i < 256; ++i) {
      if (displayed && i < p.palette.size()) {
        put(i, p.palette[i]);
      } else {
        put(i, {static_cast<std::uint8_t>((i & 0x1C) * 8), static_cast<std::uint8_t>(i & 0xE0),
                static_cast<std::uint8_t>((i & 3) * 64)});
      }
    }
  } else if (p.format == Picture::Format::Indexed) {
    for (std::size_t i = 0; i < 16; ++i) {
      put(i, displayed && i < p.palette.size() ? p.palette[i] : DefaultMsxPalette()[i]);
    }
  }

  // Pixels, bottom row first.
  for (int y = 0; y < p.height; ++y) {
    std::uint8_t* dst = &out[s.pixelOffset + rowBytes * static_cast<std::size_t>(p.height - 1 - y)];
    const std::size_t w = static_cast<std::size_t>(p.width);
    if (p.format == Picture::Format::Rgb) {
      const std::uint8_t* src = &p.pixels[3 * w * y];
      for (std::size_t x = 0; x < w; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
      }
    } else if (s.bitsPerPixel == 4) {
      const std::uint8_t* src = &p.pixels[w * y];
      for (std::size_t x = 0; x + 1 < w; x += 2) {
        dst[x / 2] = static_cast<std::uint8_t>(((src[x] & 0x0F) << 4) | (src[x + 1] & 0x0F));
      }
    } else {
      std::copy_n(&p.pixels[w * y], w, dst);
    }
  }
  return out;
}

}  // namespace quarnel::viewers
