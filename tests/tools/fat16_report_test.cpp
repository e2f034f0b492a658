// The disk report of a FAT16 volume: every one of its clusters mapped, FAT16 marks classed as
// FAT16 marks (a FAT12 reading would take 0xFFF7 for a link and 0x0FF7 for a bad cluster).
#include <gtest/gtest.h>

#include "core/fat.h"
#include "core/workspace.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"
#include "tools/disk_report.h"

namespace quarnel::tools {
namespace {

TEST(Fat16Report, MapsEveryClusterByFat16Marks) {
  struct Case {
    std::uint16_t value;
    MapClass fat16;
  };
  const Case cases[] = {
      {0x0000, MapClass::Unused}, {0x0FF7, MapClass::Used},     {0x0FFF, MapClass::Used},
      {0xFFEF, MapClass::Used},   {0xFFF0, MapClass::Reserved}, {0xFFF6, MapClass::Reserved},
      {0xFFF7, MapClass::Bad},    {0xFFF8, MapClass::Last},     {0xFFFF, MapClass::Last},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassOfFatValue(FatKind::Fat16, c.value), c.fat16) << c.value;
  }
  EXPECT_EQ(ClassOfFatValue(FatKind::Fat12, 0xFF7), MapClass::Bad);

  if (!test::HaveProgram("mkfs.fat")) GTEST_SKIP() << "needs mkfs.fat";
  test::TempDir tmp;
  const auto img = (tmp / "hd.img").string();
  ASSERT_EQ(test::Run({"mkfs.fat", "-C", "-F", "16", "-s", "1", img, "16384"}).exitCode, 0);
  Workspace ws;
  ws.LoadImage(img);
  ASSERT_TRUE(ws.HasImage());
  const auto& g = ws.image.geometry;
  ASSERT_EQ(g.fatKind, FatKind::Fat16);
  WriteFatEntry(ws.image, 5000, 0xFFF7);
  WriteFatEntry(ws.image, 6000, 0x0FF7);
  const Report r = BuildDiskDetail(ws.image, "hd.img");
  ASSERT_TRUE(r.hasMap);
  ASSERT_EQ(r.map.cells.size(), static_cast<std::size_t>(r.map.systemCells + g.dataClusters));
  EXPECT_EQ(r.map.cells[*r.map.CellOfCluster(5000)], MapClass::Bad);
  EXPECT_EQ(r.map.cells[*r.map.CellOfCluster(6000)], MapClass::Used);
  EXPECT_EQ(r.map.cells.back(), MapClass::Unused);
  EXPECT_EQ(r.freeBytes, (std::int64_t{g.dataClusters} - 2) * 512);
}

}  // namespace
}  // namespace quarnel::tools
