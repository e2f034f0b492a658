#include "viewers/thumbnail.h"

#include <algorithm>
#include <cmath>

namespace quarnel::viewers {

Picture MakeThumbnail(const Picture& p, int boxWidth, int boxHeight) {
  Picture t;
  t.mode = p.mode;
  t.format = Picture::Format::Rgb;
  if (p.width <= 0 || p.height <= 0 || boxWidth <= 0 || boxHeight <= 0) return t;
  const std::size_t need =
      static_cast<std::size_t>(p.width) * p.height * (p.format == Picture::Format::Rgb ? 3 : 1);
  if (p.pixels.size() < need) return t;
  const double shownW = p.displayWidth > 0 ? p.displayWidth : p.width;
  const double shownH = p.displayHeight > 0 ? p.displayHeight : p.height;
  const double scale = std::min({boxWidth / shownW, boxHeight / shownH, 1.0});
  const int w = std::max(1, static_cast<int>(std::lround(shownW * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(shownH * scale)));
  t.width = t.displayWidth = w;
  t.height = t.displayHeight = h;
  t.pixels.resize(static_cast<std::size_t>(w) * h * 3);
  for (int ty = 0; ty < h; ++ty) {
    const int y0 = static_cast<int>(static_cast<long>(ty) * p.height / h);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long>(ty + 1) * p.height / h));
    for (int tx = 0; tx < w; ++tx) {
      const int x0 = static_cast<int>(static_cast<long>(tx) * p.width / w);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long>(tx + 1) * p.width / w));
      long r = 0, g = 0, b = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const Rgb c = p.ColourAt(x, y);
          r += c.r;
          g += c.g;
          b += c.b;
        }
      const long n = static_cast<long>(x1 - x0) * (y1 - y0);
      const std::size_t at = (static_cast<std::size_t>(ty) * w + tx) * 3;
      t.pixels[at] = static_cast<std::uint8_t>((r + n / 2) / n);
      t.pixels[at + 1] = static_cast<std::uint8_t>((g + n / 2) / n);
      t.pixels[at + 2] = static_cast<std::uint8_t>((b + n / 2) / n);
    }
  }
  return t;
}

}  // namespace quarnel::viewers
