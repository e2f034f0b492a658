// Small disks for the disk fuzz targets. The fuzzer's bytes do not make the whole image: they are
// patches over a disk of 48 sectors (24 KB: one-sector clusters, two one-sector FATs, 32 root
// entries, 43 data clusters), empty or holding a small tree of files and folders, aimed at its
// boot sector, either FAT, the root directory or the data area. A few hundred input bytes so
// reach every field a chain walk, a directory listing, the check or the repair looks at, and each
// run copies a 24 KB image instead of a whole floppy.
//
// With bit 7 of byte 0 set the disk is a FAT16 volume instead: the fewest clusters FAT16 has
// (4,101 of one sector, 2 MB, two FATs of 17 sectors), read as a volume larger than a floppy (no
// tracks), so that FAT16 entries, end marks above 0xFFF and cluster numbers past 4095 are a few
// patch bytes away. Its data patches reach the first 64 KB of the data area.
//
// Input: byte 0 is for the target (bit 0 picks the tree, bit 7 the FAT16 volume, the other bits
// are the target's own), then patches of [region][offset low][offset high][length][length bytes].
// The region is taken modulo five (boot sector, FAT 1, FAT 2, root directory, data area); the
// offset modulo the region's size; a patch stops at the region's end and at the end of the input.
//
// Load the image with LoadSmallDisk: the FAT12 disk is smaller than any floppy a file may hold.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/add_file.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace quarnel::fuzz {

struct SmallDiskInput {
  ImageBytes image;
  std::uint8_t flags = 0;  // byte 0 of the input
  bool fat16 = false;      // the FAT16 volume
};

namespace detail {

inline constexpr GeometryRow kSmallRow = {"", "", 0xF8, 32, 1, 8, 1, 1, 48, 24};
// 1 reserved + 2 x 17 FAT + 2 root sectors + 4,101 clusters.
inline constexpr GeometryRow kFat16Row = {"", "", 0xF8, 32, 17, 0, 0, 1, 4138, 2069};
inline constexpr std::size_t kSector = 512;

struct Region {
  std::size_t offset;
  std::size_t size;
};

inline std::array<Region, 5> Regions(const GeometryRow& row) {
  const std::size_t fat = kSector;  // one reserved sector
  const std::size_t fatBytes = row.sectorsPerFat * kSector;
  const std::size_t root = fat + 2 * fatBytes;
  const std::size_t rootBytes = row.rootEntries * std::size_t{32};
  return {{{0, kSector},
           {fat, fatBytes},
           {fat + fatBytes, fatBytes},
           {root, rootBytes},
           {root + rootBytes, row.totalSectors * kSector - (root + rootBytes)}}};
}

// A new disk of `row`; a FAT16 one with its reserved entry 1 all ones.
inline ImageBytes Formatted(const GeometryRow& row, bool fat16) {
  const auto made = BuildNewImage(row);
  ImageBytes out(made.begin(), made.end());
  if (fat16)
    for (std::size_t fat = 0; fat < 2; ++fat)
      out[kSector + fat * row.sectorsPerFat * kSector + 3] = 0xFF;
  return out;
}

inline std::vector<std::uint8_t> Filled(std::size_t n, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

inline void Load(Workspace& ws, ImageBytes image, bool fat16) {
  if (fat16)
    ws.LoadVolume(std::make_unique<MemoryStore>(std::move(image)), "fuzz.img");
  else
    ws.LoadBuiltImage(std::move(image), "fuzz.dsk");
}

// The empty disk with: HELLO.BAS (1 cluster), DATA.BIN (10), README.TXT (2), SUB holding A.TXT
// (3) and DEEP holding B.TXT (1), and EMPTY.DAT (no cluster).
inline ImageBytes BuildTree(const GeometryRow& row, bool fat16) {
  const ImageBytes empty = Formatted(row, fat16);
  Workspace ws;
  Load(ws, empty, fat16);
  if (!ws.HasImage()) return empty;
  const LocalDateTime when{2001, 2, 3, 4, 5, 6};
  auto add = [&](DirRef dir, const char* name, std::size_t n, std::uint8_t seed) {
    NewFile f;
    f.name = name;
    f.bytes = Filled(n, seed);
    f.modified = when;
    AddFileData(ws.image, dir, f);
  };
  auto dirNamed = [&](DirRef parent, const char* name) {
    MakeDirectory(ws.image, parent, name, when);
    if (const auto contents = ListDirectory(ws.image, parent))
      for (const FileEntry& e : EntriesOf(*contents))
        if (e.IsDirectory() && e.name == name) return DirRef{e.firstCluster};
    return kRootDir;
  };
  add(kRootDir, "HELLO.BAS", 300, 1);
  add(kRootDir, "DATA.BIN", 5000, 2);
  add(kRootDir, "README.TXT", 700, 3);
  const DirRef sub = dirNamed(kRootDir, "SUB");
  add(sub, "A.TXT", 1200, 4);
  const DirRef deep = dirNamed(sub, "DEEP");
  add(deep, "B.TXT", 100, 5);
  add(kRootDir, "EMPTY.DAT", 0, 6);
  return ws.image.Memory();
}

}  // namespace detail

// The disk the input describes (an empty input gives the empty disk).
inline SmallDiskInput SmallDisk(const std::uint8_t* data, std::size_t size) {
  static const ImageBytes empty = detail::Formatted(detail::kSmallRow, false);
  static const ImageBytes tree = detail::BuildTree(detail::kSmallRow, false);
  static const ImageBytes empty16 = detail::Formatted(detail::kFat16Row, true);
  static const ImageBytes tree16 = detail::BuildTree(detail::kFat16Row, true);
  SmallDiskInput out;
  out.flags = size > 0 ? data[0] : 0;
  out.fat16 = (out.flags & 0x80) != 0;
  out.image = out.fat16 ? ((out.flags & 1) ? tree16 : empty16) : ((out.flags & 1) ? tree : empty);
  const auto regions = detail::Regions(out.fat16 ? detail::kFat16Row : detail::kSmallRow);
  std::size_t i = 1;
  while (i + 4 <= size) {
    const auto& r = regions[data[i] % regions.size()];
    const std::size_t at = (data[i + 1] | (std::size_t{data[i + 2]} << 8)) % r.size;
    std::size_t n = data[i + 3];
    i += 4;
    n = std::min({n, r.size - at, size - i});
    std::copy(data + i, data + i + n,
              out.image.begin() + static_cast<std::ptrdiff_t>(r.offset + at));
    i += n;
  }
  return out;
}

// Loads the disk into `ws` as its kind is loaded: the FAT12 disk as a built image, the FAT16
// volume from a store.
inline void LoadSmallDisk(Workspace& ws, SmallDiskInput disk) {
  detail::Load(ws, std::move(disk.image), disk.fat16);
}

}  // namespace quarnel::fuzz
