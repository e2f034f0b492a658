#include "viewers/contact_sheet.h"

#include <algorithm>

#include "viewers/label_font.h"

namespace quarnel::viewers {

namespace {

constexpr int kCellWidth = 256;
constexpr int kCellHeight = 212;
constexpr int kGap = 8;
constexpr int kLabelGap = 4;
constexpr int kRowHeight = kCellHeight + kLabelGap + kLabelHeight + kGap;
constexpr Rgb kGround{40, 40, 40};
constexpr Rgb kText{230, 230, 230};

int DisplayWidth(const Picture& p) { return p.displayWidth > 0 ? p.displayWidth : p.width; }
int DisplayHeight(const Picture& p) { return p.displayHeight > 0 ? p.displayHeight : p.height; }

// Draws `p` at its display size (nearest pixel), at most a cell, with its top left at (x, y).
void Blit(Picture& sheet, const Picture& p, int x, int y) {
  const int w = std::min(DisplayWidth(p), kCellWidth);
  const int h = std::min(DisplayHeight(p), kCellHeight);
  if (p.width <= 0 || p.height <= 0) return;
  for (int dy = 0; dy < h; ++dy) {
    const int sy = static_cast<int>(static_cast<long>(dy) * p.height / DisplayHeight(p));
    for (int dx = 0; dx < w; ++dx) {
      const int sx = static_cast<int>(static_cast<long>(dx) * p.width / DisplayWidth(p));
      const Rgb c = p.ColourAt(sx, sy);
      const std::size_t at = (static_cast<std::size_t>(y + dy) * sheet.width + x + dx) * 3;
      sheet.pixels[at] = c.r;
      sheet.pixels[at + 1] = c.g;
      sheet.pixels[at + 2] = c.b;
    }
  }
}

}  // namespace

Picture BuildContactSheet(std::span<const SheetItem> items, int columns) {
  Picture sheet;
  sheet.format = Picture::Format::Rgb;
  if (items.empty() || columns <= 0) return sheet;
  const int n = static_cast<int>(items.size());
  const int cols = std::min(columns, n);
  const int rows = (n + cols - 1) / cols;
  sheet.width = sheet.displayWidth = kGap + cols * (kCellWidth + kGap);
  sheet.height = sheet.displayHeight = kGap + rows * kRowHeight;
  sheet.pixels.resize(static_cast<std::size_t>(sheet.width) * sheet.height * 3);
  for (std::size_t i = 0; i < sheet.pixels.size(); i += 3) {
    sheet.pixels[i] = kGround.r;
    sheet.pixels[i + 1] = kGround.g;
    sheet.pixels[i + 2] = kGround.b;
  }
  const std::size_t fits = kCellWidth / kLabelAdvance;
  for (int i = 0; i < n; ++i) {
    const int x = kGap + (i % cols) * (kCellWidth + kGap);
    const int y = kGap + (i / cols) * kRowHeight;
    const SheetItem& item = items[static_cast<std::size_t>(i)];
    if (item.picture) Blit(sheet, *item.picture, x, y);
    DrawLabel(sheet, x, y + kCellHeight + kLabelGap, std::string_view(item.label).substr(0, fits),
              kText);
  }
  return sheet;
}

}  // namespace quarnel::viewers
