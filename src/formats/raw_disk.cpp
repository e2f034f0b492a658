#include "formats/raw_disk.h"

#include <system_error>

#include "core/geometry.h"
#include "core/rounding.h"
#include "formats/messages.h"

namespace quarnel {

namespace {

constexpr std::size_t kBootFieldsEnd = 28;  // the last field shown (heads) ends here

}  // namespace

std::string RawDisk::ErrorReason() const {
  return rawDiskError_ == 0 ? std::string()
                            : std::error_code(rawDiskError_, std::generic_category()).message();
}

std::optional<std::vector<std::uint8_t>> ReadBootSector(RawDisk& disk) {
  std::vector<std::uint8_t> sector(kRawSectorBytes);
  if (!disk.ReadSectors(0, sector)) return std::nullopt;
  const std::size_t bps = GeometryFieldsAt(sector).bytesPerSector;
  if (bps >= kBootFieldsEnd && bps < sector.size()) sector.resize(bps);
  return sector;
}

bool DriveReady(RawDisk& disk) { return ReadBootSector(disk).has_value(); }

std::int64_t FloppyGeometry::Cylinders() const {
  return RoundHalfEven(totalSectors, std::int64_t{sectorsPerTrack} * heads);
}

FloppyGeometry GeometryOf(Bytes floppyBoot) {
  const DiskGeometry d = GeometryFieldsAt(floppyBoot);
  return {d.bytesPerSector, d.sectorsPerCluster, static_cast<std::uint16_t>(d.totalSectors),
          d.sectorsPerTrack, d.sides};
}

std::vector<std::string> GeometryLines(Bytes floppyBoot) {
  namespace m = formats::msg;
  const FloppyGeometry g = GeometryOf(floppyBoot);
  return {
      std::string(m::kTotalSectorsLine) + std::to_string(g.totalSectors),
      std::string(m::kCylindersLine) + std::to_string(g.Cylinders()),
      std::string(m::kHeadsLine) + std::to_string(g.heads),
      std::string(m::kBytesPerSectorLine) + std::to_string(g.bytesPerSector),
      std::string(m::kSectorsPerClusterLine) + std::to_string(g.sectorsPerCluster),
  };
}

}  // namespace quarnel
