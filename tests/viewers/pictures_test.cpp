#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <vector>

#include "core/bytes.h"
#include "support/test_env.h"
#include "viewers/bitmap_file.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/png_file.h"

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
  for (PictureMode m : {PictureMode::Screen2, PictureMode::Screen5, PictureMode::Screen7,
                        PictureMode::Screen8, PictureMode::Screen12}) {
    Data ff = Bsave(0, 0x37FF, 100);
    ff[0] = 0xFF;
    for (const Data& d : {ff, Bsave(0x100, 0x100, 10), Bsave(0x200, 0x100, 10),
                          Data{0xFE, 0, 0, 0xFF, 0x37, 0}, Data{}}) {
      auto r = DecodePicture(m, d);
      EXPECT_FALSE(r.ok());
      EXPECT_EQ(r.message, kNotAPicture);
    }
    // A header that promises more than the file holds still decodes, black where data is missing.
    auto r = DecodePicture(m, Bsave(0, 0xD3FF, 0));
    ASSERT_TRUE(r.ok());
    for (std::uint8_t v : r.picture->pixels) ASSERT_EQ(v, 0);
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
  Data d = Bsave(0, 0x0FFF, 0x3800, 0x00);
  for (std::size_t i = 7 + 0x2000; i < d.size(); ++i) d[i] = 0x22;  // background 2 everywhere
  Picture p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 16 * 8 - 1), 2);  // row 15 decoded
  EXPECT_EQ(p.IndexAt(0, 16 * 8), 0);      // row 16 not
  d[1] = 0x0F;                             // start 0x000F: character row 0 still decoded
  p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 0), 2);
  d[1] = 0x10;  // start 0x0010: character row 0 left out, row 1 decoded from offset 256 + 7
  p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 0), 0);
  EXPECT_EQ(p.IndexAt(0, 8), 2);
  // A file cut short inside the colour table: no read outside, the rest stays black.
  d.resize(7 + 0x2000 + 100);
  p = Decode(PictureMode::Screen2, d);
  EXPECT_EQ(p.IndexAt(0, 8), 0);
}

TEST(Screen5, HeightAndLinePlacement) {
  EXPECT_EQ(Decode(PictureMode::Screen5, Bsave(0, 0x69FF, 0x6A00)).height, 192);
  EXPECT_EQ(Decode(PictureMode::Screen5, Bsave(0, 0xD3FF, 0x6A00)).height, 212);
  EXPECT_EQ(BitmapModeHeight(0xBFFF), 192);
  EXPECT_EQ(BitmapModeHeight(0xC000), 193);
  EXPECT_EQ(BitmapModeHeight(0xFFFF), 212);

  Data d = Bsave(0x0008, 0x69FF, 0x6A00, 0x12);
  Picture p = Decode(PictureMode::Screen5, d);
  EXPECT_EQ(p.IndexAt(15, 0), 0);  // first line shifted 8 bytes = 16 pixels to the right
  EXPECT_EQ(p.IndexAt(16, 0), 1);
  EXPECT_EQ(p.IndexAt(17, 0), 2);
  EXPECT_EQ(p.IndexAt(0, 1), 1);  // following lines not shifted
  d[1] = 0x10;                    // start 0x0010 leaves line 0 out
  p = Decode(PictureMode::Screen5, d);
  EXPECT_EQ(p.IndexAt(100, 0), 0);
  EXPECT_EQ(p.IndexAt(0, 1), 1);
}

TEST(Screen7, FilePaletteAndDefaultColours) {
  Data d = Bsave(0, 0xFFFF, 64159 - 7);
  d[0xFA80] = 0x70;
  d[0xFA81] = 0x00;
  d[0xFA82] = 0x00;
  d[0xFA83] = 0x07;
  Picture p = Decode(PictureMode::Screen7, d);
  EXPECT_EQ(p.width, 512);
  EXPECT_EQ(p.height, 212);
  EXPECT_EQ(p.displayWidth, 256);
  EXPECT_EQ(p.palette[0], (Rgb{255, 0, 0}));
  EXPECT_EQ(p.palette[1], (Rgb{0, 255, 0}));
  // At 64159 bytes the last entry's green byte is not in the file: it keeps its default colour.
  EXPECT_EQ(p.palette[15], (Rgb{255, 255, 255}));
  // Levels above 7 keep the low 8 bits of the rounded value: 15 * 255 / 7 = 546.4 -> 546 & 255.
  d[0xFA80] = 0xF0;
  EXPECT_EQ(Decode(PictureMode::Screen7, d).palette[0].r, 546 & 0xFF);
  d.resize(64158);
  EXPECT_EQ(Decode(PictureMode::Screen7, d).palette[0], (Rgb{0, 0, 0}));
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
      {PictureMode::Screen5, Bsave(0, 0x69FF, 0x6A00), 32886, 32886, 118, 256, 192, 4, 16},
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
  for (PictureMode m : {PictureMode::Screen2, PictureMode::Screen5, PictureMode::Screen7,
                        PictureMode::Screen8, PictureMode::Screen12}) {
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

std::filesystem::path Pictures() { return test::SharedDir() / "realdata" / "pictures"; }

TEST(RealPictures, DumpsDecodeInTheirModes) {
  const std::pair<const char*, PictureMode> files[] = {
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC2", PictureMode::Screen2},
      {"aoineko-fr_MSXgl__projects__samples__content__img__IMAGE01.SC5", PictureMode::Screen5},
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

// coche.sc2 and the PNG beside it. The dump's name table is not the identity layout that the
// screen 2 view assumes (it is the view's rule to ignore it), so the view's picture shows the
// cells in pattern order. Placing each decoded cell where the name table puts it must give the
// PNG pixel for pixel. The PNG uses the MSX1 (TMS9918) colours and the view the MSX default
// palette, so colours are compared by index: each index stands for one PNG colour throughout.
TEST(RealPictures, CocheScreen2MatchesItsPngPixelForPixel) {
  const Data d = test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__coche.sc2");
  const Data png = test::ReadHostFile(
      Pictures() / "kikemadrigal_MSX-projects__MSXpolice-MSX1-asm__resources__Coche.png");
  const Picture p = Decode(PictureMode::Screen2, d);
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
  int same = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < 256; ++x) same += p.ColourAt(x, y) == ref.At(x, y);
  }
  const double share = double(same) / (256.0 * p.height);
  std::printf("MENU.S05: %.1f%% of pixels equal to menu.png\n", 100 * share);
  EXPECT_GT(share, 0.70);
}

}  // namespace
}  // namespace quarnel::viewers
