// The tape scan: headers only at multiples of 8, the three classic file kinds, named blocks,
// the extents of each entry, broken tapes, and the real cassettes of other people.
#include "formats/cassette.h"

#include <gtest/gtest.h>

#include <cstring>

#include "formats/messages.h"
#include "support/real_data.h"
#include "support/scripted_ui.h"
#include "support/tape_builder.h"
#include "support/test_env.h"
#include "viewers/basic_lister.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Tape = std::vector<std::uint8_t>;

using test::TapeBuilder;

TEST(CassetteScan, BasicHeaderAndOneDataBlock) {
  TapeBuilder b;
  b.FileHeader(0xD3, "PROG  ").Header();
  const std::size_t dataStart = b.t.size();
  b.Raw({0x09, 0x80, 0x0A, 0x00, 0x91, 0x00, 0, 0, 0, 0, 0, 0, 0});
  auto entries = ScanCassette(b.t);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "PROG");
  EXPECT_EQ(entries[0].type, "Basic");
  EXPECT_EQ(entries[0].start, dataStart);
  EXPECT_EQ(entries[0].end, b.t.size());
  auto bytes = CasEntryBytes(b.t, entries[0]);
  ASSERT_EQ(bytes.size(), b.t.size() - dataStart + 1);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_TRUE(std::equal(bytes.begin() + 1, bytes.end(), b.t.begin() + dataStart));
}

TEST(CassetteScan, HeaderOffTheEightByteGridIsNotFound) {
  Tape t(4, 0);
  t.insert(t.end(), std::begin(kCasBlockHeader), std::end(kCasBlockHeader));
  t.insert(t.end(), 10, 0xD3);
  t.insert(t.end(), {'A', 'B', 'C', 'D', 'E', 'F', 0, 0});
  t.insert(t.end(), std::begin(kCasBlockHeader), std::end(kCasBlockHeader));
  t.insert(t.end(), 16, 0x55);
  EXPECT_TRUE(ScanCassette(t).empty());
}

TEST(CassetteScan, TwoFilesInARowAndNamedBlocks) {
  TapeBuilder b;
  b.FileHeader(0xD3, "ONE   ").Header().Fill(20, 0x11);
  b.Pad();
  const std::size_t secondHeader = b.t.size();
  b.FileHeader(0xD3, "TWO   ").Header().Fill(12, 0x22);
  // Marker A with GAME    ROM, then its data block.
  b.Header().Raw({0xAB, 0xCD, 0xEF}).Text("GAME    ROM").Fill(10, 0).Header().Fill(16, 0x33);
  // Marker B: no type.
  b.Header().Raw({0x5E, 0x1C, 0xFF, 0x78}).Text("LOADER  DAT").Fill(10, 0).Header().Fill(12, 0x44);
  auto e = ScanCassette(b.t);
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].name, "ONE");
  EXPECT_EQ(e[0].end, secondHeader);
  EXPECT_EQ(e[1].name, "TWO");
  EXPECT_EQ(e[2].name, "GAME.ROM");
  EXPECT_EQ(e[2].type, "Rom");
  EXPECT_EQ(e[3].name, "LOADER.DAT");
  EXPECT_EQ(e[3].type, "");
  EXPECT_EQ(e[3].end, b.t.size());
}

TEST(CassetteScan, BinaryTakesAddressesAndTheWholeProgram) {
  TapeBuilder b;
  b.FileHeader(0xD0, "BIN   ").Header();
  const std::size_t start = b.t.size();
  b.Raw({0x00, 0x90, 0x09, 0x90, 0x00, 0x90}).Fill(10, 0xC9).Fill(6, 0);  // 10 program bytes
  b.FileHeader(0xEA, "TXT   ").Header();
  const std::size_t textStart = b.t.size();
  b.Text("10 PRINT\r\n").Raw({0x1A}).Fill(40, 0x1A);
  auto e = ScanCassette(b.t);
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].type, "Binary");
  EXPECT_EQ(e[0].start, start);
  EXPECT_EQ(e[0].Size(), 0x9009u - 0x9000u + 7u);
  auto bytes = CasEntryBytes(b.t, e[0]);
  EXPECT_EQ(bytes.size(), 17u);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0x00);
  EXPECT_EQ(bytes[16], 0xC9);
  EXPECT_EQ(e[1].type, "Ascii");
  EXPECT_EQ(e[1].start, textStart);
  EXPECT_EQ(e[1].Size(), 10u);  // up to the 0x1A
  EXPECT_EQ(CasEntryBytes(b.t, e[1]).size(), 10u);
}

TEST(CassetteScan, BrokenTapesStayInsideTheirBytes) {
  TapeBuilder endsInHeader;
  endsInHeader.Header().Fill(5, 0xD3);
  EXPECT_TRUE(ScanCassette(endsInHeader.t).empty());

  TapeBuilder onlyHeaders;
  for (int i = 0; i < 50; ++i) onlyHeaders.FileHeader(0xD0, "X     ");
  onlyHeaders.Header().Raw({0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0, 0, 0});  // end before start
  auto e = ScanCassette(onlyHeaders.t);
  for (const auto& entry : e) {
    EXPECT_LE(entry.start, entry.end);
    EXPECT_LE(entry.end, onlyHeaders.t.size());
  }

  TapeBuilder nameCut;
  nameCut.Header().Raw({0xAB, 0xCD, 0xEF}).Text("SHORT").Fill(2, 0);
  EXPECT_TRUE(ScanCassette(nameCut.t).empty());

  TapeBuilder many;
  for (int i = 0; i < 150; ++i) many.FileHeader(0xD3, "MANY  ").Header().Fill(8, 0x80);
  auto m = ScanCassette(many.t);
  ASSERT_EQ(m.size(), 150u);
  EXPECT_EQ(m[100].end, 101u * 40u);  // ends at the header of the 102nd file
  EXPECT_EQ(m.back().end, many.t.size());
}

