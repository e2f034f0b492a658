// The bitmap modes with palette or fixed colours: screens 5, 6, 7 and 8. Line p of the picture is
// video memory from p x (bytes per line); the left pixel is in a byte's high bits.
//   Screen 5: 256 pixels, 128 bytes a line, 4 bits a pixel, palette at 0x7680.
//   Screen 6: 512 pixels, 128 bytes a line, 2 bits a pixel, palette at 0x7680 (entries 0-3).
//   Screen 7: 512 pixels, 256 bytes a line, 4 bits a pixel, palette at 0xFA80.
//   Screen 8: 256 pixels, 256 bytes a line, one byte a pixel: green bits 7-5, red 4-2, blue 1-0.
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/vram_dump.h"

namespace quarnel::viewers {

namespace {

struct NibbleShape {
  int width;
  long bytesPerLine;
  int bitsPerPixel;
  long paletteAddress;
};

NibbleShape ShapeOf(PictureMode mode) {
  switch (mode) {
    case PictureMode::Screen6:
      return {512, 128, 2, 0x7680};
    case PictureMode::Screen7:
      return {512, 256, 4, 0xFA80};
    default:
      return {256, 128, 4, 0x7680};
  }
}

}  // namespace

Picture BlankBitmap(PictureMode mode, Picture::Format format, int width, int height) {
  Picture pic;
  pic.mode = mode;
  pic.format = format;
  pic.width = width;
  pic.height = height;
  pic.displayWidth = 256;
  pic.displayHeight = 212;
  const std::size_t perPixel = format == Picture::Format::Rgb ? 3 : 1;
  pic.pixels.assign(static_cast<std::size_t>(width) * height * perPixel, 0);
  return pic;
}

PictureResult DecodeNibbleMode(PictureMode mode, Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const VramDump vram(file, *h);
  const NibbleShape s = ShapeOf(mode);
  const int height = BitmapModeHeight(h->end, static_cast<int>(s.bytesPerLine));
  Picture pic = BlankBitmap(mode, Picture::Format::Indexed, s.width, height);
  pic.palette = DumpPalette(vram, s.paletteAddress);

  const int perByte = 8 / s.bitsPerPixel;
  const int mask = (1 << s.bitsPerPixel) - 1;
  for (int p = 0; p < height; ++p) {
    long skipped = 0;
    const Bytes line = vram.Span(p * s.bytesPerLine, s.bytesPerLine, skipped);
    std::uint8_t* row = &pic.pixels[static_cast<std::size_t>(p) * s.width + skipped * perByte];
    for (std::uint8_t b : line) {
      for (int n = perByte - 1; n >= 0; --n) *row++ = (b >> (n * s.bitsPerPixel)) & mask;
    }
  }
  return {std::move(pic), {}};
}

PictureResult DecodeScreen8(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const VramDump vram(file, *h);
  const int height = BitmapModeHeight(h->end);
  Picture pic = BlankBitmap(PictureMode::Screen8, Picture::Format::Indexed, 256, height);
  pic.palette.resize(256);
  for (int i = 0; i < 256; ++i) {
    pic.palette[i] = {static_cast<std::uint8_t>(((i & 0x1C) * 8) * 255 / 224),
                      static_cast<std::uint8_t>((i & 0xE0) * 255 / 224),
                      static_cast<std::uint8_t>(((i & 3) * 64) * 255 / 192)};
  }
  for (int p = 0; p < height; ++p) {
    long skipped = 0;
    const Bytes line = vram.Span(p * 256L, 256, skipped);
    std::copy(line.begin(), line.end(), pic.pixels.begin() + p * 256 + skipped);
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
