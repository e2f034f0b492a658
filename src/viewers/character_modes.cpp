// Screens 1 to 4: 24 rows of 32 character cells of 8 x 8 pixels, 256 x 192 in all.
//
// Screen 1: patterns at 0x0000 (8 bytes each), names at 0x1800, colour table at 0x2000 (one byte
// for every 8 patterns). Screens 2 and 4: three pattern and colour banks of 0x800 bytes at 0x0000
// and 0x2000, one per third of the screen; a name in third t selects pattern t x 256 + name.
// Screen 3: names at 0x0800; each name's pattern gives its cell 2 x 2 blocks of 4 x 4 pixels,
// two bytes per character row r (bytes 2 (r mod 4) and 2 (r mod 4) + 1), high nibble the left
// block's colour. Colour bytes: high nibble for set bits, low nibble for clear bits.
//
// When the file does not hold the whole name table the cells take the names MSX-BASIC's drawing
// layout gives them: screens 1, 2 and 4 cell n of a third shows pattern n, screen 3 cell (r, c)
// shows name (r / 4) x 32 + c. A screen 1 file without its colour table shows BASIC's colours
// (15 on 4). Pattern bytes (and screen 2 colour bytes) the file does not hold stay black.
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/vram_dump.h"

namespace quarnel::viewers {

namespace {

constexpr long kNames1 = 0x1800, kNames3 = 0x0800, kColours = 0x2000;
constexpr std::uint8_t kBasicScreen1Colours = 0xF4;

// The name of cell (row, col), from the table at `names` when the file holds all of it.
int NameOf(const VramDump& vram, bool held, long names, int row, int col, int fallback) {
  return held ? *vram.At(names + row * 32 + col) : fallback;
}

void PutPatternLine(Picture& pic, int x, int y, std::uint8_t pattern, std::uint8_t colours) {
  std::uint8_t* line = &pic.pixels[static_cast<std::size_t>(y) * 256 + x];
  const std::uint8_t fg = colours >> 4, bg = colours & 0x0F;
  for (int b = 0; b < 8; ++b) line[b] = (pattern >> (7 - b)) & 1 ? fg : bg;
}

void DrawScreen1(const VramDump& vram, Picture& pic) {
  const bool named = vram.HoldsAll(kNames1, kNames1 + 767);
  for (int row = 0; row < 24; ++row) {
    for (int col = 0; col < 32; ++col) {
      const int name = NameOf(vram, named, kNames1, row, col, (row * 32 + col) & 0xFF);
      const std::uint8_t colours = vram.At(kColours + name / 8).value_or(kBasicScreen1Colours);
      for (int j = 0; j < 8; ++j) {
        auto p = vram.At(name * 8L + j);
        if (p) PutPatternLine(pic, col * 8, row * 8 + j, *p, colours);
      }
    }
  }
}

void DrawScreen2(const VramDump& vram, Picture& pic, bool useNames) {
  const bool named = useNames && vram.HoldsAll(kNames1, kNames1 + 767);
  for (int row = 0; row < 24; ++row) {
    const long bank = (row / 8) * 0x800L;
    for (int col = 0; col < 32; ++col) {
      const int name = NameOf(vram, named, kNames1, row, col, ((row % 8) * 32 + col));
      for (int j = 0; j < 8; ++j) {
        const long at = bank + name * 8L + j;
        auto p = vram.At(at);
        auto c = vram.At(kColours + at);
        if (p && c) PutPatternLine(pic, col * 8, row * 8 + j, *p, *c);
      }
    }
  }
}

void DrawScreen3(const VramDump& vram, Picture& pic) {
  const bool named = vram.HoldsAll(kNames3, kNames3 + 767);
  for (int row = 0; row < 24; ++row) {
    for (int col = 0; col < 32; ++col) {
      const int name = NameOf(vram, named, kNames3, row, col, (row / 4) * 32 + col);
      for (int half = 0; half < 2; ++half) {
        auto b = vram.At(name * 8L + 2 * (row % 4) + half);
        if (!b) continue;
        for (int y = 0; y < 4; ++y) {
          std::uint8_t* line =
              &pic.pixels[static_cast<std::size_t>(row * 8 + half * 4 + y) * 256 + col * 8];
          for (int x = 0; x < 4; ++x) {
            line[x] = *b >> 4;
            line[x + 4] = *b & 0x0F;
          }
        }
      }
    }
  }
}

}  // namespace

PictureResult DecodeCharacterMode(PictureMode mode, Bytes file) {
  auto h = CheckPictureHeader(file);
  if (!h) return {std::nullopt, kNotAPicture};
  const VramDump vram(file, *h);

  Picture pic;
  pic.mode = mode;
  pic.format = Picture::Format::Indexed;
  pic.width = pic.displayWidth = 256;
  pic.height = pic.displayHeight = 192;
  pic.pixels.assign(256 * 192, 0);
  pic.palette.assign(DefaultMsxPalette().begin(), DefaultMsxPalette().end());

  switch (mode) {
    case PictureMode::Screen1:
      DrawScreen1(vram, pic);
      break;
    case PictureMode::Screen3:
      DrawScreen3(vram, pic);
      break;
    case PictureMode::Patterns:
      DrawScreen2(vram, pic, false);
      break;
    default:
      DrawScreen2(vram, pic, true);
      break;
  }
  return {std::move(pic), {}};
}

}  // namespace quarnel::viewers
