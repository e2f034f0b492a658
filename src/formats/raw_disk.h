// Absolute sector access to a floppy disk: the operations the floppy dialog and the command line
// need, behind one small interface so that a real block device, a regular file and the tests'
// fault-injecting disks are used the same way. Sectors are always 512 bytes here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"

namespace quarnel {

inline constexpr std::size_t kRawSectorBytes = 512;

class RawDisk {
 public:
  virtual ~RawDisk() = default;

  // Reads `out.size()` bytes (a whole number of sectors) from sector `first` on. False on a
  // failure, with rawDiskError() set.
  virtual bool ReadSectors(std::uint64_t first, MutableBytes out) = 0;
  // Writes `data` (a whole number of sectors) from sector `first` on. False on a failure, with
  // rawDiskError() set.
  virtual bool WriteSectors(std::uint64_t first, Bytes data) = 0;
  // The bytes the disk holds.
  virtual std::uint64_t SizeBytes() const = 0;
  // True when the disk has a fixed size (a device); a regular file grows as it is written.
  virtual bool FixedSize() const = 0;
  // Everything written reaches the disk, and later reads come from the disk, not from what the
  // system kept of earlier reads and writes. False on a failure, with rawDiskError() set.
  virtual bool ResetDrive() = 0;

  // The system's error number of the last failed operation (0: none) and its reason text.
  int rawDiskError() const { return rawDiskError_; }
  std::string ErrorReason() const;

 protected:
  void SetError(int errnum) { rawDiskError_ = errnum; }

 private:
  int rawDiskError_ = 0;
};

// The sectors a disk of `bytes` bytes holds (a partial sector at its end does not count).
inline std::uint64_t WholeSectors(std::uint64_t bytes) { return bytes / kRawSectorBytes; }

// `floppyBoot`: sector 0 of the disk, trimmed to the bytes-per-sector value it holds when that
// value lies between the boot-sector fields' end and the sector's size; nullopt when the sector
// cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBootSector(RawDisk& disk);

// Whether the drive holds a readable disk: sector 0 can be read.
bool DriveReady(RawDisk& disk);

// The fields of a floppy's boot sector the dialog shows; 0 for a field the bytes do not hold.
struct FloppyGeometry {
  std::uint16_t bytesPerSector = 0;
  std::uint8_t sectorsPerCluster = 0;
  std::uint16_t totalSectors = 0;
  std::uint16_t sectorsPerTrack = 0;
  std::uint16_t heads = 0;
  // total sectors / sectors per track / heads, rounded (0 when either is 0).
  std::int64_t Cylinders() const;
};
FloppyGeometry GeometryOf(Bytes floppyBoot);

// The dialog's geometry lines: "Total physical sectors: ", "Cylinders: ", "Heads: ",
// "Bytes per sector: ", "Sectors per Cluster: ", each with its number.
std::vector<std::string> GeometryLines(Bytes floppyBoot);

}  // namespace quarnel
