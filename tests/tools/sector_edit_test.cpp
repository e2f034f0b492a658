// The hex grid's editing and the two write-backs: where an edit lands, how the cursor moves
// round the spacers, the sector box, and files written back by where they were viewed.
#include <gtest/gtest.h>

#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "tools/hex_grid.h"
#include "tools/messages.h"
#include "tools/write_back.h"

namespace quarnel::tools {
namespace {

using test::ImageBuilder;

struct Loaded {
  Workspace ws;
  test::ScriptedUi ui;
  explicit Loaded(const ImageBuilder& b) { ws.LoadImageBytes(b.Bytes(), "/i/t.dsk"); }
  FileEntry Entry(DirRef dir, int slot) { return *EntryAt(*ListDirectory(ws.image, dir), slot); }
};

TEST(HexGridTest, BytesPerRowFromColumnsRoundsHalvesToEven) {
  const struct {
    int columns, p;
  } cases[] = {{35, 16}, {36, 16}, {38, 18}, {19, 8}, {51, 24}, {3, 0}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(BytesPerRowFromColumns(c.columns), c.p) << c.columns;
}

TEST(HexGridTest, LayoutForEightSixteenAndTwentyFourPerRow) {
  for (int p : {8, 16, 24}) {
    HexGrid grid(std::vector<std::uint8_t>(512), p);
    EXPECT_EQ(grid.columnCount(), 2 * p + 3);
    EXPECT_EQ(grid.rowCount(), 1 + (512 + p - 1) / p) << p;
    EXPECT_EQ(SectorRowLabel(2, p), p == 16 ? "10" : (p == 8 ? "8" : "18"));
  }
  EXPECT_EQ(SectorRowLabel(32, 16), "1F0");
  EXPECT_EQ(ColumnHeader(17, 16), "F");
  EXPECT_EQ(ColumnHeader(19, 16), "0");
  EXPECT_EQ(ColumnHeader(18, 16), "");
  // Past 16 a row's columns show their low digit, as they are one character wide.
  EXPECT_EQ(ColumnHeader(2 + 0x1A, 32), "A");
  EXPECT_EQ(ColumnHeader(32 + 3 + 0x10, 32), "0");
}

TEST(HexGridTest, EditAtRowTwoColumnThreeIsByteSeventeen) {
  HexGrid grid(std::vector<std::uint8_t>(512, 0x41), 16);
  EXPECT_EQ(HexGrid::OffsetDisplay(SectorRowLabel(2, 16), 3, 16), "11");
  EXPECT_EQ(HexGrid::OffsetDisplay(SectorRowLabel(2, 16), 20, 16), "11");  // its character cell
  ASSERT_TRUE(grid.Store({3, 2}, "ab"));
  EXPECT_EQ(grid.Values()[17], 0xAB);
  EXPECT_TRUE(grid.Marked({3, 2}));
  EXPECT_TRUE(grid.Marked({20, 2}));
  EXPECT_FALSE(grid.Marked({4, 2}));
  EXPECT_EQ(grid.ByteCellText({3, 2}), "AB");
  EXPECT_TRUE(grid.changes());
}

TEST(HexGridTest, TypedTextsAndTheirCharacters) {
  const struct {
    const char* typed;
    const char* shown;
    std::uint8_t value;
    char character;
  } cases[] = {{"7", "7", 0x07, '\x07'},
               {"", "", 0, '\0'},
               {"f", "F", 0x0F, '\x0F'},
               {"4x1", "41", 0x41, 'A'},
               {"123", "12", 0x12, '\x12'}};
  for (const auto& c : cases) {
    HexGrid grid(std::vector<std::uint8_t>(32, 0xEE), 16);
    grid.Store({2, 1}, c.typed);
    EXPECT_EQ(grid.ByteCellText({2, 1}), c.shown) << c.typed;
    EXPECT_EQ(grid.Value(0), c.value) << c.typed;
    EXPECT_EQ(grid.ByteCellText({19, 1}), std::string(1, c.character)) << c.typed;
  }
}

TEST(HexGridTest, ArrowsSkipTheSpacers) {
  HexGrid grid(std::vector<std::uint8_t>(64), 16);
  const struct {
    GridCell from;
    GridKey key;
    GridCell to;
  } cases[] = {
      {{17, 1}, GridKey::Right, {19, 1}},  // last hex column -> first character column
      {{19, 1}, GridKey::Left, {17, 1}},   // and back
      {{2, 1}, GridKey::Left, {2, 1}},     // never onto the labels or the first spacer
      {{34, 1}, GridKey::Right, {34, 1}},  // not past the last column
      {{5, 1}, GridKey::Up, {5, 1}},      {{5, 4}, GridKey::Down, {5, 4}},  // 4 data rows
      {{5, 2}, GridKey::Down, {5, 3}},
  };
  for (const auto& c : cases) EXPECT_EQ(grid.Move(c.from, c.key), c.to) << c.from.column;
  EXPECT_EQ(grid.EditColumn(20), 3);
}

TEST(HexGridTest, KeyFilterKeepsHexDigitsAndControls) {
  for (unsigned char c : {'0', '9', 'A', 'F', 'a', 'f', '\b', '\r'}) EXPECT_TRUE(HexKeyAccepted(c));
  for (int c :
       {int{' '}, int{'.'}, int{'G'}, int{'Z'}, int{'g'}, int{'z'}, int{'$'}, 127, 200, 255})
    EXPECT_FALSE(HexKeyAccepted(static_cast<unsigned char>(c))) << int(c);
}

TEST(SectorBox, NumbersDecimalOrDollarHex) {
  const struct {
    const char* text;
    std::optional<std::int64_t> n;
  } cases[] = {{"0", 0},   {"31", 31},   {"$1F", 31}, {"$1f", 31},
               {"-3", -3}, {" 12 ", 12}, {"", {}},    {"abc", {}},
               {"$", {}},  {"1F", {}},   {"12x", {}}, {"99999999999999", {}}};
  for (const auto& c : cases) EXPECT_EQ(ParseSectorNumber(c.text), c.n) << c.text;
  EXPECT_EQ(NotAnIntegerMessage("x"), "'x' is not a valid integer value");
}

TEST(SectorBox, ClampsAndFallsBackOnABrokenBootSector) {
  ImageBuilder b;
  Loaded sound(b);
  const SectorLayout l = SectorLayoutOf(sound.ws.image);
  EXPECT_EQ(l.totalSectors, 1440);
  EXPECT_EQ(ClampSector(100000, l), 1439);
  EXPECT_EQ(ClampSector(-5, l), 0);

  test::GeometryLayout g;
  g.bytesPerSector = 256;
  g.sectorsPerCluster = 0;
  Loaded broken(ImageBuilder(g, 737280));
  ASSERT_TRUE(broken.ws.image.bootError);
  const SectorLayout f = SectorLayoutOf(broken.ws.image);
  EXPECT_EQ(f.bytesPerSector, 512u);
  EXPECT_EQ(f.totalSectors, 1440);
  EXPECT_EQ(SectorBytes(broken.ws.image, f, 1439).size(), 512u);
  EXPECT_TRUE(SectorBytes(broken.ws.image, f, 1440).empty());
}

TEST(SectorWriteBack, GridBytesGoToTheShownSector) {
  Loaded s{ImageBuilder()};
  const SectorLayout l = SectorLayoutOf(s.ws.image);
  HexGrid grid(SectorBytes(s.ws.image, l, 14), 16);
  grid.Store({3, 2}, "5A");
  const auto values = grid.Values();
  EXPECT_EQ(SaveChangedSector(s.ws, 14, values), WriteStatus::Written);
  EXPECT_EQ(s.ws.image.Memory()[512 * 14 + 17], 0x5A);
  EXPECT_TRUE(s.ws.IsChanged());
  EXPECT_EQ(SectorSaveQuestion(14).text, "Save the changes to sector 14?");
  EXPECT_EQ(SectorSaveQuestion(14).caption, "Sector 14 has changed!");
}

TEST(SectorWriteBack, PokeIsWholeOrNothing) {
  Loaded s{ImageBuilder()};
  const auto before = s.ws.image.Memory();
  const std::vector<std::uint8_t> two{1, 2};
  const struct {
    std::int64_t sector, offset;
    WriteStatus status;
  } refused[] = {{1440, 0, WriteStatus::Outside},
                 {-1, 0, WriteStatus::Outside},
                 {3, 511, WriteStatus::Outside},
                 {3, -1, WriteStatus::Outside}};
  for (const auto& c : refused) {
    EXPECT_EQ(PokeSector(s.ws, c.sector, c.offset, two), c.status) << c.sector << " " << c.offset;
    EXPECT_EQ(s.ws.image.Memory(), before);
  }
  EXPECT_EQ(PokeSector(s.ws, 3, 510, two), WriteStatus::Written);
  EXPECT_EQ(s.ws.image.Memory()[3 * 512 + 511], 2);
}

// A BSAVE file's grid starts at file offset 7: its header stays as it was.
TEST(FileWriteBack, BsaveFileIsWrittenFromOffsetSeven) {
  ImageBuilder b;
  std::vector<std::uint8_t> content{0xFE, 0, 0x90, 4, 0x90, 0, 0x90, 10, 11, 12, 13};
  const std::uint16_t first = b.AddFile(test::kRoot, "PIC.BIN", content);
  Loaded s(b);
  const FileEntry e = s.Entry(kRootDir, 0);
  HexGrid grid(std::vector<std::uint8_t>(content.begin() + 7, content.end()), 16);
  grid.Store({2, 1}, "77");
  EXPECT_EQ(SaveCurrentFile(s.ws, {e, 7}, grid.Values()), WriteStatus::Written);
  const std::size_t at = b.ClusterOffset(first);
  EXPECT_EQ(s.ws.image.Memory()[at + 6], 0x90);
  EXPECT_EQ(s.ws.image.Memory()[at + 7], 0x77);
  EXPECT_EQ(s.ws.image.Memory()[at + 8], 11);
  EXPECT_EQ(FileSaveQuestion("PIC.BIN").caption, "File PIC.BIN has changed!");
}

// The viewed entry is found by its directory and slot, never again by name in whatever
// directory is shown: a same-named file elsewhere is never written.
TEST(FileWriteBack, WritesTheViewedEntryNotAnotherOfTheSameName) {
  ImageBuilder b;
  const std::uint16_t rootFile = b.AddFile(test::kRoot, "SAME.TXT", test::Pattern(100, 1));
  const std::uint16_t dir = b.AddDirectory(test::kRoot, "SUB");
  const std::uint16_t subFile = b.AddFile(dir, "SAME.TXT", test::Pattern(100, 2));
  Loaded s(b);
  const FileEntry viewed = s.Entry(DirRef{dir}, 2);
  ASSERT_EQ(viewed.firstCluster, subFile);
  // The user has moved back to the root, where another SAME.TXT is shown.
  ASSERT_EQ(s.ws.CurrentDir(), kRootDir);
  std::vector<std::uint8_t> shown(100, 0xAA);
  const auto rootBefore = s.ws.image.Memory()[b.ClusterOffset(rootFile)];
  EXPECT_EQ(SaveCurrentFile(s.ws, {viewed, 0}, shown), WriteStatus::Written);
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(subFile)], 0xAA);
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(rootFile)], rootBefore);
}

