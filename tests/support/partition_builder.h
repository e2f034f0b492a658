// Partition tables built byte by byte for tests: master boot records, chains of extended boot
// records and Sunrise IDE tables, hostile ones included.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quarnel::test {

class PartitionedImage {
 public:
  explicit PartitionedImage(std::uint64_t sectors) : bytes(sectors * 512, 0) {}

  // Entry `slot` (0-3) of the record at `sector`: boot flag, type, first sector, count.
  PartitionedImage& Entry(std::uint64_t sector, int slot, std::uint8_t type, std::uint32_t first,
                          std::uint32_t count, std::uint8_t flag = 0) {
    const std::size_t at = sector * 512 + 0x1BE + static_cast<std::size_t>(slot) * 16;
    bytes[at] = flag;
    bytes[at + 4] = type;
    Put32(at + 8, first);
    Put32(at + 12, count);
    return Sign(sector);
  }
  // 55 AA at the end of `sector`.
  PartitionedImage& Sign(std::uint64_t sector) {
    bytes[sector * 512 + 510] = 0x55;
    bytes[sector * 512 + 511] = 0xAA;
    return *this;
  }
  // EB FE 90 and `text` at the start of sector 0 ("NEXTOR20", "MSX_IDE ").
  PartitionedImage& Mark(std::string_view text) {
    bytes[0] = 0xEB;
    bytes[1] = 0xFE;
    bytes[2] = 0x90;
    std::copy(text.begin(), text.end(), bytes.begin() + 3);
    return *this;
  }
  // A Sunrise IDE entry for partition `p` (1-31): absolute first sector and count.
  PartitionedImage& SunriseEntry(int p, std::uint8_t type, std::uint32_t first,
                                 std::uint32_t count) {
    const std::size_t at = 14 + static_cast<std::size_t>(31 - p) * 16;
    bytes[at + 4] = type;
    Put32(at + 8, first);
    Put32(at + 12, count);
    return *this;
  }
  // The Nextor layout: partition 1 in the MBR at sector 1, the others each behind an EBR in
  // the sector before it, entry 0 counted from its EBR, the link from the outermost EBR.
  // `sizes` in sectors; partitions follow each other without gaps.
  static PartitionedImage Nextor(const std::vector<std::uint32_t>& sizes, std::uint64_t extra = 0) {
    std::uint64_t total = 1;
    for (auto s : sizes) total += s + 1;
    PartitionedImage img(total - 1 + extra);
    img.Mark("NEXTOR20");
    img.Entry(0, 0, 0x01, 1, sizes[0]);
    const std::uint32_t outer = 1 + sizes[0];
    std::uint32_t at = outer;
    for (std::size_t i = 1; i < sizes.size(); ++i) {
      if (i == 1) img.Entry(0, 1, 0x05, outer, static_cast<std::uint32_t>(total - 1 - outer));
      img.Entry(at, 0, 0x06, 1, sizes[i]);
      const std::uint32_t next = at + 1 + sizes[i];
      if (i + 1 < sizes.size()) img.Entry(at, 1, 0x05, next - outer, sizes[i + 1] + 1);
      at = next;
    }
    return img;
  }

  std::vector<std::uint8_t> bytes;

 private:
  void Put32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
};

}  // namespace quarnel::test
