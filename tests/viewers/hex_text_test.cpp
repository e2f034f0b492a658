#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "viewers/bsave_header.h"
#include "viewers/hex_layout.h"
#include "viewers/text_view.h"

namespace quarnel::viewers {
namespace {

using Data = std::vector<std::uint8_t>;

TEST(HexLayout, BytesPerRowFollowsTheWindowWidth) {
  EXPECT_EQ(HexLayout::BytesPerRow(642), 16);   // r = 18
  EXPECT_EQ(HexLayout::BytesPerRow(300), 8);    // r = 7
  EXPECT_EQ(HexLayout::BytesPerRow(1100), 32);  // r = 33.67 -> 34
  EXPECT_EQ(HexLayout::BytesPerRow(0), 8);
  EXPECT_EQ(HexLayout::BytesPerRow(-500), 8);
  EXPECT_EQ(HexLayout::BytesPerRow(810), 24);  // r = 24
  EXPECT_EQ(HexLayout::BytesPerRow(795), 24);  // r = 23.5 -> 24
  EXPECT_EQ(HexLayout::BytesPerRow(555), 16);  // r = 15.5 -> 16
  EXPECT_EQ(HexLayout::BytesPerRow(525), 8);   // r = 14.5 -> 14
}

TEST(HexLayout, PlainFileRowsAndCells) {
  Data d(17);
  for (int i = 0; i < 17; ++i) d[i] = static_cast<std::uint8_t>(0x41 + i);
  d[3] = 0x7F;
  const HexLayout one(Data(d.begin(), d.begin() + 16), "TXT", 642);
  EXPECT_EQ(one.rowCount(), 2u);
  const HexLayout h(d, "TXT", 642);
  EXPECT_EQ(h.bytesPerRow(), 16);
  EXPECT_EQ(h.columnCount(), 35);
  EXPECT_EQ(h.rowCount(), 3u);
  EXPECT_TRUE(h.headerLines().empty());
  EXPECT_EQ(h.CellText(1, 0), "0");
  EXPECT_EQ(h.CellText(2, 0), "10");
  EXPECT_EQ(h.CellText(0, 2), "0");
  EXPECT_EQ(h.CellText(0, 17), "F");
  EXPECT_EQ(h.CellText(0, 19), "0");
  EXPECT_EQ(h.CellText(0, 1), "");
  EXPECT_EQ(HexLayout(d, "TXT", 1200).CellText(0, 2 + 0x11), "1");
  EXPECT_EQ(h.CellText(1, 2), "41");
  EXPECT_EQ(h.CellText(1, 19), "A");
  EXPECT_EQ(h.CellText(1, 22), ".");  // 0x7F
  EXPECT_EQ(h.CellText(2, 2), "51");
  EXPECT_EQ(h.CellText(2, 3), "");
  EXPECT_EQ(h.FileOffsetAt(2, 2), 16u);
  EXPECT_FALSE(h.FileOffsetAt(2, 3).has_value());
  EXPECT_EQ(h.windowWidthAfter(), 32 * 16 + 120);
  EXPECT_EQ(h.ColumnWidth(0), 64);
  EXPECT_EQ(h.ColumnWidth(1), 8);
  EXPECT_EQ(h.ColumnWidth(2), 20);
  EXPECT_EQ(h.ColumnWidth(18), 8);
  EXPECT_EQ(h.ColumnWidth(34), 12);
}

TEST(HexLayout, ComFileStripAndBase) {
  const Data d(300, 0xC9);
  const HexLayout h(d, "com", 642);
  ASSERT_EQ(h.headerLines().size(), 3u);
  EXPECT_EQ(h.headerLines()[0], "Start address:  100");
  EXPECT_EQ(h.headerLines()[1], "Run   address:  100");
  EXPECT_EQ(h.headerLines()[2], "End   address:  22C");
  EXPECT_EQ(h.CellText(1, 0), "100");
  EXPECT_EQ(h.CellText(2, 0), "110");
  // 0xFE first byte with extension COM: a COM file.
  Data fe(20, 0);
  fe[0] = 0xFE;
  const HexLayout c(fe, "COM", 642);
  EXPECT_EQ(c.base(), 0x100u);
  EXPECT_EQ(c.skip(), 0u);
  EXPECT_EQ(c.CellText(1, 2), "FE");
}

TEST(HexLayout, BsaveFileStripSkipsTheHeader) {
  Data d = {0xFE, 0x00, 0xC0, 0x0F, 0xC0, 0x00, 0xC0};
  for (int i = 0; i < 16; ++i) d.push_back(static_cast<std::uint8_t>(i));
  const HexLayout h(d, "BIN", 642);
  ASSERT_EQ(h.headerLines().size(), 3u);
  EXPECT_EQ(h.headerLines()[0], "Start address: C000");
  EXPECT_EQ(h.headerLines()[1], "End   address: C00F");
  EXPECT_EQ(h.headerLines()[2], "Run   address: C000");
  EXPECT_EQ(h.CellText(1, 0), "C000");
  EXPECT_EQ(h.CellText(1, 2), "00");
  EXPECT_EQ(h.rowCount(), 2u);
  EXPECT_EQ(h.FileOffsetAt(1, 2), 7u);
  EXPECT_EQ(h.HexCellOf(7), (std::pair<std::size_t, int>{1, 2}));
}

TEST(HexLayout, ShortBsaveHeaderAndEmptyFile) {
  const HexLayout s(Data{0xFE, 0x00, 0xC0, 0x12}, "BIN", 642);
  ASSERT_EQ(s.headerLines().size(), 3u);
  EXPECT_EQ(s.headerLines()[0], "Start address: C000");
  EXPECT_EQ(s.headerLines()[1], "End   address: ????");
  EXPECT_EQ(s.headerLines()[2], "Run   address: ????");
  EXPECT_EQ(s.rowCount(), 2u);
  EXPECT_EQ(s.CellText(1, 0), "C000");
  EXPECT_EQ(s.CellText(1, 2), "");
  EXPECT_FALSE(ReadBsaveHeader(Data{0xFE, 0, 0, 0, 0, 0}).has_value());
  EXPECT_TRUE(ReadBsaveHeader(Data{0xFE, 0, 0, 0, 0, 0, 0}).has_value());

  const HexLayout e(Data{}, "", 642);
  EXPECT_EQ(e.rowCount(), 2u);
  EXPECT_EQ(e.CellText(1, 0), "0");
  EXPECT_EQ(e.CellText(1, 2), "");
}

TEST(HexLayout, LargeFileIsAddressedWithoutBuildingCells) {
  Data d(737280);
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = static_cast<std::uint8_t>(i);
  const HexLayout h(d, "DSK", 642);
  EXPECT_EQ(h.rowCount(), 1 + 737280u / 16);
  EXPECT_EQ(h.CellText(h.rowCount() - 1, 0), "B3FF0");
  EXPECT_EQ(h.CellText(h.rowCount() - 1, 17), "FF");
  EXPECT_EQ(h.CellText(h.rowCount(), 2), "");
}

TEST(TextView, BlocksOf2048Bytes) {
  EXPECT_EQ(TextBlocks(Data{}, false), std::vector<std::string>{""});
  Data d(2048, 'a');
  auto b = TextBlocks(d, false);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].size(), 2048u);
  EXPECT_EQ(b[1], "");
  d.push_back('z');
  b = TextBlocks(d, false);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[1], "z");
}

TEST(TextView, PlainAndMaskedCharacters) {
  const Data d = {0x00, 'A', 0x09, 0x0A, 0x0D, 0x1B, 0x7F, 0x80, 0xE0};
  EXPECT_EQ(TextBlock(d, 0, false), ".A\t\n\r\xE2\x90\x9B\xE2\x90\xA1\xC3\x87\xCE\xB1");
  EXPECT_EQ(TextBlock(d, 0, true), ".A\t\n.....");
}

}  // namespace
}  // namespace quarnel::viewers
