// The YJK modes: screen 12, and screens 10 and 11 (YJK with the attribute bit). 256 bytes a line
// in groups of 4 pixels; the low 3 bits of bytes 0 and 1 of a group are K (low bits first), of
// bytes 2 and 3 J, shared by the group's 4 pixels.
//   Screen 12: bits 7-3 of each byte are that pixel's Y.
//   Screens 10 and 11: bit 3 of a byte set shows palette colour (bits 7-4), the palette at
//   0xFA80; clear, a YJK pixel with Y = bits 7-4 times 2, in the VDP's arithmetic.
// The screen 12 view's own formula takes K and J as 5 magnitude bits and a sign bit, a negative
// value of magnitude m counting as -(31 - m); the VDP reads them as 6-bit two's complement.
#include <algorithm>
#include <array>

#include "core/rounding.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/vram_dump.h"

namespace quarnel::viewers {

namespace {

// 5-bit level to 8 bits, rounded to nearest with halves to even: red divides by 35 (full red is
// 226), green and blue by 31; `msx` divides every channel by 31 (the VDP's 5-bit levels).
struct Levels {
  std::array<std::uint8_t, 32> red{}, other{};
  constexpr Levels() {
    for (long v = 0; v < 32; ++v) {
      red[v] = static_cast<std::uint8_t>(RoundHalfEven(v * 255, 35));
      other[v] = static_cast<std::uint8_t>(RoundHalfEven(v * 255, 31));
    }
  }
};
constexpr Levels kLevels;

int Signed6(int low3, int high3) {
  const int v = (low3 & 7) | ((high3 & 7) << 3);
  return v >= 32 ? v - 64 : v;
}

}  // namespace

Rgb YjkPixel(int y, int k, bool kNeg, int j, bool jNeg) {
  int r = y, g = y, b = y + (y >> 2);
  if (kNeg) {
    g -= k ^ 31;
    b += (k ^ 31) >> 2;
  } else {
    g += k;
    b -= k >> 2;
  }
  if (jNeg) {
    r -= j ^ 31;
    b += (j ^ 31) >> 1;
  } else {
    r += j;
    b -= j >> 1;
  }
  r = std::clamp(r, 0, 31);
  g = std::clamp(g, 0, 31);
  b = std::clamp(b, 0, 31);
  return {kLevels.red[r], kLevels.other[g], kLevels.other[b]};
}

Rgb MsxYjkPixel(int y, int j, int k) {
  const int r = std::clamp(y + j, 0, 31);
  const int g = std::clamp(y + k, 0, 31);
  const int b = std::clamp((5 * y - 2 * j - k + 2) / 4, 0, 31);
  return {kLevels.other[r], kLevels.other[g], kLevels.other[b]};
}

PictureResult DecodeYjkMode(PictureMode mode, Bytes file, PictureOptions options) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const VramDump vram(file, *h);
  const int height = BitmapModeHeight(h->end);
  const bool attributes = mode != PictureMode::Screen12;
  const bool msx = attributes || options.msxColours;
  std::vector<Rgb> palette;
  if (attributes) palette = DumpPalette(vram, 0xFA80);

  Picture pic = BlankBitmap(mode, Picture::Format::Rgb, 256, height);
  for (long p = 0; p < height; ++p) {
    long skipped = 0;
    const Bytes line = vram.Span(p * 256, 256, skipped);
    std::uint8_t* row = &pic.pixels[static_cast<std::size_t>(p) * 256 * 3];
    // Complete groups only: a group the file holds part of stays black.
    const std::size_t first = static_cast<std::size_t>((4 - skipped % 4) % 4);
    for (std::size_t g = first; g + 4 <= line.size(); g += 4) {
      const std::uint8_t* q = &line[g];
      const std::size_t x = static_cast<std::size_t>(skipped) + g;
      for (int n = 0; n < 4; ++n) {
        Rgb c;
        if (attributes && (q[n] & 8)) {
          c = palette[q[n] >> 4];
        } else if (msx) {
          const int y = attributes ? (q[n] >> 4) << 1 : q[n] >> 3;
          c = MsxYjkPixel(y, Signed6(q[2], q[3]), Signed6(q[0], q[1]));
        } else {
          const int k = (q[0] & 7) + 8 * (q[1] & 3);
          const int j = (q[2] & 7) + 8 * (q[3] & 3);
          c = YjkPixel(q[n] >> 3, k, (q[1] & 4) != 0, j, (q[3] & 4) != 0);
        }
        row[3 * (x + n)] = c.r;
        row[3 * (x + n) + 1] = c.g;
        row[3 * (x + n) + 2] = c.b;
      }
    }
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
