// New hard-disk images: the sizes people write, the layouts Nextor can hold (and the clear
// refusal of those it cannot), and the bytes of the tables and volumes written.
#include "core/new_hard_disk.h"

#include <gtest/gtest.h>

#include "core/boot_sector.h"
#include "core/partition_table.h"

namespace quarnel {
namespace {

constexpr std::uint64_t K = 1024, M = K * K, G = M * K;

TEST(NewHardDisk, SizeText) {
  struct Case {
    const char* text;
    std::optional<std::uint64_t> bytes;
  } cases[] = {{"64M", 64 * M},
               {"1g", G},
               {"512K", 512 * K},
               {"100", 100},
               {"2KB", 2 * K},
               {"3mb", 3 * M},
               {"0", std::nullopt},
               {"M", std::nullopt},
               {"5X", std::nullopt},
               {"5MM", std::nullopt},
               {"-5M", std::nullopt},
               {"99999999999999999999", std::nullopt},
               {"18446744073709551615G", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseSizeText(c.text), c.bytes) << c.text;
}

TEST(NewHardDisk, LayoutsAndRefusals) {
  struct Want {
    FatKind kind;
    std::uint8_t spc;
    std::uint8_t type;
  };
  struct Case {
    const char* name;
    std::uint64_t image;
    std::vector<std::uint64_t> parts;
    FatChoice fat;
    std::vector<Want> volumes;  // empty: refused
    const char* message;        // part of the refusal
  } cases[] = {
      {"one FAT16 over the whole image",
       256 * M,
       {},
       FatChoice::BySize,
       {{FatKind::Fat16, 8, 0x06}},
       ""},
      {"small ones FAT12 kept within MSX-DOS 1's FAT",
       64 * M,
       {8 * M, 20 * M, 100 * K},
       FatChoice::BySize,
       {{FatKind::Fat12, 32, 0x01}, {FatKind::Fat16, 4, 0x04}, {FatKind::Fat12, 4, 0x01}},
       ""},
      {"a 2 GB partition takes 64 KB clusters",
       2 * G,
       {},
       FatChoice::BySize,
       {{FatKind::Fat16, 128, 0x06}},
       ""},
      {"FAT12 over 16 MB", 64 * M, {30 * M}, FatChoice::Fat12, {{FatKind::Fat12, 16, 0x01}}, ""},
      {"FAT16 on a small partition",
       64 * M,
       {4 * M},
       FatChoice::Fat16,
       {{FatKind::Fat16, 1, 0x04}},
       ""},
      {"more than 4 GB",
       8 * G,
       {},
       FatChoice::BySize,
       {},
       "partition 1: 8192.0 MB is more than a partition holds (4 GB): name smaller ones with "
       "--partitions"},
      {"4 GB is too many clusters",
       5 * G,
       {4 * G},
       FatChoice::BySize,
       {},
       "partition 1: 4096.0 MB makes 65531 clusters of 64 KB, more than FAT16's 65,524"},
      {"FAT12 too large", 64 * M, {40 * M}, FatChoice::Fat12, {}, "too large for FAT12"},
      {"FAT12 beyond 4,084 clusters of 16 sectors",
       64 * M,
       {32 * M - 512},
       FatChoice::Fat12,
       {},
       "too large or too small for FAT12"},
      {"FAT16 too small", 64 * M, {1 * M}, FatChoice::Fat16, {}, "too small for FAT16"},
      {"partitions beyond the image",
       64 * M,
       {40 * M, 40 * M},
       FatChoice::BySize,
       {},
       "partition 2: does not fit in the image (131072 sectors; 163842 needed so far)"},
      {"less than a sector",
       64 * M,
       {100},
       FatChoice::BySize,
       {},
       "a size of less than one sector"},
      {"no room for a volume",
       4 * K,
       {},
       FatChoice::BySize,
       {},
       "too large or too small for FAT12"},
      {"one sector", 512, {}, FatChoice::BySize, {}, "holds no partition"},
      {"beyond what 32-bit sectors address",
       4096 * G,
       {G},
       FatChoice::BySize,
       {},
       "addresses at most 2 TB"},
      {"too many",
       64 * M,
       std::vector<std::uint64_t>(65, 100 * K),
       FatChoice::BySize,
       {},
       "at most 64 partitions"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HardDiskPlan plan = PlanHardDisk(c.image, c.parts, c.fat);
    ASSERT_EQ(plan.layout.has_value(), !c.volumes.empty()) << plan.message;
    if (!plan.layout) {
      EXPECT_NE(plan.message.find(c.message), std::string::npos) << plan.message;
      continue;
    }
    ASSERT_EQ(plan.layout->volumes.size(), c.volumes.size());
    std::uint64_t next = 1;
    for (std::size_t i = 0; i < c.volumes.size(); ++i) {
      SCOPED_TRACE(i);
      const NewVolume& v = plan.layout->volumes[i];
      EXPECT_EQ(v.kind, c.volumes[i].kind);
      EXPECT_EQ(v.sectorsPerCluster, c.volumes[i].spc);
      EXPECT_EQ(v.type, c.volumes[i].type);
      EXPECT_EQ(v.firstSector, next);
      // The FAT kind follows from the cluster count, and the FAT numbers every cluster.
      EXPECT_EQ(v.clusters > static_cast<std::uint32_t>(kMostFat12Clusters),
                v.kind == FatKind::Fat16);
      const std::uint64_t entryBytes =
          v.kind == FatKind::Fat12 ? (v.clusters + 2) * 3 / 2 : (v.clusters + 2) * 2;
      EXPECT_GE(v.sectorsPerFat * 512ull, entryBytes);
      const std::uint64_t system = 1 + 2ull * v.sectorsPerFat + v.rootEntries * 32 / 512;
      EXPECT_LE(system + std::uint64_t{v.clusters} * v.sectorsPerCluster, v.sectors);
      EXPECT_GT(system + (v.clusters + 1ull) * v.sectorsPerCluster, v.sectors);
      next = v.firstSector + v.sectors + 1;
    }
  }
}

// Sizes that add up to the image leave the boot records no room: the last partition gives up
// what they need (and the user is told), while sizes beyond the image are still refused.
TEST(NewHardDisk, LastPartitionMakesRoomForTheRecords) {
  struct Case {
    std::uint64_t image;
    std::vector<std::uint64_t> parts;
    std::uint64_t lastSectors;  // 0: refused
    const char* note;
  } cases[] = {
      {256 * M, {64 * M, 192 * M}, 192 * M / 512 - 2, "partition 2 is 2 sectors (1 KB) smaller"},
      {64 * M, {8 * M, 8 * M, 48 * M}, 48 * M / 512 - 3, "the partition table takes 3 sectors"},
      {64 * M, {64 * M}, 64 * M / 512 - 1, "partition 1 is 1 sector (512 bytes) smaller"},
      {64 * M, {8 * M, 56 * M - 512}, 56 * M / 512 - 2, "1 sector"},
      {64 * M, {8 * M, 56 * M - 1024}, 56 * M / 512 - 2, ""},
      {64 * M, {8 * M, 56 * M + 512}, 0, "partition 2: does not fit in the image"},
      {64 * M, {64 * M - 512, 512}, 0, "partition 2: does not fit in the image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.note);
    const HardDiskPlan plan = PlanHardDisk(c.image, c.parts, FatChoice::BySize);
    ASSERT_EQ(plan.layout.has_value(), c.lastSectors != 0) << plan.message;
    if (!plan.layout) {
      EXPECT_NE(plan.message.find(c.note), std::string::npos) << plan.message;
      continue;
    }
    EXPECT_EQ(plan.layout->volumes.back().sectors, c.lastSectors);
    const NewVolume& last = plan.layout->volumes.back();
    EXPECT_LE(last.firstSector + last.sectors, plan.layout->sectors);
    if (*c.note == 0)
      EXPECT_EQ(plan.note, "");
    else
      EXPECT_NE(plan.note.find(c.note), std::string::npos) << plan.note;
  }
}

// The pieces put in an image give back the layout when read as a table, and every volume's boot
// sector describes its partition.
TEST(NewHardDisk, PiecesReadBackAsTheLayout) {
  const auto plan = PlanHardDisk(48 * M, {M, 8 * M, 20 * M, 10 * M, 4 * M}, FatChoice::BySize);
  ASSERT_TRUE(plan.layout) << plan.message;
  ImageBytes img(48 * M, 0);
  for (const ImagePiece& p : HardDiskPieces(*plan.layout, 0x1234)) {
    ASSERT_LE(p.offset + p.bytes.size(), img.size());
    std::copy(p.bytes.begin(), p.bytes.end(), img.begin() + static_cast<std::ptrdiff_t>(p.offset));
  }
  MemoryStore store(img);
  const PartitionTable t = ReadPartitionTable(store);
  ASSERT_EQ(t.scheme, PartitionScheme::Nextor);
  EXPECT_TRUE(t.findings.empty());
  ASSERT_EQ(t.partitions.size(), plan.layout->volumes.size());
  for (std::size_t i = 0; i < t.partitions.size(); ++i) {
    SCOPED_TRACE(i);
    const NewVolume& v = plan.layout->volumes[i];
    const Partition& p = t.partitions[i];
    EXPECT_EQ(p.firstSector, v.firstSector);
    EXPECT_EQ(p.sectors, v.sectors);
    EXPECT_EQ(p.type, v.type);
    const Bytes boot(img.data() + p.Offset(), 512);
    const GeometryReading read = ReadGeometry(boot, p.Length());
    ASSERT_TRUE(read.Usable()) << read.detail;
    EXPECT_EQ(read.geometry.fatKind, v.kind);
    EXPECT_EQ(read.geometry.dataClusters, static_cast<std::int32_t>(v.clusters));
    EXPECT_EQ(read.geometry.media, 0xF0);
    const BootSector bs = *BootSectorAt(boot);
    EXPECT_EQ(bs.extendedMark, kExtendedBootMark);
    EXPECT_EQ(bs.volumeSerial.Get(), 0x1234u + i);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bs.volumeLabel), 11), "NO NAME    ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bs.fileSystem), 8),
              v.kind == FatKind::Fat12 ? "FAT12   " : "FAT16   ");
    // Both FATs start with the media byte and the end marks of entry 1.
    for (std::uint64_t copy = 0; copy < 2; ++copy) {
      const std::uint8_t* fat = img.data() + p.Offset() + (1 + copy * v.sectorsPerFat) * 512;
      EXPECT_EQ(fat[0], 0xF0);
      EXPECT_EQ(fat[1], 0xFF);
      EXPECT_EQ(fat[2], 0xFF);
      EXPECT_EQ(fat[3], v.kind == FatKind::Fat16 ? 0xFF : 0x00);
    }
  }
}

}  // namespace
}  // namespace quarnel
