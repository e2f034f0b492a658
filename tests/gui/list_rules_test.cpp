// The file list's menu and sorting rules, and which host menu a file gets.
#include "app/main/list_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/main/main_window.h"
#include "formats/messages.h"

namespace quarnel {
namespace {

ListSituation Disk(int selected, bool atRoot = true) {
  ListSituation s;
  s.imageLoaded = true;
  s.atRoot = atRoot;
  s.selectedRows = selected;
  return s;
}

TEST(ListMenu, EnablingTable) {
  ListMenuState start;
  ListMenuState none = ListMenuFor(start, ListSituation{});
  EXPECT_FALSE(none.addFile || none.remove || none.view || none.extract || none.info);
  EXPECT_TRUE(none.rename);  // unchanged

  ListMenuState one = ListMenuFor(start, Disk(1));
  EXPECT_TRUE(one.addFile && one.remove && one.view && one.extract && one.info);

  ListMenuState three = ListMenuFor(start, Disk(3));
  EXPECT_TRUE(three.addFile && three.remove && three.extract);
  EXPECT_FALSE(three.view || three.info);

  ListMenuState nothing = ListMenuFor(start, Disk(0));
  EXPECT_TRUE(nothing.addFile);
  EXPECT_FALSE(nothing.remove || nothing.view || nothing.extract || nothing.info);

  // Files are added into a subdirectory too.
  EXPECT_TRUE(ListMenuFor(start, Disk(1, false)).addFile);

  ListSituation tape = Disk(1);
  tape.cassette = true;
  ListMenuState cas = ListMenuFor(start, tape);
  EXPECT_FALSE(cas.addFile || cas.remove || cas.info || cas.rename);
  EXPECT_TRUE(cas.view && cas.extract);
  // With no image the rename entry keeps what the cassette left; a disk image enables it again.
  EXPECT_FALSE(ListMenuFor(cas, ListSituation{}).rename);
  EXPECT_TRUE(ListMenuFor(cas, Disk(1)).rename);
}

TEST(ListSort, ClickingColumns) {
  ListSort s;  // column 0, direction -1 as after a load
  s.Click(1);
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.direction, 1);
  s.Click(1);
  EXPECT_EQ(s.direction, -1);
  s.Click(3);
  EXPECT_EQ(s.direction, 0);  // "Modified" never reorders
  s.Click(3);
  EXPECT_EQ(s.direction, 0);
  s.Click(0);
  EXPECT_EQ(s.direction, 1);
  // After a load (-1) a click on the same column sorts ascending.
  s.direction = -1;
  s.Click(0);
  EXPECT_EQ(s.direction, 1);
}

TEST(ListSort, TextComparisonFoldsLettersOnly) {
  EXPECT_EQ(CompareListText("game.bas", "GAME.BAS"), 0);
  EXPECT_LT(CompareListText("A", "b"), 0);
  EXPECT_GT(CompareListText("_", "a"), 0);  // letters fold to upper case, below 0x5F
  EXPECT_LT(CompareListText("", "   12 Bytes"), 0);
  EXPECT_LT(CompareListText("    100 Bytes", "   1000 Bytes"), 0);
}

TEST(HostMenus, ChosenByExtensionAndFlag) {
  EXPECT_EQ(HostMenuFor("/x/a.dsk", false), HostMenuKind::DiskMenu);
  EXPECT_EQ(HostMenuFor("/x/a.Di1", false), HostMenuKind::DiskMenu);
  EXPECT_EQ(HostMenuFor("/x/a.dskx", false), HostMenuKind::DiskMenu);
  EXPECT_EQ(HostMenuFor("/x/a.xsa", false), HostMenuKind::ConvertMenu);
  EXPECT_EQ(HostMenuFor("/x/a.ddi", false), HostMenuKind::ConvertMenu);
  EXPECT_EQ(HostMenuFor("/x/a.img", false), HostMenuKind::ConvertMenu);
  EXPECT_EQ(HostMenuFor("/x/a.MSX", false), HostMenuKind::ConvertMenu);
  EXPECT_EQ(HostMenuFor("/x/a.cas", false), HostMenuKind::HostActions);
  EXPECT_EQ(HostMenuFor("/x/a.txt", false), HostMenuKind::HostActions);
  EXPECT_EQ(HostMenuFor("/x/a.dsk", true), HostMenuKind::HostActions);
}

TEST(HostMenus, DiskMenuOpeningRule) {
  DiskMenuState s;
  s = DiskMenuFor(s, "/x/other.dsk", "/x/a.dsk");
  EXPECT_FALSE(s.addFile);
  EXPECT_TRUE(s.diskDetails);
  s = DiskMenuFor(s, "/X/A.DSK", "/x/a.dsk");
  EXPECT_TRUE(s.addFile && s.diskDetails);
  DiskMenuState off{false, false};
  EXPECT_FALSE(DiskMenuFor(off, "/x/a.di1", "/x/a.di1").addFile);  // kept
}

TEST(Conversions, ChosenByExtensionWithTheDialogTheyAskFirst) {
  const struct {
    const char* source;
    Conversion conversion;
    std::string_view title;
    const char* proposed;
  } cases[] = {
      {"/d/GAME.DDI", Conversion::DdiToDsk, formats::msg::kConvertDdiTitle, "/d/GAME.DSK"},
      {"/d/lower.ddi", Conversion::DdiToDsk, formats::msg::kConvertDdiTitle, "/d/lower.DSK"},
      {"/d/A.img", Conversion::ImgToDsk, formats::msg::kConvertImgTitle, "/d/A.DSK"},
      {"/d/M.MSX", Conversion::MsxToDsk, formats::msg::kConvertMsxTitle, "/d/M.DSK"},
      {"/d/MY GAME.XSA", Conversion::XsaToDsk, formats::msg::kConvertXsaTitle, "/d/MY GAME.dsk"},
      {"/d/G.DSK", Conversion::DskToXsa, formats::msg::kConvertDskTitle, "/d/G.xsa"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const std::optional<Conversion> conversion = ConversionFor(c.source);
    ASSERT_TRUE(conversion.has_value());
    EXPECT_EQ(*conversion, c.conversion);
    const TargetQuestion q = AskTargetFor(*conversion, c.source);
    EXPECT_EQ(q.title, c.title);
    EXPECT_EQ(q.proposed, c.proposed);
  }
  for (const char* other : {"/d/y.txt", "/d/tape.cas", "/d/disk.DI1", "/d/noext", "/d/a.xsab"})
    EXPECT_FALSE(ConversionFor(other).has_value()) << other;
}

TEST(DropKindOf, OneImageOrTapeIsOpenedAnythingElseAdded) {
  namespace fs = std::filesystem;
  const struct {
    std::vector<fs::path> files;
    DropOutcome outcome;
  } cases[] = {
      {{"/x/x.dsk"}, DropOutcome::OpenImage},
      // Every disk image opens, not only a .DSK one.
      {{"/x/x.DI1"}, DropOutcome::OpenImage},
      {{"/x/x.di2"}, DropOutcome::OpenImage},
      {{"/x/x.cas"}, DropOutcome::OpenCassette},
      // The extension is cut to four characters.
      {{"/x/x.dskx"}, DropOutcome::OpenImage},
      {{"/x/x.dsk", "/x/y.dsk"}, DropOutcome::Added},
      {{"/x/a.txt"}, DropOutcome::Added},
      {{"/x/a.xsa"}, DropOutcome::Added},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files.front().string());
    EXPECT_EQ(DropKindOf(c.files), c.outcome);
  }
}

}  // namespace
}  // namespace quarnel