// The data block of a file whose header block was seen, with fewer than 10 bytes after its block
// header: the file is still there, with the extent its kind gives it inside what there is.
TEST(CassetteScan, ShortLastDataBlockStillMakesTheEntry) {
  struct Case {
    const char* what;
    std::uint8_t kind;  // 0xAB: a named file (marker AB CD EF)
    Tape data;
    std::size_t size;  // of the entry
  };
  const Case cases[] = {
      {"basic", 0xD3, {0x05, 0x80, 0x0A, 0x00, 0x81}, 5},
      {"binary", 0xD0, {0x00, 0x90, 0x01, 0x90, 0x00, 0x90, 0xC9, 0xC9, 0x55}, 8},
      {"binary without addresses", 0xD0, {0x00, 0x90, 0x09}, 3},
      {"ascii", 0xEA, {'A', 'B', 0x1A, 0x1A}, 2},
      {"named", 0xAB, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TapeBuilder b;
    b.FileHeader(0xD3, "FIRST ").Header().Fill(16, 0x77);  // a whole file before it
    if (c.kind == 0xAB) {
      b.Header().Raw({0xAB, 0xCD, 0xEF}).Text("LAST    DAT").Fill(10, 0);
    } else {
      b.FileHeader(c.kind, "LAST  ");
    }
    b.Header();
    const std::size_t start = b.t.size();
    b.t.insert(b.t.end(), c.data.begin(), c.data.end());
    auto e = ScanCassette(b.t);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].name, c.kind == 0xAB ? "LAST.DAT" : "LAST");
    EXPECT_EQ(e[1].start, start);
    EXPECT_EQ(e[1].Size(), c.size);
  }
}

TEST(CasImage, LoadRefusesBigFiles) {
  test::TempDir dir;
  test::ScriptedUi ui;
  CasImage cas;
  EXPECT_EQ(cas.LoadCasFile(dir / "missing.cas", ui), CasImage::LoadStatus::Missing);
  EXPECT_TRUE(ui.messages.empty());
  test::WriteHostFile(dir / "big.cas", std::vector<std::uint8_t>(kCasMaxFileSize + 1, 0));
  EXPECT_EQ(cas.LoadCasFile(dir / "big.cas", ui), CasImage::LoadStatus::TooBig);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kFileToBigToLoad)});
  EXPECT_FALSE(cas.Loaded());
}

TEST(RealTapes, LoadListAndExtract) {
  QUARNEL_NEEDS_REAL_DATA("cas");
  test::TempDir dir;
  test::ScriptedUi ui;
  CasImage cas;
  int tapes = 0;
  for (const auto& f : fs::directory_iterator(test::RealDataDir("cas"))) {
    ASSERT_EQ(cas.LoadCasFile(f.path(), ui), CasImage::LoadStatus::Loaded) << f.path();
    const auto& rows = cas.ListCasFile();
    ASSERT_FALSE(rows.empty()) << f.path();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto out = dir / ("entry" + std::to_string(i));
      ASSERT_TRUE(cas.ExtractCasEntry(i, out, ui)) << f.path();
      auto bytes = test::ReadHostFile(out);
      EXPECT_EQ(bytes, cas.EntryBytes(i));
      const auto& e = cas.Entries()[i];
      if (e.type == "Basic") {
        auto listing = viewers::ListBasic(bytes);
        EXPECT_TRUE(listing.isBasic);
        EXPECT_GE(listing.lines, 1) << f.path();
      }
      if (e.type == "Binary") {
        // The BLOAD header's end address matches the bytes that follow it.
        ASSERT_GE(bytes.size(), 7u);
        EXPECT_EQ(bytes.size(), 8u + *Le16At(bytes, 3) - *Le16At(bytes, 1));
      }
    }
    ++tapes;
  }
  EXPECT_EQ(tapes, 5);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(CasImage, ViewChoosesByTypeAndIgnoresPictures) {
  TapeBuilder b;
  b.FileHeader(0xD3, "B     ").Header().Fill(8, 0);
  b.FileHeader(0xEA, "T     ").Header().Text("HELLO THERE").Raw({0x1A});
  CasImage cas;
  cas.SetBytes(b.t, "x.cas");
  cas.ListCasFile();
  ASSERT_EQ(cas.Entries().size(), 2u);
  auto basic = ViewCasEntry(cas, 0, ViewSelector::Automatic);
  ASSERT_TRUE(basic);
  EXPECT_EQ(basic->view, ViewSelector::Basic);
  EXPECT_EQ(basic->bytes.front(), 0xFF);
  EXPECT_EQ(ViewCasEntry(cas, 1, ViewSelector::Automatic)->view, ViewSelector::Text);
  EXPECT_EQ(ViewCasEntry(cas, 1, ViewSelector::Hex)->view, ViewSelector::Hex);
  EXPECT_FALSE(ViewCasEntry(cas, 1, ViewSelector::Screen5));
  EXPECT_FALSE(ViewCasEntry(cas, 7, ViewSelector::Hex));
}

}  // namespace
}  // namespace quarnel
