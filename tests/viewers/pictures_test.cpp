#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "core/bytes.h"
#include "support/real_data.h"
#include "support/test_env.h"
#include "viewers/bitmap_file.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"
#include "viewers/vram_dump.h"

namespace quarnel::viewers {
namespace {

using Data = std::vector<std::uint8_t>;

// A BSAVE file: header, then `size` data bytes of `fill`.
Data Bsave(std::uint16_t start, std::uint16_t end, std::size_t size, std::uint8_t fill = 0) {
  Data d = {0xFE,
            static_cast<std::uint8_t>(start),
            static_cast<std::uint8_t>(start >> 8),
            static_cast<std::uint8_t>(end),
            static_cast<std::uint8_t>(end >> 8),
            0,
            0};
  d.resize(7 + size, fill);
  return d;
}

Picture Decode(PictureMode m, const Data& d) {
  auto r = DecodePicture(m, d);
  EXPECT_TRUE(r.ok());
  return r.ok() ? *r.picture : Picture{};
}

TEST(PictureHeader, RefusedFilesGiveTheMessage) {
  for (PictureMode m : AllPictureModes()) {
    Data ff = Bsave(0, 0x37FF, 100);
    ff[0] = 0xFF;
    for (const Data& d : {ff, Bsave(0x100, 0x100, 10), Bsave(0x200, 0x100, 10),
                          Data{0xFE, 0, 0, 0xFF, 0x37, 0}, Data{}}) {
      auto r = DecodePicture(m, d);
      EXPECT_FALSE(r.ok());
      EXPECT_EQ(r.message, kNotAPicture);
    }
    // A header that promises more than the file holds, or a start address that puts every table
    // outside the file, still decodes: black where data is missing.
    for (const Data& d : {Bsave(0, 0xD3FF, 0), Bsave(0xFF00, 0xFFFF, 0x100, 0xFF),
                          Bsave(0xD400, 0xF9FF, 0x2600, 0xFF)}) {
      auto r = DecodePicture(m, d);
      ASSERT_TRUE(r.ok());
      for (std::uint8_t v : r.picture->pixels) ASSERT_EQ(v, 0) << ModeKey(m);
    }
  }
}

TEST(Screen2, CellPatternAndColourBytes) {
  Data d = Bsave(0, 0x37FF, 0x3800);
  d[7] = 0x81;           // pattern byte of cell (0,0), pixel row 0
  d[7 + 0x2000] = 0xF4;  // its colour byte
  const Picture p = Decode(PictureMode::Screen2, d);
  ASSERT_EQ(p.width, 256);
  ASSERT_EQ(p.height, 192);
  EXPECT_EQ(p.IndexAt(0, 0), 15);
  for (int x = 1; x < 7; ++x) EXPECT_EQ(p.IndexAt(x, 0), 4);
  EXPECT_EQ(p.IndexAt(7, 0), 15);
  EXPECT_EQ(p.palette[11], (Rgb{219, 219, 57}));
  EXPECT_EQ(p.palette[4], (Rgb{36, 36, 255}));
}

TEST(Screen2, AddressRangeSelectsCharacterRows) {
  // The data is video memory from the start address on: with start 0x0010 the first data byte is
  // address 0x0010, the third pattern of character row 0.
  Data d = Bsave(0x0010, 0x37FF, 0x3800 - 0x10, 0x00);
  for (std::size_t i = 7 + 0x2000 - 0x10; i < d.size(); ++i) d[i] = 0x22;  // background 2
  for (std::size_t i = 7 + 0x1800 - 0x10; i < 7 + 0x1B00 - 0x10; ++i) d[i] = 0;
  for (int n = 0; n < 256; ++n) d[7 + 0x1800 - 0x10 + n] = static_cast<std::uint8_t>(n);
  Picture p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 0), 0);   // pattern 0: addresses 0x0000-0x0007 are not in the file
  EXPECT_EQ(p.IndexAt(8, 0), 0);   // pattern 1 neither
  EXPECT_EQ(p.IndexAt(16, 0), 2);  // pattern 2 is
  EXPECT_EQ(p.IndexAt(0, 8), 2);
  // A file cut short inside the colour table: no read outside, the rest stays black.
  d.resize(7 + 0x2000 - 0x10 + 100);
  p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 8), 0);
}

