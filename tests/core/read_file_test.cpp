// Reading files along their chains, caption matching and the choice of view.
#include "core/read_file.h"

#include <gtest/gtest.h>

#include "core/file_list.h"
#include "core/messages.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::EntrySpec;
using test::GeometryLayout;
using test::ImageBuilder;
using test::kRoot;

struct Session {
  Workspace ws;
  test::ScriptedUi ui;
  explicit Session(const ImageBuilder& b) { ws.LoadImageBytes(b.Bytes(), "/i/t.dsk", ui); }
};

TEST(ReadFile, BytesEqualWhatWasWritten) {
  ImageBuilder b;
  auto small = test::Pattern(1);
  auto exact = test::Pattern(2048, 2);
  auto odd = test::Pattern(5000, 3);
  b.AddFile(kRoot, "SMALL.BIN", small);
  b.AddFile(kRoot, "EXACT.BIN", exact);
  b.AddFile(kRoot, "ODD.BIN", odd);
  Session s(b);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "SMALL.BIN", s.ui).bytes, small);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "exact.bin", s.ui).bytes, exact);  // case-insensitive
  FileRead r = ReadEntryByCaption(s.ws, "Odd.Bin", s.ui);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, odd);
  EXPECT_EQ(r.size, 5000);
  EXPECT_FALSE(r.chainEndedEarly);
  EXPECT_TRUE(s.ui.messages.empty());
  EXPECT_EQ(ReadEntryByCaption(s.ws, "NONE.BIN", s.ui).status, ReadStatus::NotFound);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "ODD", s.ui).status, ReadStatus::NotFound);
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(ReadFile, WholeClusterRule) {
  // 1,025 bytes on 1,024-byte clusters: two clusters. A chain that goes on past them gives the
  // bytes the size asks for, as extraction and other systems read it.
  ImageBuilder b;
  auto content = test::Pattern(1025);
  b.AddFile(kRoot, "TWO.BIN", content);
  b.WriteData(10, content);
  b.AddEntry(kRoot, EntrySpec{"THREE.BIN", 0, 10, 1025});
  b.Chain({10, 11, 12});
  Session s(b);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "TWO.BIN", s.ui).bytes, content);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "THREE.BIN", s.ui).bytes, content);
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(ReadFile, OneSectorClusters) {
  ImageBuilder b(GeometryLayout::Msx160());
  auto content = test::Pattern(600);
  b.AddFile(kRoot, "F.BIN", content);
  Session s(b);
  EXPECT_EQ(s.ws.image.geometry.clusterBytes, 512u);
  EXPECT_EQ(ReadEntryByCaption(s.ws, "F.BIN", s.ui).bytes, content);
}

TEST(ReadFile, HostileChainsEndInAMessage) {
  ImageBuilder b;
  struct Bad {
    const char* name;
    std::uint16_t first;
    std::uint32_t size;
    const std::string_view message;
  } bad[] = {
      {"EMPTY.BIN", 0, 0, msg::kFirstClusterOutOfBounds},
      {"ONE.BIN", 1, 10, msg::kFirstClusterOutOfBounds},
      {"HIGH.BIN", 721, 10, msg::kFirstClusterOutOfBounds},
      {"PAST.BIN", 716, 10, msg::kFirstClusterOutOfBounds},  // <= clusterLimit, outside the image
      {"LOOP.BIN", 20, 100000, msg::kClusterError},
      {"SELF.BIN", 30, 5000, msg::kClusterError},
      {"FREE.BIN", 40, 5000, msg::kClusterError},
      {"BAD.BIN", 50, 5000, msg::kClusterError},
      {"BEYOND.BIN", 60, 5000, msg::kClusterError},
  };
  b.SetFat(20, 21);
  b.SetFat(21, 20);
  b.SetFat(30, 30);
  b.SetFat(40, 0);
  b.SetFat(50, 0xFF7);
  b.SetFat(60, 715);
  for (const auto& e : bad) b.AddEntry(kRoot, EntrySpec{e.name, 0, e.first, e.size});
  Session s(b);
  for (const auto& e : bad) {
    SCOPED_TRACE(e.name);
    s.ui.messages.clear();
    FileRead r = ReadEntryByCaption(s.ws, e.name, s.ui);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(s.ui.messages, std::vector<std::string>{std::string(e.message)});
  }
}

TEST(ReadFile, ChainEndingBeforeTheSizeGivesTheBytesThatExist) {
  ImageBuilder b;
  b.WriteData(5, test::Pattern(1024, 9));
  b.SetFat(5, 0xFFF);
  b.AddEntry(kRoot, EntrySpec{"SHORT.BIN", 0, 5, 3000});
  Session s(b);
  FileRead r = ReadEntryByCaption(s.ws, "SHORT.BIN", s.ui);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.chainEndedEarly);
  EXPECT_EQ(r.bytes, test::Pattern(1024, 9));
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(ReadFile, BySlotAndNoImage) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(3));
  Session s(b);
  EXPECT_EQ(ReadSlotFile(s.ws, 0, s.ui).bytes, test::Pattern(3));
  EXPECT_EQ(ReadSlotFile(s.ws, 1, s.ui).status, ReadStatus::NotFound);
  Workspace empty;
  EXPECT_EQ(ReadEntryByCaption(empty, "A.TXT", s.ui).status, ReadStatus::NoImage);
}

