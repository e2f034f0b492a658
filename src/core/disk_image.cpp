#include "core/disk_image.h"

namespace quarnel {

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

void DeriveGeometry(DiskGeometry& g) {
  if (g.bytesPerSector == 0 || g.sectorsPerCluster == 0 || g.sectorsPerTrack == 0 || g.sides == 0)
    return;
  const std::uint32_t bps = g.bytesPerSector;
  g.tracks = g.totalSectors / (static_cast<std::uint32_t>(g.sectorsPerTrack) * g.sides);
  g.clusterBytes = bps * g.sectorsPerCluster;
  std::int64_t dataSectors = static_cast<std::int64_t>(g.totalSectors) - g.reservedSectors -
                             static_cast<std::int64_t>(g.sectorsPerFat) * g.fatCount -
                             (static_cast<std::int64_t>(g.rootEntries) * 32) / bps;
  g.dataSectors = static_cast<std::int32_t>(dataSectors);
  g.clusterLimit = static_cast<std::uint32_t>(RoundHalfEven(g.totalSectors, g.sectorsPerCluster));
  g.fatOffset = bps * g.reservedSectors;
  g.rootOffset = bps * g.sectorsPerFat * g.fatCount + g.fatOffset;
  g.dataOffset = g.rootOffset + static_cast<std::uint32_t>(g.rootEntries) * 32;
  // Truncation towards zero, as the division of a negative count does.
  g.dataClusters = g.dataSectors / static_cast<std::int32_t>(g.sectorsPerCluster);
}

}  // namespace quarnel