TEST(Screen5, HeightAndLinePlacement) {
  // Lines of 128 bytes: a full dump (end 0x69FF) shows all 212 lines.
  EXPECT_EQ(Decode(PictureMode::Screen5, Bsave(0, 0x69FF, 0x6A00)).height, 212);
  EXPECT_EQ(Decode(PictureMode::Screen5, Bsave(0, 0xD3FF, 0x6A00)).height, 212);
  EXPECT_EQ(BitmapModeHeight(0xBFFF), 192);
  EXPECT_EQ(BitmapModeHeight(0xC000), 193);
  EXPECT_EQ(BitmapModeHeight(0xFFFF), 212);

  // Start 0x0008: the first byte is address 8, 16 pixels into line 0, and so are the lines
  // after it (video memory is contiguous).
  Data d = Bsave(0x0008, 0x69FF, 0x6A00 - 8, 0x12);
  Picture p = Decode(PictureMode::Screen5, d);
  EXPECT_EQ(p.IndexAt(15, 0), 0);
  EXPECT_EQ(p.IndexAt(16, 0), 1);
  EXPECT_EQ(p.IndexAt(17, 0), 2);
  EXPECT_EQ(p.IndexAt(0, 1), 1);
  d[1] = 0x80;  // start 0x0080 leaves line 0 out
  p = Decode(PictureMode::Screen5, d);
  EXPECT_EQ(p.IndexAt(100, 0), 0);
  EXPECT_EQ(p.IndexAt(0, 1), 1);
}

TEST(BitmapModes, HeightFollowsTheLinesTheEndAddressReaches) {
  struct Case {
    PictureMode mode;
    std::uint16_t end;
    int height;
  };
  const Case cases[] = {
      {PictureMode::Screen5, 0x5FFF, 192},  {PictureMode::Screen5, 0x6000, 193},
      {PictureMode::Screen5, 0x69FF, 212},  {PictureMode::Screen5, 0x769F, 212},
      {PictureMode::Screen6, 0x69FF, 212},  {PictureMode::Screen6, 0x607F, 193},
      {PictureMode::Screen7, 0xBFFF, 192},  {PictureMode::Screen7, 0xD3FF, 212},
      {PictureMode::Screen7, 0xFA9F, 212},  {PictureMode::Screen8, 0xC000, 193},
      {PictureMode::Screen11, 0xD3FF, 212}, {PictureMode::Screen12, 0xBFFF, 192},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.mode, Bsave(0, c.end, 10)).height, c.height)
        << ModeKey(c.mode) << " " << c.end;
  }
}

// One byte of video memory at an address of the mode's bitmap, in files that start elsewhere
// than 0: the byte is at file offset 7 + address - start.
TEST(BitmapModes, PixelsAreVideoMemoryFromTheStartAddress) {
  struct Case {
    PictureMode mode;
    std::uint16_t start;
    std::uint16_t address;
    std::uint8_t value;
    int x, y;
    std::vector<std::uint8_t> indices;  // of pixels x, x+1, ...
  };
  const Case cases[] = {
      {PictureMode::Screen5, 0x0080, 0x0083, 0x12, 6, 1, {1, 2}},
      {PictureMode::Screen6, 0x0080, 0x0081, 0xE4, 4, 1, {3, 2, 1, 0}},
      {PictureMode::Screen7, 0x0100, 0x0103, 0x12, 6, 1, {1, 2}},
      {PictureMode::Screen8, 0x0100, 0x0105, 0x55, 5, 1, {0x55}},
      {PictureMode::Screen8, 0x0110, 0x0110, 0x66, 16, 1, {0x66}},
  };
  for (const Case& c : cases) {
    Data d = Bsave(c.start, 0xD3FF, 0x400);
    d[7 + c.address - c.start] = c.value;
    const Picture p = Decode(c.mode, d);
    for (std::size_t i = 0; i < c.indices.size(); ++i)
      EXPECT_EQ(p.IndexAt(c.x + static_cast<int>(i), c.y), c.indices[i]) << ModeKey(c.mode);
    EXPECT_EQ(p.IndexAt(c.x, 0), 0) << ModeKey(c.mode);  // line 0 is not in the file
  }
}

TEST(Screen7, FilePaletteAndDefaultColours) {
  Data d = Bsave(0, 0xFA9F, 0xFAA0);
  d[7 + 0xFA80] = 0x70;
  d[7 + 0xFA81] = 0x00;
  d[7 + 0xFA82] = 0x00;
  d[7 + 0xFA83] = 0x07;
  Picture p = Decode(PictureMode::Screen7, d);
  EXPECT_EQ(p.width, 512);
  EXPECT_EQ(p.height, 212);
  EXPECT_EQ(p.displayWidth, 256);
  EXPECT_EQ(p.palette[0], (Rgb{255, 0, 0}));
  EXPECT_EQ(p.palette[1], (Rgb{0, 255, 0}));
  EXPECT_EQ(p.palette[15], (Rgb{0, 0, 0}));  // the file's entry 15: all levels 0
  // The VDP takes 3 bits a level: bit 7 (and bit 3) of the first byte are ignored.
  d[7 + 0xFA80] = 0xF8;
  EXPECT_EQ(Decode(PictureMode::Screen7, d).palette[0], (Rgb{255, 0, 0}));
  // A file one byte short of the table: the default colours.
  d.resize(d.size() - 1);
  EXPECT_EQ(Decode(PictureMode::Screen7, d).palette[0], (Rgb{0, 0, 0}));
  EXPECT_EQ(Decode(PictureMode::Screen7, d).palette[15], (Rgb{255, 255, 255}));
}

