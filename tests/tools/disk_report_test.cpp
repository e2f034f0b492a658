// The reports as data: the 720 KB map and its labels, the figures of the lines, the classes of
// FAT values, a fragmented file's chain marked whole, and who owns a cluster.
#include "tools/disk_report.h"

#include <gtest/gtest.h>

#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "tools/messages.h"

namespace quarnel::tools {
namespace {

using test::ImageBuilder;

DiskImage Load(const ImageBuilder& b) {
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImageBytes(b.Bytes(), "/i/t.dsk");
  return ws.image;
}

TEST(DiskDetail, EmptyDisk720HasSevenSystemCellsAnd713ClustersIn18Rows) {
  const Report r = BuildDiskDetail(Load(ImageBuilder()), "t.dsk");
  EXPECT_EQ(r.caption, "Details of t.dsk");
  EXPECT_EQ(r.viewMode, kModeDiskDetail);
  ASSERT_TRUE(r.hasMap);
  EXPECT_EQ(r.map.systemCells, 7);
  EXPECT_EQ(r.map.cells.size(), 720u);
  EXPECT_EQ(r.map.RowCount(), 18u);
  EXPECT_EQ(ClusterMap::RowLabel(17), "680\t");
  EXPECT_EQ(r.map.Letters(), std::string(7, 'S') + std::string(713, '.'));
  ASSERT_EQ(r.lines.size(), 19u);
  EXPECT_EQ(r.lines[4], "    737280 characters (bytes)");
  EXPECT_EQ(r.lines[5], "    99.03% of disk space is free");  // never 100
  EXPECT_EQ(r.lines[8], "    Total numbers of Sectors 1440 each containing 512 bytes");
  EXPECT_EQ(r.lines[11], "    The disk is made up of 80 Tracks");
  EXPECT_EQ(r.lines[14], "    There are 720 clusters");
  EXPECT_EQ(r.lines[15], "    Each cluster is 1024 bytes");
  EXPECT_EQ(r.freeBytes, 713 * 1024);
}

TEST(DiskDetail, RowLabelsAreRightAlignedInFourButNeverCut) {
  const struct {
    std::size_t row;
    const char* label;
  } cases[] = {{0, "  0\t"}, {1, " 40\t"}, {3, "120\t"}, {25, "1000\t"}, {250, "10000\t"}};
  for (const auto& c : cases) EXPECT_EQ(ClusterMap::RowLabel(c.row), c.label) << c.row;
}

TEST(DiskDetail, FatValuesGetTheirClasses) {
  ImageBuilder b;
  b.SetFat(2, 0x003);
  b.SetFat(3, 0xFF0);
  b.SetFat(4, 0xFF6);
  b.SetFat(5, 0xFF7);
  b.SetFat(6, 0xFF8);
  b.SetFat(7, 0xFFF);
  b.SetFat(8, 0xFEF);
  const Report r = BuildDiskDetail(Load(b), "t.dsk");
  EXPECT_EQ(r.map.Letters().substr(7, 8), "URRBLLU.");
}

TEST(DiskDetail, BrokenBootSectorWarnsAndStillReports) {
  test::GeometryLayout g;
  g.sectorsPerCluster = 0;
  ImageBuilder b(g, 737280);
  const DiskImage image = Load(b);
  ASSERT_TRUE(image.bootError);
  const Report r = BuildDiskDetail(image, "t.dsk");
  EXPECT_EQ(r.warning, kDiskErrorWarning);
  EXPECT_FALSE(r.hasMap);
  EXPECT_EQ(r.lines.size(), 19u);
}

TEST(FileInfo, ClustersSpannedBySize) {
  const struct {
    std::size_t size;
    const char* line;
  } cases[] = {{0, "spanning 0 clusters on the disk"},
               {1, "spanning 1 clusters on the disk"},
               {1024, "spanning 1 clusters on the disk"},
               {1025, "spanning 2 clusters on the disk"}};
  for (const auto& c : cases) {
    ImageBuilder b;
    b.AddFile(test::kRoot, "A.BIN", test::Pattern(c.size));
    const DiskImage image = Load(b);
    const auto dir = ListDirectory(image, kRootDir);
    const Report r = BuildFileInfo(image, *EntryAt(*dir, 0));
    EXPECT_EQ(r.lines[2], c.line) << c.size;
    EXPECT_EQ(r.lines[1], "The File has a size of " + std::to_string(c.size) + " bytes");
  }
}

TEST(FileInfo, CaptionDateAndLegendCarryTheName) {
  ImageBuilder b;
  b.AddFile(test::kRoot, "GAME.BA", {1});
  const DiskImage image = Load(b);
  const Report r = BuildFileInfo(image, *EntryAt(*ListDirectory(image, kRootDir), 0));
  EXPECT_EQ(r.caption, "Info on File: GAME.BA ");
  EXPECT_EQ(r.lines[3], "The File was last changed on 5/04/2002 at 13:05:08");
  ASSERT_EQ(r.legend.size(), 6u);
  EXPECT_EQ(r.legend[4].label, " Disk System\t");
  EXPECT_EQ(r.legend[5].label, " GAME.BA \n\n");
  EXPECT_EQ(r.legend[5].symbol, 'J');
}

// A chain that goes back (5 -> 9 -> 7) is marked whole, not only while it ascends.
TEST(FileInfo, ChainThatGoesBackIsMarkedWhole) {
  ImageBuilder b;
  b.Chain({5, 9, 7});
  b.PutEntry(test::kRoot, 0, {.name = "FRAG.BIN", .firstCluster = 5, .size = 3000});
  const DiskImage image = Load(b);
  const Report r = BuildFileInfo(image, *EntryAt(*ListDirectory(image, kRootDir), 0));
  EXPECT_EQ(r.chain, (std::vector<std::uint16_t>{5, 9, 7}));
  const std::string letters = r.map.Letters();
  for (std::uint16_t c : {5, 7, 9}) EXPECT_EQ(letters[*r.map.CellOfCluster(c)], 'F') << c;
  EXPECT_EQ(letters[*r.map.CellOfCluster(6)], '.');
}

TEST(FileInfo, LoopingChainIsWalkedOnce) {
  ImageBuilder b;
  b.SetFat(5, 6);
  b.SetFat(6, 5);
  b.PutEntry(test::kRoot, 0, {.name = "LOOP.BIN", .firstCluster = 5, .size = 9000});
  const DiskImage image = Load(b);
  EXPECT_EQ(FileChain(image, 5), (std::vector<std::uint16_t>{5, 6}));
  EXPECT_TRUE(FileChain(image, 0).empty());
  EXPECT_TRUE(FileChain(image, 4000).empty());
}

TEST(ClusterOwnersTest, FilesInSubdirectoriesOwnTheirClusters) {
  ImageBuilder b;
  const std::uint16_t games = b.AddDirectory(test::kRoot, "GAMES");
  const std::uint16_t zork = b.AddFile(games, "ZORK.BAS", test::Pattern(2000));
  const DiskImage image = Load(b);
  const auto owners = ClusterOwners(image);
  EXPECT_EQ(owners[games], "\\GAMES");
  EXPECT_EQ(owners[zork], "\\GAMES\\ZORK.BAS");
  EXPECT_EQ(owners[zork + 1], "\\GAMES\\ZORK.BAS");
  const ClusterMap map = BuildClusterMap(image);
  EXPECT_EQ(DescribeCell(map, *map.CellOfCluster(zork), owners),
            "Cluster " + std::to_string(zork) + ": \\GAMES\\ZORK.BAS");
  EXPECT_EQ(DescribeCell(map, 0, owners), kCellSystem);
  EXPECT_EQ(DescribeCell(map, *map.CellOfCluster(100), owners), "Cluster 100: free");
}

TEST(ReportTextTest, PlainTextHasLegendLettersAndMapRows) {
  const std::string text = ReportText(BuildDiskDetail(Load(ImageBuilder()), "t.dsk"));
  EXPECT_NE(text.find("\n\t. Unused Cluster\tU Used Cluster\tL Last Cluster of File\n\t"
                      "B Bad Cluster\tS Disk System\n\n  0\tSSSSSSS....."),
            std::string::npos);
  EXPECT_NE(text.find("\n680\t" + std::string(40, '.') + "\n"), std::string::npos);
}

}  // namespace
}  // namespace quarnel::tools
