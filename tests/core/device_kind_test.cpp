// What an image file holds, told by its bytes: a card image, one volume larger than a floppy, or
// neither, whatever the file is named.
#include "core/device_kind.h"

#include <gtest/gtest.h>

#include "support/image_builder.h"
#include "support/partition_builder.h"
#include "support/test_env.h"

namespace quarnel::test {
namespace {

TEST(DeviceKind, TheBytesDecideNotTheName) {
  TempDir dir;
  // A 4 MB FAT12 volume: larger than any floppy.
  const GeometryLayout big{512, 4, 1, 2, 112, 8192, 0xF8, 6, 32, 2};
  PartitionedImage card(64);
  card.Entry(0, 0, 0x01, 1, 63);
  // A floppy-sized volume behind a table is still a card; a floppy dump with a boot sector
  // that ends 55 AA is still a floppy.
  ImageBuilder floppy;
  floppy.Poke(510, 0x55);
  floppy.Poke(511, 0xAA);
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    DeviceKind kind;
  } cases[] = {
      {"card.img", card.bytes, DeviceKind::Partitioned},
      {"big.img", ImageBuilder(big).Bytes(), DeviceKind::LargeVolume},
      {"floppy.img", floppy.Bytes(), DeviceKind::Other},
      {"noise.img", std::vector<std::uint8_t>(2 << 20, 0xE5), DeviceKind::Other},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteHostFile(dir / c.name, c.bytes);
    EXPECT_EQ(DeviceKindOf((dir / c.name).string()), c.kind);
  }
  EXPECT_EQ(DeviceKindOf((dir / "missing.img").string()), DeviceKind::Other);
}

}  // namespace
}  // namespace quarnel::test