// A palette entry in the file's table changes exactly the colour of the pixels that use it, in
// every mode with a palette in video memory, whatever the start address.
TEST(FilePalettes, AnEntryChangesThePixelsThatUseIt) {
  struct Case {
    PictureMode mode;
    std::uint16_t start;
    long table;
    long line;                         // bytes per line
    std::vector<std::uint8_t> pixels;  // first bytes of the first line held
    int x0, x1;                        // a pixel of entry 3, a pixel of another entry
  };
  const Case cases[] = {
      {PictureMode::Screen5, 0x0000, 0x7680, 128, {0x34}, 0, 1},
      {PictureMode::Screen6, 0x0000, 0x7680, 128, {0xE4}, 0, 1},
      {PictureMode::Screen7, 0x4000, 0xFA80, 256, {0x34}, 0, 1},
      {PictureMode::Screen10, 0x0000, 0xFA80, 256, {0x38, 0x48, 0x38, 0x38}, 0, 1},
      {PictureMode::Screen11, 0x1000, 0xFA80, 256, {0x38, 0x48, 0x38, 0x38}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ModeKey(c.mode));
    Data d = Bsave(c.start, static_cast<std::uint16_t>(c.table + 31),
                   static_cast<std::size_t>(c.table + 32 - c.start));
    std::copy(c.pixels.begin(), c.pixels.end(), d.begin() + 7);
    const Picture plain = Decode(c.mode, d);
    d[7 + c.table - c.start + 6] = 0x70;  // entry 3: red 7, blue 0
    d[7 + c.table - c.start + 7] = 0x00;  // green 0
    const Picture red = Decode(c.mode, d);
    const int y = static_cast<int>(c.start / c.line);
    EXPECT_EQ(red.ColourAt(c.x0, y), (Rgb{255, 0, 0}));
    EXPECT_EQ(red.ColourAt(c.x1, y), plain.ColourAt(c.x1, y));
    EXPECT_NE(red.ColourAt(c.x1, y), (Rgb{255, 0, 0}));
    // One byte short of the table: the default palette (entry 3 is 109, 255, 109).
    d.pop_back();
    EXPECT_EQ(Decode(c.mode, d).ColourAt(c.x0, y), (Rgb{109, 255, 109}));
  }
  // Screen 8 keeps its fixed colours whatever lies at 0xFA80.
  Data d8 = Bsave(0, 0xFA9F, 0xFAA0, 0x70);
  d8[7] = 0x1C;
  EXPECT_EQ(Decode(PictureMode::Screen8, d8).ColourAt(0, 0), (Rgb{255, 0, 0}));
}