TEST(FileWriteBack, RefusesWhenTheSlotNoLongerHoldsTheFile) {
  ImageBuilder b;
  b.AddFile(test::kRoot, "A.TXT", test::Pattern(100));
  Loaded s(b);
  const FileEntry viewed = s.Entry(kRootDir, 0);
  const std::vector<std::uint8_t> shown(100, 0xAA);
  const struct {
    const char* what;
    std::size_t at;  // byte of the entry changed
    std::uint8_t value;
  } cases[] = {{"deleted", 0, 0xE5}, {"renamed", 1, 'Z'}, {"moved", 26, 0x30}};
  for (const auto& c : cases) {
    Loaded t(b);
    t.ws.image.MutableView()[viewed.offset + c.at] = c.value;
    const auto before = t.ws.image.Memory();
    const WriteOutcome out = SaveCurrentFile(t.ws, {viewed, 0}, shown);
    EXPECT_EQ(out, WriteStatus::EntryChanged) << c.what;
    EXPECT_EQ(out.message, std::string(kViewedFileGone) + "A.TXT");
    EXPECT_EQ(t.ws.image.Memory(), before) << c.what;
    EXPECT_FALSE(t.ws.IsChanged());
  }
}

TEST(FileWriteBack, FragmentedFileIsWrittenAlongItsChain) {
  ImageBuilder b;
  b.Chain({5, 9, 7});
  b.PutEntry(test::kRoot, 0, {.name = "FRAG.BIN", .firstCluster = 5, .size = 2100});
  Loaded s(b);
  const FileEntry e = s.Entry(kRootDir, 0);
  const std::vector<std::uint8_t> bytes{0x11, 0x22, 0x33};
  EXPECT_EQ(PokeFile(s.ws, e, 1023, bytes), WriteStatus::Written);  // crosses 5 -> 9
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(5) + 1023], 0x11);
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(9)], 0x22);
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(9) + 1], 0x33);
  EXPECT_EQ(PokeFile(s.ws, e, 2098, {bytes.data(), 2}), WriteStatus::Written);  // into 7
  EXPECT_EQ(s.ws.image.Memory()[b.ClusterOffset(7) + 50], 0x11);
}

