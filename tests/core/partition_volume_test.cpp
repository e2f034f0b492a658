// What a listing of partitions says about each volume: FAT kind and name when its boot sector
// gives a layout that fits the partition, the reason when not, and a type that claims the other
// FAT as a note.
#include "core/partition_volume.h"

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/new_image.h"
#include "core/partition_store.h"
#include "support/partition_builder.h"

namespace quarnel {
namespace {

TEST(PartitionVolume, SummaryOfEachVolume) {
  // A 720 KB volume (1440 sectors) named GAMES in its root directory (sector 7).
  auto floppy = BuildNewImage(*GeometryForSize("720"));
  std::copy_n("GAMES      ", 11, floppy.begin() + 7 * 512);
  floppy[7 * 512 + 11] = 0x08;
  struct Case {
    const char* name;
    std::uint8_t type;
    std::uint32_t sectors;  // of the partition
    bool format;
    bool readable;
    const char* label;
    std::string fault;
    const char* note;
  } cases[] = {
      {"FAT12 volume", 0x01, 1440, true, true, "GAMES", "", ""},
      {"FAT16 type on FAT12 clusters", 0x06, 1440, true, true, "GAMES", "",
       "type FAT16 but 713 clusters make it FAT12"},
      {"partition shorter than its volume", 0x01, 1000, true, false, "",
       std::string(msg::kDiskSmallerThanGeometry), ""},
      {"larger partition", 0x0E, 2000, true, true, "GAMES", "",
       "type FAT16 LBA but 713 clusters make it FAT12"},
      {"not formatted", 0x01, 1440, false, false, "",
       std::string(msg::kBootSectorError) + " (bytes per sector (offset 11) is 0)", ""},
      {"Linux", 0x83, 1440, true, false, "", "not a FAT12 or FAT16 volume", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::PartitionedImage img(2 + c.sectors);
    img.Entry(0, 0, c.type, 2, c.sectors);
    if (c.format)
      std::copy_n(floppy.begin(), std::min<std::size_t>(floppy.size(), c.sectors * 512ull),
                  img.bytes.begin() + 1024);
    MemoryStore store(ImageBytes(img.bytes.begin(), img.bytes.end()));
    const PartitionTable t = ReadPartitionTable(store);
    ASSERT_EQ(t.partitions.size(), 1u);
    const Partition& p = t.partitions[0];
    const PartitionStore window(store.Clone(), p.Offset(), p.Length(), false);
    const PartitionVolume v = ReadPartitionVolume(window, p);
    EXPECT_EQ(v.readable, c.readable);
    EXPECT_EQ(v.label, c.label);
    EXPECT_EQ(v.fault, c.fault);
    EXPECT_EQ(v.note, c.note);
    if (v.readable) {
      EXPECT_EQ(v.fatKind, FatKind::Fat12);
      EXPECT_EQ(v.bytes, 1440u * 512);
    }
  }
}

}  // namespace
}  // namespace quarnel