TEST(Screen8, ColoursPlacementAndHeight) {
  Data d = Bsave(0, 0xD3FF, 54272);
  d[7] = 0xFF;
  d[8] = 0x1C;
  d[9] = 0x03;
  Picture p = Decode(PictureMode::Screen8, d);
  EXPECT_EQ(p.height, 212);
  EXPECT_EQ(p.ColourAt(0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(p.ColourAt(1, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(p.ColourAt(2, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(p.palette[0x04].r, 36);
  EXPECT_EQ(p.palette[0x01].b, 85);
  EXPECT_EQ(Decode(PictureMode::Screen8, Bsave(0, 0xBFFF, 10)).height, 192);

  Data part = Bsave(0x0010, 0x00FF, 240, 0x55);
  p = Decode(PictureMode::Screen8, part);
  EXPECT_EQ(p.IndexAt(15, 0), 0);
  EXPECT_EQ(p.IndexAt(16, 0), 0x55);
  EXPECT_EQ(p.IndexAt(255, 0), 0x55);
  EXPECT_EQ(p.IndexAt(0, 1), 0);
}

TEST(Screen12, YjkGroups) {
  EXPECT_EQ(YjkPixel(31, 0, false, 0, false), (Rgb{226, 255, 255}));
  EXPECT_EQ(YjkPixel(0, 31, false, 31, false), (Rgb{226, 255, 0}));
  // Negative K with magnitude bits 31 counts as 0.
  EXPECT_EQ(YjkPixel(16, 31, true, 0, false), YjkPixel(16, 0, false, 0, false));

  Data d = Bsave(0, 0xD3FF, 54272);
  for (int i = 0; i < 4; ++i) d[7 + i] = 0xF8;
  d[11] = 0x07;
  d[12] = 0x03;
  d[13] = 0x07;
  d[14] = 0x03;
  d[15] = 0x07;  // b0 of group 2: K low bits 7, b1 low bits 7: negative 31
  d[16] = 0x07;
  const Picture p = Decode(PictureMode::Screen12, d);
  EXPECT_EQ(p.height, 212);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(p.ColourAt(x, 0), (Rgb{226, 255, 255}));
  for (int x = 4; x < 8; ++x) EXPECT_EQ(p.ColourAt(x, 0), (Rgb{226, 255, 0}));
  EXPECT_EQ(p.ColourAt(8, 0), YjkPixel(0, 0, false, 0, false));
}

// Character modes: a name table that swaps two cells swaps them in the picture; a file without
// the whole name table shows BASIC's drawing layout.
TEST(CharacterModes, NameTableSelectsEachCellsPattern) {
  // Screens 1, 2 and 4: pattern n has its leftmost pixel set in line n % 8 only, colour 0xF4.
  auto tiles = [](PictureMode m) {
    Data d = Bsave(0, 0x37FF, 0x3800);
    const int banks = m == PictureMode::Screen1 ? 1 : 3;
    for (int b = 0; b < banks; ++b)
      for (int n = 0; n < 256; ++n) d[7 + b * 0x800 + n * 8 + n % 8] = 0x80;
    for (std::size_t i = 7 + 0x2000; i < d.size(); ++i) d[i] = 0xF4;
    for (int c = 0; c < 768; ++c) d[7 + 0x1800 + c] = static_cast<std::uint8_t>(c & 0xFF);
    return d;
  };
  auto setLine = [](const Picture& p, int cell) {  // the line of the cell whose pixel 0 is set
    for (int j = 0; j < 8; ++j)
      if (p.IndexAt((cell % 32) * 8, (cell / 32) * 8 + j) == 15) return j;
    return -1;
  };
  for (PictureMode m : {PictureMode::Screen1, PictureMode::Screen2, PictureMode::Screen4}) {
    SCOPED_TRACE(ModeKey(m));
    Data d = tiles(m);
    d[7 + 0x1800 + 1] = 2;  // cells 1 and 2 swapped
    d[7 + 0x1800 + 2] = 1;
    d[7 + 0x1800 + 520] = 3;  // a cell of the last third
    const Picture p = Decode(m, d);
    EXPECT_EQ(setLine(p, 0), 0);
    EXPECT_EQ(setLine(p, 1), 2);
    EXPECT_EQ(setLine(p, 2), 1);
    EXPECT_EQ(setLine(p, 520), 3);
    EXPECT_EQ(p.IndexAt(1, 0), 4);
    // The pattern view keeps the table order.
    const Picture t = Decode(PictureMode::Patterns, d);
    EXPECT_EQ(setLine(t, 1), 1);
    EXPECT_EQ(setLine(t, 2), 2);
  }
  // In screen 2 a name of the last third selects the last bank's pattern and colours.
  Data d = tiles(PictureMode::Screen2);
  d[7 + 0x1000 + 5 * 8] = 0xFF;
  d[7 + 0x3000 + 5 * 8] = 0x6A;
  d[7 + 0x1800 + 512] = 5;
  EXPECT_EQ(Decode(PictureMode::Screen2, d).IndexAt(3, 128), 6);
  EXPECT_EQ(Decode(PictureMode::Screen2, d).IndexAt(3, 0), 4);  // name 0 of the first third

  // Screen 1 colours: one byte per 8 patterns; without the table BASIC's 15 on 4.
  d = tiles(PictureMode::Screen1);
  d[7 + 0x2000 + 2] = 0x61;  // patterns 16-23
  Picture p = Decode(PictureMode::Screen1, d);
  EXPECT_EQ(p.IndexAt(16 * 8, 0), 6);
  EXPECT_EQ(p.IndexAt(16 * 8 + 1, 0), 1);
  EXPECT_EQ(p.IndexAt(15 * 8 + 1, 0), 4);
  Data font(d.begin(), d.begin() + 7 + 0x800);
  font[3] = 0xFF;  // end 0x07FF: patterns only
  font[4] = 0x07;
  p = Decode(PictureMode::Screen1, font);
  EXPECT_EQ(setLine(p, 300), 300 % 256 % 8);  // cell 300 shows pattern 300 - 256
  EXPECT_EQ(p.IndexAt(1, 0), 4);
}

TEST(CharacterModes, Screen3BlocksFromTheNameTable) {
  Data d = Bsave(0, 0x0AFF, 0x0B00);
  // Name 7: bytes 2 (r % 4) and 2 (r % 4) + 1 of its pattern colour the cell's four blocks.
  d[7 + 7 * 8 + 2] = 0x9A;     // character row 1: upper blocks
  d[7 + 7 * 8 + 3] = 0xBC;     // lower blocks
  d[7 + 0x0800 + 32 + 5] = 7;  // cell (1, 5)
  Picture p = Decode(PictureMode::Screen3, d);
  const int x = 5 * 8, y = 8;
  EXPECT_EQ(p.IndexAt(x, y), 9);
  EXPECT_EQ(p.IndexAt(x + 3, y + 3), 9);
  EXPECT_EQ(p.IndexAt(x + 4, y), 0xA);
  EXPECT_EQ(p.IndexAt(x, y + 4), 0xB);
  EXPECT_EQ(p.IndexAt(x + 7, y + 7), 0xC);
  EXPECT_EQ(p.IndexAt(x + 8, y), 0);
  // Without the name table: cell (r, c) shows name (r / 4) x 32 + c, so the pattern bytes run
  // through the screen as a 64 x 48 bitmap.
  d.resize(7 + 0x800);
  d[7 + 0 * 8 + 6] = 0xD0;  // name 0, byte 2 x 3: character row 3, upper blocks
  p = Decode(PictureMode::Screen3, d);
  EXPECT_EQ(p.IndexAt(0, 3 * 8), 0xD);
  EXPECT_EQ(p.IndexAt(7 * 8, 8), 9);  // cell (1, 7) shows name 7
  EXPECT_EQ(p.IndexAt(5 * 8, 8), 0);
}

TEST(YjkModes, MsxArithmetic) {
  struct Case {
    int y, j, k;
    Rgb rgb;
  };
  const Case cases[] = {
      {31, 0, 0, {255, 255, 255}}, {0, 31, 31, {255, 255, 0}}, {16, -32, 0, {0, 132, 255}},
      {10, -1, -1, {74, 74, 107}}, {0, 0, 0, {0, 0, 0}},       {20, 5, -8, {206, 99, 206}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MsxYjkPixel(c.y, c.j, c.k), c.rgb) << c.y << " " << c.j << " " << c.k;
}

// One group of 4 pixels: K = -1 (low bits 7, 7), J = 3. The screen 12 view's formula reads
// K as magnitude 31 with the sign: 0; the VDP's two's complement reads -1.
TEST(YjkModes, AttributeBitAndExactColours) {
  Data d = Bsave(0, 0xD3FF, 0xD400);
  const std::uint8_t group[4] = {0x87, 0x4F, 0xA3, 0xF0};
  std::copy(std::begin(group), std::end(group), d.begin() + 7);
  const Picture s12 = Decode(PictureMode::Screen12, d);
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(s12.ColourAt(n, 0), YjkPixel(group[n] >> 3, 31, true, 3, false));
  auto exact = DecodePicture(PictureMode::Screen12, d, PictureOptions{true});
  ASSERT_TRUE(exact.ok());
  for (int n = 0; n < 4; ++n)
    EXPECT_EQ(exact.picture->ColourAt(n, 0), MsxYjkPixel(group[n] >> 3, 3, -1));
  // Screens 10 and 11: bytes 1 (0x4F) has the attribute bit: palette colour 4; the others are
  // YJK pixels with Y = bits 7-4 times 2.
  for (PictureMode m : {PictureMode::Screen10, PictureMode::Screen11}) {
    const Picture p = Decode(m, d);
    EXPECT_EQ(p.ColourAt(0, 0), MsxYjkPixel(16, 3, -1)) << ModeKey(m);
    EXPECT_EQ(p.ColourAt(1, 0), DefaultMsxPalette()[4]) << ModeKey(m);
    EXPECT_EQ(p.ColourAt(2, 0), MsxYjkPixel(20, 3, -1)) << ModeKey(m);
    EXPECT_EQ(p.ColourAt(3, 0), MsxYjkPixel(30, 3, -1)) << ModeKey(m);
  }
  // A group the file holds only part of stays black.
  Data part = Bsave(2, 0xD3FF, 300, 0xF8);
  const Picture p = Decode(PictureMode::Screen12, part);
  EXPECT_EQ(p.ColourAt(3, 0), (Rgb{}));
  EXPECT_NE(p.ColourAt(4, 0), (Rgb{}));
}

std::uint32_t U32(const Data& b, std::size_t o) { return *Le32At(b, o); }
std::uint16_t U16(const Data& b, std::size_t o) { return *Le16At(b, o); }

TEST(ScreenBitmap, FilesAsTheViewsWriteThem) {
  struct Case {
    PictureMode mode;
    Data file;
    std::size_t bytes;
    std::uint32_t sizeField, offset, width, height, bpp, colours;
  };
  const Case cases[] = {
      {PictureMode::Screen2, Bsave(0, 0x37FF, 0x3800), 49270, 49270, 118, 256, 192, 8, 16},
      {PictureMode::Screen5, Bsave(0, 0x5FFF, 0x6000), 32886, 32886, 118, 256, 192, 4, 16},
      {PictureMode::Screen5, Bsave(0, 0x69FF, 0x6A00), 32886, 32886, 118, 256, 212, 4, 16},
      {PictureMode::Screen1, Bsave(0, 0x37FF, 0x3800), 49270, 49270, 118, 256, 192, 8, 16},
      {PictureMode::Screen6, Bsave(0, 0x69FF, 0x6A00), 54390, 54390, 118, 512, 212, 4, 16},
      {PictureMode::Screen11, Bsave(0, 0xD3FF, 10), 163895, 1078 + 768 * 212, 1078, 256, 212, 24,
       256},
      {PictureMode::Screen5, Bsave(0, 0xD3FF, 0x6A00), 32886, 32886, 118, 256, 212, 4, 16},
      {PictureMode::Screen7, Bsave(0, 0xD3FF, 10), 64886, 64886, 118, 512, 212, 4, 16},
      {PictureMode::Screen8, Bsave(0, 0xD3FF, 10), 55350, 1078 + 256 * 212, 1078, 256, 212, 8, 256},
      {PictureMode::Screen8, Bsave(0, 0xBFFF, 10), 55350, 1078 + 256 * 192, 1078, 256, 192, 8, 256},
      {PictureMode::Screen12, Bsave(0, 0xD3FF, 10), 163895, 1078 + 768 * 212, 1078, 256, 212, 24,
       256},
  };
  for (const Case& c : cases) {
    const Data b = EncodeScreenBitmap(Decode(c.mode, c.file));
    SCOPED_TRACE(static_cast<int>(c.mode));
    EXPECT_EQ(b.size(), c.bytes);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), c.sizeField);
    EXPECT_EQ(U32(b, 6), 0u);
    EXPECT_EQ(U32(b, 10), c.offset);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), c.width);
    EXPECT_EQ(U32(b, 22), c.height);
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), c.bpp);
    for (int o = 30; o < 46; o += 4) EXPECT_EQ(U32(b, o), 0u);
    EXPECT_EQ(U32(b, 46), c.colours);
    EXPECT_EQ(U32(b, 50), 0u);
  }
}

TEST(ScreenBitmap, ColourTablesAndRowOrder) {
  Data d = Bsave(0, 0x37FF, 0x3800);
  d[7] = 0x80;
  d[7 + 0x2000] = 0xB0;  // leftmost pixel of the top row: index 11
  Data b = EncodeScreenBitmap(Decode(PictureMode::Screen2, d));
  EXPECT_EQ(b[54 + 11 * 4], 57);  // blue, green, red, 0
  EXPECT_EQ(b[54 + 11 * 4 + 1], 219);
  EXPECT_EQ(b[54 + 11 * 4 + 2], 219);
  EXPECT_EQ(b[118 + 191 * 256], 11);  // top row is stored last

  b = EncodeScreenBitmap(Decode(PictureMode::Screen8, Bsave(0, 0xD3FF, 10)));
  const std::size_t e = 54 + 4 * 0xFF;
  EXPECT_EQ(b[e], 192);  // (i AND 3) * 64, unscaled
  EXPECT_EQ(b[e + 1], 0xE0);
  EXPECT_EQ(b[e + 2], 0xE0);
  b = EncodeScreenBitmap(Decode(PictureMode::Screen8, Bsave(0, 0xD3FF, 10)),
                         BitmapColours::AsDisplayed);
  EXPECT_EQ(b[e], 255);

  Data s5 = Bsave(0, 0xD3FF, 128, 0x12);
  b = EncodeScreenBitmap(Decode(PictureMode::Screen5, s5));
  EXPECT_EQ(b[118 + 211 * 128], 0x12);  // nibbles kept: left pixel high
}

// Reads a PNG as 8-bit RGB rows with libpng.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  Rgb At(int x, int y) const {
    const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

RgbImage ReadPng(const Data& bytes) {
  RgbImage out;
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&img, bytes.data(), bytes.size())) return out;
  img.format = PNG_FORMAT_RGB;
  out.rgb.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, out.rgb.data(), 0, nullptr)) return {};
  out.width = static_cast<int>(img.width);
  out.height = static_cast<int>(img.height);
  return out;
}