TEST(MatchEntryName, CaptionRules) {
  CurrentEntry e;
  e.name = "GAME";
  e.extension = "BAS";
  EXPECT_TRUE(MatchEntryName(e, "GAME.BAS"));
  EXPECT_TRUE(MatchEntryName(e, "game.bas"));
  EXPECT_FALSE(MatchEntryName(e, "GAME.BA"));
  EXPECT_FALSE(MatchEntryName(e, "GAMES.BAS"));
  EXPECT_FALSE(MatchEntryName(e, "GAME"));
  e.extension = "C  ";
  EXPECT_TRUE(MatchEntryName(e, "GAME.C  "));
  EXPECT_FALSE(MatchEntryName(e, "GAME.C"));
}

TEST(ChooseView, ExtensionAndPictureSizeTables) {
  struct Case {
    const char* caption;
    std::int32_t size;
    ViewSelector expected;
  } cases[] = {
      {"A.BAT", 1, ViewSelector::Text},
      {"A.txt", 1, ViewSelector::Text},
      {"A.ASC", 1, ViewSelector::Text},
      {"A.HLP", 1, ViewSelector::Text},
      {"A.PAS", 1, ViewSelector::Text},
      {"A.C  ", 1, ViewSelector::Automatic},
      {"A.BAS", 1, ViewSelector::Basic},
      {"A.LDR", 1, ViewSelector::Basic},
      {"A.SCC", 1, ViewSelector::Screen12},
      {"A.SC8", 1, ViewSelector::Screen8},
      {"A.SC7", 1, ViewSelector::Screen7},
      {"A.SC5", 1, ViewSelector::Screen5},
      {"A.SC2", 1, ViewSelector::Screen2},
      {"A.BIN", 1, ViewSelector::Automatic},
      {"A.PIC", 16000, ViewSelector::Screen2},
      {"A.PIC", 14343, ViewSelector::Screen2},
      {"A.PIC", 16319, ViewSelector::Screen2},
      {"A.PIC", 16384, ViewSelector::Automatic},
      {"A.PIC", 20000, ViewSelector::Automatic},
      {"A.PIC", 27254, ViewSelector::Screen5},
      {"A.PIC", 27271, ViewSelector::Screen5},
      {"A.PIC", 54279, ViewSelector::Screen8},
      {"A.PIC", 55350, ViewSelector::Screen8},
      {"A.PIC", 108662, ViewSelector::Screen7},
      {"A.PIC", 108663, ViewSelector::Automatic},
      // Every BSAVE picture extension, in both spellings real files use.
      {"A.SC1", 1, ViewSelector::Screen1},
      {"A.s01", 1, ViewSelector::Screen1},
      {"A.S02", 1, ViewSelector::Screen2},
      {"A.SC3", 1, ViewSelector::Screen3},
      {"A.S04", 1, ViewSelector::Screen4},
      {"a.s05", 1, ViewSelector::Screen5},
      {"A.SC6", 1, ViewSelector::Screen6},
      {"A.S07", 1, ViewSelector::Screen7},
      {"A.S08", 1, ViewSelector::Screen8},
      {"A.SCA", 1, ViewSelector::Screen10},
      {"A.S10", 1, ViewSelector::Screen10},
      {"A.SCB", 1, ViewSelector::Screen11},
      {"A.S11", 1, ViewSelector::Screen11},
      {"A.S12", 1, ViewSelector::Screen12},
      {"A.S09", 1, ViewSelector::Automatic},
      {"A.SC9", 1, ViewSelector::Automatic},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " " + std::to_string(c.size));
    EXPECT_EQ(SelectorForCaption(c.caption, c.size), c.expected);
  }
}

TEST(ChooseView, FirstByteDecidesTheAutomaticView) {
  using V = std::vector<std::uint8_t>;
  EXPECT_EQ(ResolveSelector(ViewSelector::Automatic, V{0xFF, 1}), ViewSelector::Basic);
  EXPECT_EQ(ResolveSelector(ViewSelector::Automatic, V{0xFE}), ViewSelector::Hex);
  EXPECT_EQ(ResolveSelector(ViewSelector::Automatic, V{'1', '0', ' '}), ViewSelector::Text);
  EXPECT_EQ(ResolveSelector(ViewSelector::Automatic, V{'A'}), ViewSelector::Hex);
  EXPECT_EQ(ResolveSelector(ViewSelector::Basic, V{0xFE}), ViewSelector::Basic);

  ImageBuilder b;
  b.AddFile(kRoot, "X.BIN", {0xFF, 0x00});
  b.AddVolume("LABEL");
  b.AddDirectory(kRoot, "DIR");
  Session s(b);
  const auto& rows = s.ws.fileList.rows;
  ViewChoice c = ChooseView(s.ws, rows[0]);
  EXPECT_EQ(c.kind, ViewChoiceKind::View);
  EXPECT_EQ(s.ws.viewedName, "X.BIN");
  FileRead r = ReadEntryByCaption(s.ws, s.ws.viewedName, s.ui);
  EXPECT_EQ(ResolveSelector(c.selector, r.bytes), ViewSelector::Basic);
  EXPECT_EQ(ChooseView(s.ws, rows[1]).kind, ViewChoiceKind::Nothing);
  EXPECT_EQ(ChooseView(s.ws, rows[2]).kind, ViewChoiceKind::Navigate);
  EXPECT_EQ(s.ws.viewedName, "X.BIN");
}

}  // namespace
}  // namespace quarnel
