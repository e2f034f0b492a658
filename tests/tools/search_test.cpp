// The searches: entries that mirror each other, overlapping hits, hits at the image's end and
// across rows, where a sector view hit is shown, and text found whatever its case.
#include "tools/search.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quarnel::tools {
namespace {

TEST(FindEntries, MirrorEachOther) {
  EXPECT_EQ(HexToText("4D5"), "M");  // the odd digit is ignored
  EXPECT_EQ(TextToHex("AB"), "4142");
  EXPECT_EQ(TextToHex("\xFF"), "FF");
  EXPECT_EQ(HexToText(TextToHex("Zork 1")), "Zork 1");
  EXPECT_FALSE(ParseHexBytes("4D5"));  // an odd count is refused
  EXPECT_FALSE(ParseHexBytes("4G"));
  EXPECT_EQ(*ParseHexBytes("4d5a"), (std::vector<std::uint8_t>{0x4D, 0x5A}));
  EXPECT_TRUE(ParseHexBytes("")->empty());
}

TEST(FindBytesTest, HitsIncludingOverlapsAndNothingPastTheEnd) {
  const std::vector<std::uint8_t> hay{1, 1, 1, 2, 1, 1};
  const struct {
    std::vector<std::uint8_t> pattern;
    std::vector<std::size_t> hits;
  } cases[] = {{{1, 1}, {0, 1, 4}},         {{1, 2}, {2}}, {{1, 1, 7}, {}},
               {{1, 1, 1, 2, 1, 1, 1}, {}},  // would reach past the last byte
               {{1}, {0, 1, 2, 4, 5}},      {{}, {}}};
  for (const auto& c : cases) EXPECT_EQ(FindAllBytes(hay, c.pattern), c.hits);
  const std::vector<std::uint8_t> tail{2, 1, 1};
  EXPECT_EQ(FindBytes(hay, std::vector<std::uint8_t>{1, 1}, 5), std::nullopt);
  EXPECT_EQ(FindBytes(hay, tail, 0), 3u);
  EXPECT_EQ(FindBytes(hay, tail, 4), std::nullopt);
}

// Twice in the same sector: the first, then "Find" again goes on at the byte after it.
TEST(SectorSearch, FindAgainGoesOnAfterThePreviousHit) {
  std::vector<std::uint8_t> image(4 * 512);
  const std::uint8_t pat[] = {0xAA, 0xAA};
  std::memcpy(&image[512 + 40], pat, 2);
  std::memcpy(&image[512 + 41], pat, 2);  // overlapping: AA AA AA
  const std::size_t start = SectorSearchStart(false, 1, 512, {2, 1}, 16);
  EXPECT_EQ(start, 512u);
  auto hit = FindBytes(image, pat, start);
  ASSERT_EQ(hit, 552u);
  SectorHit shown = SectorHitOf(*hit, 512, 16);
  EXPECT_EQ(shown.sector, 1);
  EXPECT_EQ(shown.cell, (GridCell{2 + 8, 3}));
  hit = FindBytes(image, pat, SectorSearchStart(true, shown.sector, 512, shown.cell, 16));
  EXPECT_EQ(hit, 553u);
}

TEST(SectorSearch, HitAt530WithTwentyFourPerRowIsRowOneColumnTwenty) {
  const SectorHit hit = SectorHitOf(530, 512, 24);
  EXPECT_EQ(hit.sector, 1);
  EXPECT_EQ(hit.cell, (GridCell{20, 1}));
  EXPECT_EQ(SectorSearchStart(true, -3, 512, {2, 1}, 16), 0u);  // never below 0
}

class HexCells {
 public:
  HexCells(std::vector<std::string> cells, int p) : cells_(std::move(cells)), p_(p) {}
  std::string operator()(std::size_t row, int column) const {
    const std::size_t i = (row - 1) * p_ + static_cast<std::size_t>(column - 2);
    return i < cells_.size() ? cells_[i] : "";
  }
  std::size_t Rows() const { return 1 + (cells_.size() + p_ - 1) / p_; }

 private:
  std::vector<std::string> cells_;
  int p_;
};

TEST(HexSearch, PatternAcrossARowEndAndFromTheFirstCell) {
  std::vector<std::string> cells(40, "00");
  cells[0] = "C3";
  cells[15] = "12";
  cells[16] = "34";
  const HexCells grid(cells, 16);
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {2, 1}, false, "1234"), (GridCell{17, 1}));
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {2, 1}, false, "c3"), (GridCell{2, 1}));
  // Continuing from the hit at the first cell looks after it.
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {2, 1}, true, "C3"), std::nullopt);
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {17, 1}, true, "0000"), (GridCell{3, 2}));
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {2, 1}, false, "000000000000000000"),
            (GridCell{3, 1}));
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {8, 3}, false, "0000"), (GridCell{8, 3}));
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {9, 3}, false, "0000"), std::nullopt);
}

TEST(HexSearch, OneDigitCellDoesNotMatchItsPair) {
  std::vector<std::string> cells{"07", "7", "07"};
  const HexCells grid(cells, 16);
  EXPECT_EQ(FindInHexCells(grid, grid.Rows(), 16, {2, 1}, true, "07"), (GridCell{4, 1}));
}

TEST(TextSearch, IgnoresCaseAndGoesOnFromTheSelectionEnd) {
  const std::string text = "10 PRINT \"HELLO\"\n20 print hello";
  EXPECT_EQ(FindTextIgnoringCase(text, "hello", 0), 10u);
  EXPECT_EQ(FindTextIgnoringCase(text, "hello", 15), 26u);
  EXPECT_EQ(FindTextIgnoringCase(text, "hello", 27), std::nullopt);
  EXPECT_EQ(FindTextIgnoringCase(text, "", 0), std::nullopt);
  EXPECT_EQ(FindTextIgnoringCase(text, "hello", 9999), std::nullopt);
}

}  // namespace
}  // namespace quarnel::tools