TEST(PngOutput, RoundTripOfEveryMode) {
  Data d = Bsave(0, 0xD3FF, 54272);
  for (std::size_t i = 7; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i * 37);
  for (PictureMode m : AllPictureModes()) {
    const Picture p = Decode(m, d);
    auto png = EncodePng(p);
    ASSERT_TRUE(png.has_value());
    const RgbImage back = ReadPng(*png);
    ASSERT_EQ(back.width, p.width);
    ASSERT_EQ(back.height, p.height);
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) ASSERT_EQ(back.At(x, y), p.ColourAt(x, y)) << x << "," << y;
    }
  }
}

std::filesystem::path Pictures() { return test::RealDataDir("pictures"); }

TEST(RealPictures, DumpsDecodeInTheirModes) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const std::pair<const char*, PictureMode> files[] = {
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC2", PictureMode::Screen2},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC5", PictureMode::Screen5},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC6", PictureMode::Screen6},
      {"hra1129_msx_basic_compiler__msx_basic_compiler__test002__font.sc1", PictureMode::Screen1},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC7", PictureMode::Screen7},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC8", PictureMode::Screen8},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.S12", PictureMode::Screen12},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE02.S12", PictureMode::Screen12},
      {"hra1129_msx_basic_compiler__msx_basic_compiler__test002__TEST.SC5", PictureMode::Screen5},
      {"kikemadrigal_MSX-projects__Captain-Kirk-Mars-MSX1-MSX2-fusion-C__MSX2__Nextor__assets__"
       "MENU.S05",
       PictureMode::Screen5},
      {"kikemadrigal_MSX-projects__Captain-kirk-space-MSX1-MSX2__basic__sc2__assets__TILESET.S02",
       PictureMode::Screen2},
      {"kikemadrigal_MSX-projects__Friends-MSX2-DAAD__projects__friends__imagenes__8calle.S08",
       PictureMode::Screen8},
      {"kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__coche.sc2", PictureMode::Screen2},
      {"kikemadrigal_MSX-projects__Watchmen-MSX1-MSX2-Basic-Fusion-C__MSX2__C__assets__LOADER.S05",
       PictureMode::Screen5},
      {"kikemadrigal_MSX-projects__Watchmen-MSX1-MSX2-Basic-Fusion-C__MSX2__C__assets__LOADER.S08",
       PictureMode::Screen8},
  };
  for (const auto& [name, mode] : files) {
    const Data d = test::ReadHostFile(Pictures() / name);
    ASSERT_FALSE(d.empty()) << name;
    auto r = DecodePicture(mode, d);
    ASSERT_TRUE(r.ok()) << name;
    // A real picture is not one flat colour.
    const Rgb first = r.picture->ColourAt(0, 0);
    bool varied = false;
    for (int y = 0; y < r.picture->height && !varied; y += 3) {
      for (int x = 0; x < r.picture->width && !varied; x += 3)
        varied = !(r.picture->ColourAt(x, y) == first);
    }
    EXPECT_TRUE(varied) << name;
  }
}

