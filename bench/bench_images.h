// Disk images the benchmarks share: a 720 KB disk filled with 100 files of 7 KB in the root, and
// a blank 1.44 MB disk with one-sector clusters and 224 root entries (its boot sector only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/add_file.h"
#include "core/boot_sector.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace quarnel::bench {

inline DiskImage FullDisk720() {
  Workspace ws;
  ws.LoadImageBytes(BuildNewImage(GeometryTable[7]), "full.dsk");
  for (int i = 0; i < 100; ++i) {
    NewFile f;
    f.name = "F" + std::to_string(i).append(".BIN");
    f.bytes.assign(7 * 1024, static_cast<std::uint8_t>(i));
    AddFileData(ws.image, kRootDir, f);
  }
  return ws.image;
}

inline std::vector<std::uint8_t> Blank1440() {
  std::vector<std::uint8_t> bytes(1474560, 0);
  BootSector bs{};
  bs.bytesPerSector.Set(512);
  bs.sectorsPerCluster = 1;
  bs.reservedSectors.Set(1);
  bs.fatCount = 2;
  bs.rootEntries.Set(224);
  bs.totalSectors.Set(2880);
  bs.media = 0xF0;
  bs.sectorsPerFat.Set(9);
  bs.sectorsPerTrack.Set(18);
  bs.sides.Set(2);
  PutBootSector(MutableBytes(bytes.data(), bytes.size()), bs);
  return bytes;
}

}  // namespace quarnel::bench
