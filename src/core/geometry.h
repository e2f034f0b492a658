// The layout of a FAT volume: the one place a boot sector becomes positions and counts. Load,
// check, repair, reports, floppy writing and new images read the layout from here and never
// decode boot-sector fields themselves.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/boot_sector.h"
#include "core/bytes.h"

namespace quarnel {

inline constexpr std::uint16_t kLargestSectorSize = 512;
// FAT12 numbers at most 4,084 data clusters; a volume with more is FAT16, which numbers at most
// 65,524.
inline constexpr std::int32_t kMostFat12Clusters = 4084;
inline constexpr std::int32_t kMostFat16Clusters = 65524;

// The largest floppy image (1.44 MB); a larger volume is a hard disk's or a memory card's.
inline constexpr std::uint64_t kLargestFloppyBytes = 1474560;

// Which FAT a volume has follows from its cluster count alone.
enum class FatKind { Fat12, Fat16 };

// Boot-sector fields and the values derived from them. Every offset counts bytes from the start
// of the volume, in 64 bits: the FATs of a large FAT16 volume may end past 4 GB.
struct DiskGeometry {
  std::uint16_t bytesPerSector = 0;    // +11
  std::uint8_t sectorsPerCluster = 0;  // +13
  std::uint16_t reservedSectors = 0;   // +14
  std::uint8_t fatCount = 0;           // +16
  std::uint16_t rootEntries = 0;       // +17
  std::uint32_t totalSectors = 0;      // +19, or +32 when that is 0 (a volume of 65,536 or more)
  std::uint8_t media = 0;              // +21
  std::uint16_t sectorsPerFat = 0;     // +22
  std::uint16_t sectorsPerTrack = 0;   // +24
  std::uint16_t sides = 0;             // +26

  std::uint32_t tracks = 0;        // totalSectors / (sectorsPerTrack * sides); 0 without both
  std::uint32_t clusterBytes = 0;  // bytesPerSector * sectorsPerCluster
  std::int64_t dataSectors = 0;    // sectors left for clusters; negative on a broken boot sector
  std::uint64_t fatOffset = 0;     // first FAT
  std::uint64_t rootOffset = 0;    // root directory
  std::uint64_t dataOffset = 0;    // first byte of cluster 2
  std::int32_t dataClusters = 0;   // valid data clusters are 2 .. dataClusters + 1
  FatKind fatKind = FatKind::Fat12;

  // Highest valid data cluster (dataClusters + 1), or 1 when there is none.
  std::uint32_t LastDataCluster() const {
    return dataClusters > 0 ? static_cast<std::uint32_t>(dataClusters) + 1 : 1;
  }
  // Bytes of one FAT copy.
  std::uint64_t FatBytes() const { return std::uint64_t{bytesPerSector} * sectorsPerFat; }
  // FAT entries one copy holds (entries 0 and 1 included).
  std::uint64_t FatEntriesPerCopy() const {
    return fatKind == FatKind::Fat12 ? FatBytes() * 2 / 3 : FatBytes() / 2;
  }
  // Bytes of the disk the boot sector describes.
  std::uint64_t DiskBytes() const { return std::uint64_t{totalSectors} * bytesPerSector; }

  bool operator==(const DiskGeometry&) const = default;
};

// Copies the raw fields of `bs` into a geometry (derived values left at 0).
DiskGeometry GeometryFields(const BootSector& bs);
// The raw fields of the boot sector at the start of `boot`; a field the bytes do not hold is 0.
DiskGeometry GeometryFieldsAt(Bytes boot);
// Fills the derived values of `g` from its raw fields, in the order the table lists them.
// Needs bytesPerSector and sectorsPerCluster above 0; tracks stay 0 without sectors per track
// and sides (a hard-disk volume need not give them).
void DeriveGeometry(DiskGeometry& g);
// Writes the raw fields of `g` into `bs` (the jump, OEM text and hidden sectors stay).
void PutGeometryFields(BootSector& bs, const DiskGeometry& g);

// Why a boot sector gives no layout a volume may be read by.
enum class GeometryFault {
  None,
  NoBootSector,     // the volume is shorter than the boot-sector fields
  SectorTooBig,     // more than kLargestSectorSize bytes per sector
  ZeroField,        // a field the layout divides by or places the FAT with is 0
  DiskLarger,       // the disk is larger than the volume's bytes
  SystemOutside,    // the FATs and the root directory do not fit in the disk
  TooManyClusters,  // more clusters than the FAT kinds read here number
};

// A boot sector read as a layout.
struct GeometryReading {
  DiskGeometry geometry;  // the raw fields always; the derived values unless a field is 0
  GeometryFault fault = GeometryFault::None;
  std::string detail;  // the refused field or count in words (ZeroField, TooManyClusters)

  bool Usable() const { return fault == GeometryFault::None; }
};

// The layout the boot sector at the start of `boot` gives a volume of `volumeBytes` bytes,
// checked in this order: sector size, zero fields, disk size, system area, cluster count (at
// most `mostClusters`). Its fatKind follows from the cluster count. A volume larger than a floppy
// takes its sector count from +32 when +19 holds 0, and needs no sectors per track or sides.
GeometryReading ReadGeometry(Bytes boot, std::uint64_t volumeBytes,
                             std::int32_t mostClusters = kMostFat16Clusters);

// Whether the clusters of `g` may be mapped over a volume of `volumeBytes` bytes: clusters of
// some size, data starting inside the volume and a cluster count a FAT numbers.
bool ClustersMappable(const DiskGeometry& g, std::uint64_t volumeBytes);

// One standard floppy geometry. Every row has 512-byte sectors, 1 reserved sector and 2 FATs.
struct GeometryRow {
  std::string_view size;     // as the command line names it: 160 180 320 320s 360 360s 640 720
  std::string_view caption;  // the menu text
  std::uint8_t media;
  std::uint16_t rootEntries;
  std::uint16_t sectorsPerFat;
  std::uint16_t sectorsPerTrack;
  std::uint16_t sides;
  std::uint8_t sectorsPerCluster;
  std::uint32_t totalSectors;
  std::uint16_t sizeKb;
};

inline constexpr std::array<GeometryRow, 8> GeometryTable = {{
    {"160", "160 KB (8 sectors x 40 tracks x 1 side)", 0xFE, 64, 1, 8, 1, 1, 320, 160},
    {"180", "180 KB (9 sectors x 40 tracks x 1 side)", 0xFC, 64, 2, 9, 1, 1, 360, 180},
    {"320s", "320 KB (8 sectors x 80 tracks x 1 side)", 0xFA, 112, 1, 8, 1, 2, 640, 320},
    {"320", "320 KB (8 sectors x 40 tracks x 2 side)", 0xFF, 112, 1, 8, 2, 2, 640, 320},
    {"360s", "360 KB (9 sectors x 80 tracks x 1 side)", 0xF8, 112, 2, 9, 1, 2, 720, 360},
    {"360", "360 KB (9 sectors x 40 tracks x 2 side)", 0xFD, 112, 2, 9, 2, 2, 720, 360},
    {"640", "640 KB (8 sectors x 80 tracks x 2 side)", 0xFB, 112, 2, 8, 2, 2, 1280, 640},
    {"720", "720 KB (9 sectors x 80 tracks x 2 side)", 0xF9, 112, 3, 9, 2, 2, 1440, 720},
}};

// The derived geometry of a row of the standard table.
DiskGeometry RowGeometry(const GeometryRow& row);

}  // namespace quarnel