// coche.sc2 and the PNG beside it. The dump's name table is not the identity layout, so the
// pattern view shows the cells in pattern order. Placing each decoded cell where the name table
// puts it must give the PNG pixel for pixel. The PNG uses the MSX1 (TMS9918) colours and the view
// the MSX default palette, so colours are compared by index: each index stands for one PNG colour
// throughout.
TEST(RealPictures, CocheScreen2MatchesItsPngPixelForPixel) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const Data d = test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__coche.sc2");
  const Data png = test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__Coche.png");
  const Picture p = Decode(PictureMode::Patterns, d);
  const RgbImage ref = ReadPng(png);
  ASSERT_EQ(ref.width, 256);
  ASSERT_EQ(ref.height, 192);
  std::map<int, Rgb> colourOf;
  std::map<std::uint32_t, int> indexOf;
  auto key = [](Rgb c) { return (std::uint32_t(c.r) << 16) | (c.g << 8) | c.b; };
  int mismatches = 0, moved = 0;
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int row = y / 8, col = x / 8;
      const int name = d.at(7 + 0x1800 + row * 32 + col);
      const int srcRow = (row / 8) * 8 + name / 32, srcCol = name % 32;
      moved += srcRow != row || srcCol != col;
      const int raw = p.IndexAt(srcCol * 8 + x % 8, srcRow * 8 + y % 8);
      const int i = raw == 1 ? 0 : raw;  // 0 and 1 are both black
      const Rgb c = ref.At(x, y);
      auto [it, fresh] = colourOf.emplace(i, c);
      auto [jt, fresh2] = indexOf.emplace(key(c), i);
      if (!(it->second == c) || jt->second != i) ++mismatches;
    }
  }
  EXPECT_GT(moved, 0);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(colourOf.size(), 2u);  // a two-colour drawing
}

