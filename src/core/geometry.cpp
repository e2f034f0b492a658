#include "core/geometry.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

namespace quarnel {

namespace {

// The boot-sector field that makes the layout impossible, in words; nullopt when none does.
// Sectors per track and sides place a floppy's sectors on its tracks; a larger volume (a hard
// disk, a memory card) need not give them.
std::optional<std::string> ZeroBootField(const DiskGeometry& g, bool floppy) {
  if (g.bytesPerSector == 0) return "bytes per sector (offset 11) is 0";
  if (g.sectorsPerCluster == 0) return "sectors per cluster (offset 13) is 0";
  if (g.reservedSectors == 0)
    return "reserved sectors (offset 14) is 0: the FAT would lie on the boot sector";
  if (g.fatCount == 0) return "number of FATs (offset 16) is 0";
  if (g.sectorsPerFat == 0) return "sectors per FAT (offset 22) is 0";
  if (floppy && g.sectorsPerTrack == 0) return "sectors per track (offset 24) is 0";
  if (floppy && g.sides == 0) return "number of sides (offset 26) is 0";
  return std::nullopt;
}

}  // namespace

DiskGeometry GeometryFields(const BootSector& bs) {
  DiskGeometry g;
  g.bytesPerSector = bs.bytesPerSector.Get();
  g.sectorsPerCluster = bs.sectorsPerCluster;
  g.reservedSectors = bs.reservedSectors.Get();
  g.fatCount = bs.fatCount;
  g.rootEntries = bs.rootEntries.Get();
  g.totalSectors = bs.totalSectors.Get();
  g.media = bs.media;
  g.sectorsPerFat = bs.sectorsPerFat.Get();
  g.sectorsPerTrack = bs.sectorsPerTrack.Get();
  g.sides = bs.sides.Get();
  return g;
}

DiskGeometry GeometryFieldsAt(Bytes boot) {
  BootSector bs;
  std::memset(&bs, 0, sizeof bs);
  std::memcpy(&bs, boot.data(), std::min(boot.size(), sizeof bs));
  // A field cut by the end of the bytes reads as 0, not as its first byte.
  auto cut16 = [&boot](Le16Field& f, std::size_t off) {
    if (boot.size() < off + 2) f.Set(0);
  };
  auto cut8 = [&boot](std::uint8_t& f, std::size_t off) {
    if (boot.size() < off + 1) f = 0;
  };
  cut16(bs.bytesPerSector, offsetof(BootSector, bytesPerSector));
  cut8(bs.sectorsPerCluster, offsetof(BootSector, sectorsPerCluster));
  cut16(bs.reservedSectors, offsetof(BootSector, reservedSectors));
  cut8(bs.fatCount, offsetof(BootSector, fatCount));
  cut16(bs.rootEntries, offsetof(BootSector, rootEntries));
  cut16(bs.totalSectors, offsetof(BootSector, totalSectors));
  cut8(bs.media, offsetof(BootSector, media));
  cut16(bs.sectorsPerFat, offsetof(BootSector, sectorsPerFat));
  cut16(bs.sectorsPerTrack, offsetof(BootSector, sectorsPerTrack));
  cut16(bs.sides, offsetof(BootSector, sides));
  return GeometryFields(bs);
}

void PutGeometryFields(BootSector& bs, const DiskGeometry& g) {
  bs.bytesPerSector.Set(g.bytesPerSector);
  bs.sectorsPerCluster = g.sectorsPerCluster;
  bs.reservedSectors.Set(g.reservedSectors);
  bs.fatCount = g.fatCount;
  bs.rootEntries.Set(g.rootEntries);
  // A count above 16 bits lives in the 32-bit field at +32, which the caller writes.
  bs.totalSectors.Set(g.totalSectors <= 0xFFFF ? static_cast<std::uint16_t>(g.totalSectors) : 0);
  bs.media = g.media;
  bs.sectorsPerFat.Set(g.sectorsPerFat);
  bs.sectorsPerTrack.Set(g.sectorsPerTrack);
  bs.sides.Set(g.sides);
}

void DeriveGeometry(DiskGeometry& g) {
  if (g.bytesPerSector == 0 || g.sectorsPerCluster == 0) return;
  const std::uint64_t bps = g.bytesPerSector;
  const std::uint64_t perCylinder = std::uint64_t{g.sectorsPerTrack} * g.sides;
  g.tracks = perCylinder ? static_cast<std::uint32_t>(g.totalSectors / perCylinder) : 0;
  g.clusterBytes = static_cast<std::uint32_t>(bps * g.sectorsPerCluster);
  g.dataSectors = static_cast<std::int64_t>(g.totalSectors) - g.reservedSectors -
                  static_cast<std::int64_t>(g.sectorsPerFat) * g.fatCount -
                  (static_cast<std::int64_t>(g.rootEntries) * 32) / static_cast<std::int64_t>(bps);
  g.fatOffset = bps * g.reservedSectors;
  g.rootOffset = bps * g.sectorsPerFat * g.fatCount + g.fatOffset;
  g.dataOffset = g.rootOffset + std::uint64_t{g.rootEntries} * 32;
  // Truncation towards zero, as the division of a negative count does; a count no FAT numbers
  // is held at a value above every limit.
  const std::int64_t clusters = g.dataSectors / g.sectorsPerCluster;
  g.dataClusters = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(clusters, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
  g.fatKind = g.dataClusters > kMostFat12Clusters ? FatKind::Fat16 : FatKind::Fat12;
}

GeometryReading ReadGeometry(Bytes boot, std::uint64_t volumeBytes, std::int32_t mostClusters) {
  GeometryReading out;
  auto refuse = [&out](GeometryFault fault, std::string detail = {}) {
    out.fault = fault;
    out.detail = std::move(detail);
    return out;
  };
  const auto bs = BootSectorAt(boot);
  if (!bs) return refuse(GeometryFault::NoBootSector);
  DiskGeometry& g = out.geometry;
  g = GeometryFields(*bs);
  // A floppy's boot program may start at +30, so only a larger volume has the 32-bit count.
  const bool floppy = volumeBytes <= kLargestFloppyBytes;
  if (!floppy && g.totalSectors == 0 && boot.size() >= offsetof(BootSector, totalSectors32) + 4)
    g.totalSectors = bs->totalSectors32.Get();
  if (g.bytesPerSector > kLargestSectorSize) return refuse(GeometryFault::SectorTooBig);
  // A zero field would divide by zero below; no FAT, or a FAT lying on the boot sector, would
  // have every change write FAT entries over the boot sector or the root directory.
  if (auto field = ZeroBootField(g, floppy)) return refuse(GeometryFault::ZeroField, *field);
  DeriveGeometry(g);
  if (g.DiskBytes() > volumeBytes) return refuse(GeometryFault::DiskLarger);
  // The FATs and the root directory must lie inside the disk (and so inside the volume).
  if (g.dataSectors < 0 || g.dataOffset > volumeBytes) return refuse(GeometryFault::SystemOutside);
  if (g.dataClusters > mostClusters)
    return refuse(GeometryFault::TooManyClusters, std::to_string(g.dataClusters) + " clusters, " +
                                                      std::to_string(mostClusters) + " at most");
  return out;
}

bool ClustersMappable(const DiskGeometry& g, std::uint64_t volumeBytes) {
  return g.clusterBytes > 0 && g.dataOffset <= volumeBytes && g.dataClusters >= 0 &&
         g.dataClusters <= kMostFat16Clusters;
}

DiskGeometry RowGeometry(const GeometryRow& row) {
  DiskGeometry g;
  g.bytesPerSector = 512;
  g.sectorsPerCluster = row.sectorsPerCluster;
  g.reservedSectors = 1;
  g.fatCount = 2;
  g.rootEntries = row.rootEntries;
  g.totalSectors = row.totalSectors;
  g.media = row.media;
  g.sectorsPerFat = row.sectorsPerFat;
  g.sectorsPerTrack = row.sectorsPerTrack;
  g.sides = row.sides;
  DeriveGeometry(g);
  return g;
}

}  // namespace quarnel
