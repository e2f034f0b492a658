// FAT12 packing, mirrors, free-space counting and the chain rule.
#include "core/fat.h"

#include <gtest/gtest.h>

#include "core/add_file.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::ImageBuilder;

DiskImage Image(const ImageBuilder& b) {
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImageBytes(b.Bytes(), "t.dsk");
  EXPECT_TRUE(ws.HasImage());
  return ws.image;
}

TEST(Fat, PackingOfEntryPairs) {
  ImageBuilder b;
  DiskImage img = Image(b);
  const std::size_t p = img.geometry.fatOffset + 3;  // entries 2 and 3
  img.MutableView()[p] = 0x03;
  img.MutableView()[p + 1] = 0x40;
  img.MutableView()[p + 2] = 0x00;
  EXPECT_EQ(ReadFatEntry(img, 2), 0x003);
  EXPECT_EQ(ReadFatEntry(img, 3), 0x004);
  // The reserved entries of a fresh disk.
  EXPECT_EQ(ReadFatEntry(img, 0), 0xFF9);
  EXPECT_EQ(ReadFatEntry(img, 1), 0xFFF);
}

TEST(Fat, WritesKeepTheNeighbourNibble) {
  DiskImage img = Image(ImageBuilder());
  const std::size_t p = img.geometry.fatOffset + 3;
  img.MutableView()[p + 1] = 0xA5;
  WriteFatEntry(img, 2, 0xFFF);
  EXPECT_EQ(img.Memory()[p], 0xFF);
  EXPECT_EQ(img.Memory()[p + 1], 0xAF);  // high nibble (entry 3) kept
  img.MutableView()[p + 1] = 0x5A;
  WriteFatEntry(img, 3, 0x123);
  EXPECT_EQ(img.Memory()[p + 1], 0x3A);  // low nibble (entry 2) kept
  EXPECT_EQ(img.Memory()[p + 2], 0x12);
  EXPECT_EQ(ReadFatEntry(img, 3), 0x123);
  EXPECT_EQ(FreeFatEntry(img, 3), 0x123);
  EXPECT_EQ(ReadFatEntry(img, 3), 0);
  EXPECT_EQ(img.Memory()[p + 1] & 0x0F, 0x0A);
}

TEST(Fat, MirrorsAreOnlyWrittenNeverRead) {
  DiskImage img = Image(ImageBuilder());
  const auto& g = img.geometry;
  const std::size_t second = g.fatOffset + g.FatBytes();
  img.MutableView()[second + 3] = 0x77;  // the copy differs
  EXPECT_EQ(ReadFatEntry(img, 2), 0);
  WriteFatEntry(img, 2, 0xFFF);
  WriteFatEntry(img, 700, 0x345);
  CopyFatToMirrors(img);
  EXPECT_TRUE(std::equal(img.Memory().begin() + g.fatOffset, img.Memory().begin() + second,
                         img.Memory().begin() + second));
}

TEST(Fat, FreeSpaceAndFreeClusters) {
  ImageBuilder b;
  DiskImage img = Image(b);
  using Clusters = std::vector<std::uint16_t>;
  EXPECT_EQ(FreeBytes(img), 713 * 1024);
  EXPECT_EQ(LowestFreeClusters(img, 2), (Clusters{2, 3}));
  WriteFatEntry(img, 2, 0xFFF);
  WriteFatEntry(img, 4, 0xFFF);
  EXPECT_EQ(LowestFreeClusters(img, 2), (Clusters{3, 5}));
  EXPECT_EQ(FreeBytes(img), 711 * 1024);

  // One free cluster left: no second one, and nothing past the last data cluster.
  for (std::uint32_t n = 2; n <= 714; ++n) WriteFatEntry(img, n, 0xFFF);
  WriteFatEntry(img, 100, 0);
  EXPECT_EQ(LowestFreeClusters(img, 2), (Clusters{100}));
  EXPECT_EQ(FreeClusterCount(img), 1u);
  // Full disk.
  WriteFatEntry(img, 100, 0xFFF);
  EXPECT_TRUE(LowestFreeClusters(img, 1).empty());
  EXPECT_EQ(FreeBytes(img), 0);
}

// The free-entry scan that passes over used pairs finds exactly the entries that read as 0,
// whatever the neighbours' nibbles (values with a zero low or high byte included).
TEST(Fat, FreeScanAgreesWithEntryReads) {
  ImageBuilder b;
  DiskImage img = Image(b);
  std::uint32_t seed = 7;
  for (int round = 0; round < 4; ++round) {
    for (std::uint32_t n = 2; n <= 714; ++n) {
      seed = seed * 1103515245u + 12345u;
      static constexpr std::uint16_t kValues[] = {0, 0, 0x001, 0x100, 0x010, 0xFFF, 0xF00, 0x0F0};
      WriteFatEntry(img, n, kValues[(seed >> 16) % 8]);
    }
    std::vector<std::uint32_t> expected, found;
    for (std::uint32_t n = 2; n <= 714; ++n)
      if (ReadFatEntry(img, n) == 0) expected.push_back(n);
    ScanFreeFat(img, 714, [&](std::uint32_t n) {
      found.push_back(n);
      return true;
    });
    EXPECT_EQ(found, expected) << "round " << round;
  }
}

TEST(Fat, ChainRule) {
  DiskImage img = Image(ImageBuilder());
  const auto& g = img.geometry;
  EXPECT_EQ(NextClusterCheck(g, 0xFFF), ChainStep::End);
  EXPECT_EQ(NextClusterCheck(g, 0xFF8), ChainStep::End);
  EXPECT_EQ(NextClusterCheck(g, 3), ChainStep::Continue);
  EXPECT_EQ(NextClusterCheck(g, 714), ChainStep::Continue);  // dataClusters + 1
  EXPECT_EQ(NextClusterCheck(g, 715), ChainStep::Broken);    // dataClusters + 2
  EXPECT_EQ(NextClusterCheck(g, 0), ChainStep::Broken);
  EXPECT_EQ(NextClusterCheck(g, 1), ChainStep::Broken);
  EXPECT_EQ(NextClusterCheck(g, 0xFF7), ChainStep::Broken);
  EXPECT_EQ(NextClusterCheck(g, 0xFF0), ChainStep::Broken);
  EXPECT_EQ(ClusterOffset(g, 2), 7168u);
  EXPECT_EQ(ClusterOffset(g, 3), 8192u);
}

TEST(Fat, FollowChainEndsAndBreaks) {
  ImageBuilder b;
  b.Chain({2, 3});
  b.SetFat(10, 11);
  b.SetFat(11, 10);   // a loop
  b.SetFat(20, 20);   // a cluster pointing at itself
  b.SetFat(30, 0);    // into a free cluster
  b.SetFat(40, 715);  // past the disk
  DiskImage img = Image(b);
  Chain c = FollowChain(img, 2);
  EXPECT_FALSE(c.broken);
  EXPECT_EQ(c.clusters, (std::vector<std::uint16_t>{2, 3}));
  for (std::uint16_t first : {10, 20, 30, 40}) {
    SCOPED_TRACE(first);
    Chain bad = FollowChain(img, first);
    EXPECT_TRUE(bad.broken);
    EXPECT_LE(bad.clusters.size(), 713u);
  }
  EXPECT_EQ(FollowChain(img, 10, 5).clusters.size(), 5u);
}

}  // namespace
}  // namespace quarnel