// MENU.S05 and menu.png: the PNG is the artist's source, not a conversion; most pixels agree
// with the default-palette rendering, the rest differ where the source had other colours.
TEST(RealPictures, MenuScreen5MostlyMatchesItsSourcePng) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const Data d = test::ReadHostFile(Pictures() /
                                    "kikemadrigal_MSX-projects__Captain-Kirk-Mars-MSX1-MSX2-fusion-"
                                    "C__MSX2__Nextor__assets__MENU.S05");
  const Data png = test::ReadHostFile(Pictures() /
                                      "kikemadrigal_MSX-projects__Captain-Kirk-Mars-MSX1-MSX2-"
                                      "fusion-C__MSX2__Nextor__assets__menu.png");
  const Picture p = Decode(PictureMode::Screen5, d);
  const RgbImage ref = ReadPng(png);
  ASSERT_EQ(ref.width, 256);
  ASSERT_GE(ref.height, p.height);
  int same = 0, sameAbove192 = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < 256; ++x) {
      same += p.ColourAt(x, y) == ref.At(x, y);
      sameAbove192 += y < 192 && p.ColourAt(x, y) == ref.At(x, y);
    }
  }
  const double share = double(same) / (256.0 * p.height);
  std::printf("MENU.S05: %.1f%% of pixels equal to menu.png (%.1f%% of the first 192 lines)\n",
              100 * share, 100 * sameAbove192 / (256.0 * 192));
  EXPECT_GT(share, 0.70);
}

