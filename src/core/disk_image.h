// The disk image held in memory and the geometry decoded from its boot sector.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/boot_sector.h"
#include "core/bytes.h"
#include "core/rounding.h"

namespace quarnel {

// Image sizes (bytes) of the standard MSX floppies; others load after a warning.
inline constexpr std::int32_t kStandardImageSizes[] = {163840, 184320, 327680, 368640,
                                                       655360, 737280, 1474560};
inline constexpr std::int32_t kSmallestImageSize = 163840;
inline constexpr std::int32_t kLargestImageSize = 1474560;
inline constexpr std::uint16_t kLargestSectorSize = 512;
// FAT12 numbers at most 4,084 data clusters; a disk with more is FAT16 and is not read as FAT12.
inline constexpr std::int32_t kMostFat12Clusters = 4084;

// Boot-sector fields and the values derived from them. Every offset counts bytes from the start
// of the image. Derived values are computed exactly in 32 bits (no 16-bit wrap-around).
struct DiskGeometry {
  std::uint16_t bytesPerSector = 0;    // +11
  std::uint8_t sectorsPerCluster = 0;  // +13
  std::uint16_t reservedSectors = 0;   // +14
  std::uint8_t fatCount = 0;           // +16
  std::uint16_t rootEntries = 0;       // +17
  std::uint16_t totalSectors = 0;      // +19
  std::uint8_t media = 0;              // +21
  std::uint16_t sectorsPerFat = 0;     // +22
  std::uint16_t sectorsPerTrack = 0;   // +24
  std::uint16_t sides = 0;             // +26

  std::uint32_t tracks = 0;        // totalSectors / (sectorsPerTrack * sides)
  std::uint32_t clusterBytes = 0;  // bytesPerSector * sectorsPerCluster
  std::int32_t dataSectors = 0;    // sectors left for clusters; negative on a broken boot sector
  std::uint32_t clusterLimit = 0;  // totalSectors / sectorsPerCluster, rounded half to even
  std::uint32_t fatOffset = 0;     // first FAT
  std::uint32_t rootOffset = 0;    // root directory
  std::uint32_t dataOffset = 0;    // first byte of cluster 2
  std::int32_t dataClusters = 0;   // valid data clusters are 2 .. dataClusters + 1

  // Highest valid data cluster (dataClusters + 1), or 1 when there is none.
  std::uint32_t LastDataCluster() const {
    return dataClusters > 0 ? static_cast<std::uint32_t>(dataClusters) + 1 : 1;
  }
  // Bytes of one FAT copy.
  std::uint32_t FatBytes() const {
    return static_cast<std::uint32_t>(bytesPerSector) * sectorsPerFat;
  }
};

// Copies the raw fields of `bs` into a geometry (derived values left at 0).
DiskGeometry GeometryFields(const BootSector& bs);
// Fills the derived values of `g` from its raw fields, in the order the table lists them.
// Needs bytesPerSector, sectorsPerCluster, sectorsPerTrack and sides above 0.
void DeriveGeometry(DiskGeometry& g);

// A disk image in memory and how its load went. `bytes` is empty when none is loaded.
struct DiskImage {
  ImageBytes bytes;
  std::int32_t size = 0;
  bool loadFailed = false;      // refused for its size, a read error or its sector size
  bool bootError = false;       // boot sector refused: bytes kept, nothing listed or read
  std::string bootErrorDetail;  // which field was refused and why (for a second message line)
  DiskGeometry geometry;

  // An image whose directories and files may be read.
  bool Usable() const { return !loadFailed && !bootError && !bytes.empty(); }
  Bytes View() const { return Bytes(bytes.data(), bytes.size()); }
  MutableBytes MutableView() { return MutableBytes(bytes.data(), bytes.size()); }
};

}  // namespace quarnel
