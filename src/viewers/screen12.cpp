// Screen 12 (YJK): 256 bytes per line in groups of 4 pixels. Bits 7-3 of each byte are that
// pixel's Y; the low bits of the group carry K (bytes 0, 1) and J (bytes 2, 3), each 5 magnitude
// bits and a sign bit. A negative value of magnitude m counts as -(31 - m).
#include <algorithm>
#include <array>

#include "core/rounding.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"

namespace quarnel::viewers {

namespace {

// 5-bit level to 8 bits, rounded to nearest with halves to even: red divides by 35 (full red is
// 226), green and blue by 31.
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

PictureResult DecodeScreen12(Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const long start = h->start;
  const long e = std::min<long>(h->end, 0xD3FF);
  const int height = BitmapModeHeight(h->end);

  Picture pic = BlankBitmapPicture(PictureMode::Screen12, Picture::Format::Rgb, height);

  std::size_t pos = BsaveHeader::kSize;
  for (long p = 0; p < height; ++p) {
    const long a = p * 256;
    if (a + 255 < start || a > e) continue;
    const std::size_t avail = pos < file.size() ? std::min<std::size_t>(256, file.size() - pos) : 0;
    std::uint8_t* row = &pic.pixels[static_cast<std::size_t>(p) * 256 * 3];
    for (std::size_t g = 0; g + 4 <= avail; g += 4) {  // complete groups only
      const std::uint8_t* q = &file[pos + g];
      const int k = (q[0] & 7) + 8 * (q[1] & 3);
      const int j = (q[2] & 7) + 8 * (q[3] & 3);
      const bool kNeg = (q[1] & 4) != 0, jNeg = (q[3] & 4) != 0;
      for (int n = 0; n < 4; ++n) {
        const Rgb c = YjkPixel(q[n] >> 3, k, kNeg, j, jNeg);
        row[3 * (g + n)] = c.r;
        row[3 * (g + n) + 1] = c.g;
        row[3 * (g + n) + 2] = c.b;
      }
    }
    pos += 256;
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
