// Reading files along their chains, finding entries by caption and the choice of view.
#include <gtest/gtest.h>

#include "core/image_path.h"
#include "core/messages.h"
#include "core/view_choice.h"
#include "core/volume.h"
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
  explicit Session(const ImageBuilder& b) { ws.LoadImageBytes(b.Bytes(), "/i/t.dsk"); }
  // The entry the caption names (FindEntry) read whole; NotFound when none matches.
  FileRead Read(std::string_view caption) const {
    auto e = FindEntry(ws, caption);
    if (!e) {
      FileRead none;
      none.status = ReadStatus::NotFound;
      return none;
    }
    return ReadFile(ws.image, *e);
  }
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
  EXPECT_EQ(s.Read("SMALL.BIN").bytes, small);
  EXPECT_EQ(s.Read("exact.bin").bytes, exact);  // case-insensitive
  FileRead r = s.Read("Odd.Bin");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, odd);
  EXPECT_EQ(r.entry.size, 5000);
  EXPECT_EQ(r.entry.Caption(), "ODD.BIN");
  EXPECT_FALSE(r.chainEndedEarly);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(s.Read("NONE.BIN").status, ReadStatus::NotFound);
  EXPECT_EQ(s.Read("ODD").status, ReadStatus::NotFound);
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
  EXPECT_EQ(s.Read("TWO.BIN").bytes, content);
  FileRead three = s.Read("THREE.BIN");
  EXPECT_EQ(three.bytes, content);
  EXPECT_EQ(three.message, "");
}

TEST(ReadFile, OneSectorClusters) {
  ImageBuilder b(GeometryLayout::Msx160());
  auto content = test::Pattern(600);
  b.AddFile(kRoot, "F.BIN", content);
  Session s(b);
  EXPECT_EQ(s.ws.image.geometry.clusterBytes, 512u);
  EXPECT_EQ(s.Read("F.BIN").bytes, content);
}

TEST(ReadFile, HostileChainsEndInAMessage) {
  ImageBuilder b;
  struct Bad {
    const char* name;
    std::uint16_t first;
    std::uint32_t size;
    ReadStatus status;
    const std::string_view message;
  } bad[] = {
      {"EMPTY.BIN", 0, 0, ReadStatus::FirstClusterOutOfBounds, msg::kFirstClusterOutOfBounds},
      {"ONE.BIN", 1, 10, ReadStatus::FirstClusterOutOfBounds, msg::kFirstClusterOutOfBounds},
      {"HIGH.BIN", 721, 10, ReadStatus::FirstClusterOutOfBounds, msg::kFirstClusterOutOfBounds},
      // below the sector count / cluster size, outside the image
      {"PAST.BIN", 716, 10, ReadStatus::FirstClusterOutOfBounds, msg::kFirstClusterOutOfBounds},
      {"LOOP.BIN", 20, 100000, ReadStatus::ClusterError, msg::kClusterError},
      {"SELF.BIN", 30, 5000, ReadStatus::ClusterError, msg::kClusterError},
      {"FREE.BIN", 40, 5000, ReadStatus::ClusterError, msg::kClusterError},
      {"BAD.BIN", 50, 5000, ReadStatus::ClusterError, msg::kClusterError},
      {"BEYOND.BIN", 60, 5000, ReadStatus::ClusterError, msg::kClusterError},
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
    FileRead r = s.Read(e.name);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.status, e.status);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(r.message, e.message);
  }
}

TEST(ReadFile, ChainEndingBeforeTheSizeGivesTheBytesThatExist) {
  ImageBuilder b;
  b.WriteData(5, test::Pattern(1024, 9));
  b.SetFat(5, 0xFFF);
  b.AddEntry(kRoot, EntrySpec{"SHORT.BIN", 0, 5, 3000});
  Session s(b);
  FileRead r = s.Read("SHORT.BIN");
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.chainEndedEarly);
  EXPECT_EQ(r.bytes, test::Pattern(1024, 9));
  EXPECT_EQ(r.message, "");
}

TEST(ReadFile, BySlotAndNoImage) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(3));
  Session s(b);
  ASSERT_TRUE(s.ws.EntryAt(0));
  EXPECT_EQ(ReadFile(s.ws.image, *s.ws.EntryAt(0)).bytes, test::Pattern(3));
  EXPECT_FALSE(s.ws.EntryAt(1));  // no entry there
  Workspace empty;
  EXPECT_EQ(ReadFile(empty.image, *s.ws.EntryAt(0)).status, ReadStatus::NoImage);
  EXPECT_FALSE(FindEntry(empty, "A.TXT"));
}

TEST(ReadFile, TwoEntriesOfTheSameNameEachReadTheirOwnBytes) {
  // An entry is known by where it lies, not by its name: the second of two A.TXT (a damaged
  // disk, or one written by another system) reads its own bytes.
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(1500, 1));
  b.AddFile(kRoot, "A.TXT", test::Pattern(700, 2));
  Session s(b);
  const auto entries = s.ws.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Caption(), entries[1].Caption());
  EXPECT_EQ(ReadFile(s.ws.image, entries[0]).bytes, test::Pattern(1500, 1));
  FileRead second = ReadFile(s.ws.image, *s.ws.EntryAt(1));
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(second.entry.slot, 1);
  EXPECT_EQ(second.bytes, test::Pattern(700, 2));
}

TEST(FindEntry, CaptionRules) {
  ImageBuilder b;
  b.AddEntry(kRoot, EntrySpec{"GAME.BAS"});
  b.AddEntry(kRoot, EntrySpec{"PROG.C"});
  b.AddEntry(kRoot, EntrySpec{"README"});
  Session s(b);
  auto caption = [&](std::string_view name) {
    auto e = FindEntry(s.ws, name);
    return e ? e->Caption() : std::string("-");
  };
  EXPECT_EQ(caption("GAME.BAS"), "GAME.BAS");
  EXPECT_EQ(caption("game.bas"), "GAME.BAS");
  EXPECT_EQ(caption("GAME.BA"), "-");
  EXPECT_EQ(caption("GAMES.BAS"), "-");
  EXPECT_EQ(caption("GAME"), "-");
  EXPECT_EQ(caption("PROG.C  "), "PROG.C  ");
  EXPECT_EQ(caption("prog.c"), "PROG.C  ");  // the blanks of the extension field need not be typed
  EXPECT_EQ(caption("README"), "README.   ");
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
  const auto entries = s.ws.Entries();
  ASSERT_EQ(entries.size(), 3u);
  ViewChoice c = ChooseView(entries[0]);
  EXPECT_EQ(c.kind, ViewChoiceKind::View);
  FileRead r = ReadFile(s.ws.image, entries[0]);
  EXPECT_EQ(ResolveSelector(c.selector, r.bytes), ViewSelector::Basic);
  EXPECT_EQ(ChooseView(entries[1]).kind, ViewChoiceKind::Nothing);
  EXPECT_EQ(ChooseView(entries[2]).kind, ViewChoiceKind::Navigate);
}

}  // namespace
}  // namespace quarnel
