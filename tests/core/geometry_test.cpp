#include "core/geometry.h"

#include <gtest/gtest.h>

#include "core/new_image.h"
#include "support/image_builder.h"

namespace quarnel {
namespace {

using test::GeometryLayout;
using test::ImageBuilder;

// Each boot sector is refused for one reason, found in the order the layout is built.
TEST(Geometry, RefusesEachBrokenLayoutForItsOwnReason) {
  struct Case {
    const char* what;
    GeometryLayout layout;
    std::size_t imageSize;
    GeometryFault fault;
    std::string detail;
  };
  auto with = [](auto change) {
    GeometryLayout g = GeometryLayout::Msx720();
    change(g);
    return g;
  };
  const Case cases[] = {
      {"sound", GeometryLayout::Msx720(), 0, GeometryFault::None, ""},
      {"1024-byte sectors", with([](auto& g) { g.bytesPerSector = 1024; }), 737280,
       GeometryFault::SectorTooBig, ""},
      {"no cluster size", with([](auto& g) { g.sectorsPerCluster = 0; }), 0,
       GeometryFault::ZeroField, "sectors per cluster (offset 13) is 0"},
      {"FAT on the boot sector", with([](auto& g) { g.reservedSectors = 0; }), 0,
       GeometryFault::ZeroField,
       "reserved sectors (offset 14) is 0: the FAT would lie on the boot sector"},
      {"no sides", with([](auto& g) { g.sides = 0; }), 0, GeometryFault::ZeroField,
       "number of sides (offset 26) is 0"},
      {"disk larger than the image", with([](auto& g) { g.totalSectors = 1441; }), 737280,
       GeometryFault::DiskLarger, ""},
      {"FATs past the disk", with([](auto& g) { g.sectorsPerFat = 800; }), 0,
       GeometryFault::SystemOutside, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ImageBuilder b(c.layout, c.imageSize);
    const GeometryReading r = ReadGeometry(b.Bytes(), b.Bytes().size());
    EXPECT_EQ(r.fault, c.fault);
    EXPECT_EQ(r.detail, c.detail);
    EXPECT_EQ(r.Usable(), c.fault == GeometryFault::None);
  }
  EXPECT_EQ(ReadGeometry(Bytes(), 0).fault, GeometryFault::NoBootSector);
}

// The FAT kind follows from the cluster count alone; a caller reading only FAT12 gives its limit.
TEST(Geometry, FatKindAndClusterLimitFollowTheClusterCount) {
  struct Case {
    std::uint16_t totalSectors;
    std::uint8_t sectorsPerCluster;
    std::uint16_t sectorsPerFat;
    std::int32_t clusters;
    FatKind kind;
  };
  // 1 reserved + 2 FATs + 7 root sectors (112 entries) before the clusters.
  const Case cases[] = {
      {4084 + 8 + 7 + 1, 1, 4, 4084, FatKind::Fat12},
      {4085 + 8 + 7 + 1 + 24, 1, 16, 4085, FatKind::Fat16},
      {65535, 16, 12, 4093, FatKind::Fat16},
      {65535, 32, 12, 2046, FatKind::Fat12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clusters);
    GeometryLayout g = GeometryLayout::Msx720();
    g.totalSectors = c.totalSectors;
    g.sectorsPerCluster = c.sectorsPerCluster;
    g.sectorsPerFat = c.sectorsPerFat;
    const ImageBuilder b(g, 512 * 64);  // only the system area is needed
    const GeometryReading any = ReadGeometry(b.Bytes(), std::uint64_t{c.totalSectors} * 512);
    ASSERT_TRUE(any.Usable()) << any.detail;
    EXPECT_EQ(any.geometry.dataClusters, c.clusters);
    EXPECT_EQ(any.geometry.fatKind, c.kind);
    const GeometryReading fat12 =
        ReadGeometry(b.Bytes(), std::uint64_t{c.totalSectors} * 512, kMostFat12Clusters);
    EXPECT_EQ(fat12.Usable(), c.kind == FatKind::Fat12);
    if (c.kind == FatKind::Fat16) {
      EXPECT_EQ(fat12.detail, std::to_string(c.clusters) + " clusters, 4084 at most");
    }
  }
}

// A new image's boot sector reads back as the row it was made from.
TEST(Geometry, NewImagesReadBackAsTheirRow) {
  for (const auto& row : GeometryTable) {
    SCOPED_TRACE(std::string(row.size));
    const auto image = BuildNewImage(row);
    const GeometryReading r = ReadGeometry(image, image.size(), kMostFat12Clusters);
    ASSERT_TRUE(r.Usable());
    const DiskGeometry want = RowGeometry(row);
    EXPECT_EQ(r.geometry.dataOffset, want.dataOffset);
    EXPECT_EQ(r.geometry.dataClusters, want.dataClusters);
    EXPECT_EQ(r.geometry.media, row.media);
    EXPECT_EQ(r.geometry.sides, row.sides);
    EXPECT_EQ(GeometryForSize(row.size)->caption, row.caption);
  }
  EXPECT_EQ(GeometryForSize("360S")->caption, GeometryTable[4].caption);
  EXPECT_FALSE(GeometryForSize("160s"));
  EXPECT_FALSE(GeometryForSize("S"));
}

}  // namespace
}  // namespace quarnel