TEST(FileWriteBack, PokeRefusesPastTheEndAndBrokenChains) {
  ImageBuilder b;
  b.AddFile(test::kRoot, "A.TXT", test::Pattern(100));
  b.Chain({20, 21});
  b.SetFat(21, 0xFF7);
  b.PutEntry(test::kRoot, 1, {.name = "BROKEN.TXT", .firstCluster = 20, .size = 3000});
  b.AddDirectory(test::kRoot, "DIR");
  const auto shared = b.AddFile(test::kRoot, "C.BIN", test::Pattern(3000));
  b.PutEntry(test::kRoot, 4, {.name = "D.BIN", .firstCluster = shared, .size = 1000});
  Loaded s(b);
  const std::vector<std::uint8_t> two{1, 2};
  const struct {
    int slot;
    std::int64_t offset;
    WriteStatus status;
  } cases[] = {{0, 99, WriteStatus::Outside},      {0, -1, WriteStatus::Outside},
               {1, 0, WriteStatus::ClusterError},  {2, 0, WriteStatus::NotAFile},
               {3, 2000, WriteStatus::NeedsCheck},  // cross-linked with D.BIN
               {4, 0, WriteStatus::NeedsCheck}};
  const auto before = s.ws.image.Memory();
  for (const auto& c : cases) {
    EXPECT_EQ(PokeFile(s.ws, s.Entry(kRootDir, c.slot), c.offset, two), c.status) << c.slot;
    EXPECT_EQ(s.ws.image.Memory(), before);
  }
  EXPECT_EQ(PokeFile(s.ws, s.Entry(kRootDir, 0), 98, two), WriteStatus::Written);
}

}  // namespace
}  // namespace quarnel::tools