// The screen 2 view draws coche.sc2 through its name table: cell for cell, each colour index
// stands for one colour of the PNG throughout (the PNG has the MSX1 colours; 0 and 1 are black).
TEST(RealPictures, CocheScreen2ThroughItsNameTableIsItsPng) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const Data d = test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__coche.sc2");
  const RgbImage ref = ReadPng(test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__Coche.png"));
  const Picture p = Decode(PictureMode::Screen2, d);
  ASSERT_EQ(ref.width, 256);
  ASSERT_EQ(ref.height, 192);
  std::map<int, std::uint32_t> colourOf;
  std::map<std::uint32_t, int> indexOf;
  int mismatches = 0;
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int i = p.IndexAt(x, y) == 1 ? 0 : p.IndexAt(x, y);
      const Rgb c = ref.At(x, y);
      const std::uint32_t k = (std::uint32_t(c.r) << 16) | (c.g << 8) | c.b;
      mismatches += colourOf.emplace(i, k).first->second != k;
      mismatches += indexOf.emplace(k, i).first->second != i;
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(colourOf.size(), 2u);
}

// TEST.SC5 holds its palette at 0x7680: the picture shows those colours, not the defaults.
TEST(RealPictures, TestSc5ShowsItsOwnPalette) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const Data d = test::ReadHostFile(
      Pictures() / "hra1129_msx_basic_compiler__msx_basic_compiler__test002__TEST.SC5");
  const Picture p = Decode(PictureMode::Screen5, d);
  EXPECT_EQ(p.height, 212);
  int differ = 0;
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t rb = d.at(7 + 0x7680 + 2 * i), g = d.at(7 + 0x7681 + 2 * i);
    const Rgb want{PaletteLevel((rb >> 4) & 7), PaletteLevel(g & 7), PaletteLevel(rb & 7)};
    EXPECT_EQ(p.palette[i], want) << i;
    differ += !(p.palette[i] == DefaultMsxPalette()[i]);
  }
  std::printf("TEST.SC5: %d of 16 palette entries differ from the default palette\n", differ);
  EXPECT_GT(differ, 0);
}

// IMAGE01 in screens 5, 6, 7, 8 and 12 is one photo: brightness maps of 16 x 16 blocks (screens
// 6 and 7 are 512 wide: 32 x 16 blocks) agree closely between the modes.
std::vector<double> BrightnessMap(const Picture& p) {
  const int bw = p.width / 16, bh = 212 / 16;
  std::vector<double> map;
  for (int by = 0; by < 16; ++by)
    for (int bx = 0; bx < 16; ++bx) {
      double sum = 0;
      for (int y = by * bh; y < (by + 1) * bh; ++y)
        for (int x = bx * bw; x < (bx + 1) * bw; ++x) {
          const Rgb c = p.ColourAt(x, y);
          sum += 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        }
      map.push_back(sum / (bw * bh));
    }
  return map;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
  double ma = 0, mb = 0;
  for (std::size_t i = 0; i < a.size(); ++i) ma += a[i] / a.size(), mb += b[i] / b.size();
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

TEST(RealPictures, Image01IsTheSamePhotoInEveryBitmapMode) {
  QUARNEL_NEEDS_REAL_DATA("pictures");
  const std::string base = "aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.";
  const std::pair<const char*, PictureMode> files[] = {{"SC5", PictureMode::Screen5},
                                                       {"SC6", PictureMode::Screen6},
                                                       {"SC7", PictureMode::Screen7},
                                                       {"S12", PictureMode::Screen12}};
  const auto reference =
      BrightnessMap(Decode(PictureMode::Screen8, test::ReadHostFile(Pictures() / (base + "SC8"))));
  for (const auto& [ext, mode] : files) {
    const Picture p = Decode(mode, test::ReadHostFile(Pictures() / (base + ext)));
    EXPECT_EQ(p.height, 212) << ext;
    const double r = Correlation(BrightnessMap(p), reference);
    std::printf("IMAGE01.%s against IMAGE01.SC8: brightness correlation %.3f\n", ext, r);
    EXPECT_GT(r, 0.8) << ext;
  }
}

}  // namespace
}  // namespace quarnel::viewers
