// Writing a disk image to a floppy sector by sector, checking what was written, and reading a
// whole floppy into a new image. Headless: the front end chooses the disk and the range, and
// follows the work through a progress callback; a cancel flag stops it between two sectors, so
// the work can run on a thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/outcome.h"
#include "formats/raw_disk.h"

namespace quarnel {

class FileIo;

// Images of fewer sectors than this (160 and 180 KB) have their boot sector written first, so the
// drive learns the disk's format before the other sectors go to it.
inline constexpr std::uint64_t kBootFirstBelowSectors = 400;

// The sectors of an image: its size in 512-byte sectors, a partial last sector counted (it is
// written padded with zeros; nothing is read past the image).
std::uint64_t ImageSectors(std::uint64_t imageBytes);

// Sector `s` of the image, the bytes past its end zero.
std::vector<std::uint8_t> ImageSector(Bytes image, std::uint64_t s);

// "Whole disk", or the Start and End sectors the user gave.
struct RangeChoice {
  bool wholeDisk = true;
  std::int64_t start = 0, end = 0;
};

// The sectors to write, first to last (both included).
struct WriteRange {
  std::uint64_t first = 0, last = 0;
};

enum class FloppyStatus {
  Done,
  Refused,        // the range or the disk does not allow the work; nothing touched
  DriveNotReady,  // no readable disk
  WriteError,     // a sector could not be written (the message names it and says why)
  ReadError,      // a sector could not be read
  Differs,        // verifying found a sector that differs from the image
  Cancelled,      // stopped between two sectors
  CannotSave,     // the image read could not be saved
};

// The range to write: "Whole disk" is every sector of the image; Start..End must lie inside the
// image, and on a disk of fixed size inside the disk too.
Outcome<FloppyStatus> PlanWrite(std::uint64_t imageBytes, const RangeChoice& choice,
                                const RawDisk& disk, WriteRange& range);

enum class FloppyPhase { Writing, Verifying, Reading };

// Called after each sector: the phase, the sector just done, and the range.
using FloppyProgress = std::function<void(FloppyPhase phase, std::uint64_t sector,
                                          std::uint64_t first, std::uint64_t last)>;

struct FloppyRun {
  FloppyProgress progress;                    // may be empty
  const std::atomic<bool>* cancel = nullptr;  // set by another thread to stop
  bool verify = true;                         // read every sector written back and compare
};

// "Sector N of M" for sector s of a range ending at `last` (N = s + 1, M = last + 1).
std::string SectorStatusText(std::uint64_t s, std::uint64_t last);
// The status text of a sector of any phase ("Verifying sector N of M", "Reading ...").
std::string PhaseStatusText(FloppyPhase phase, std::uint64_t s, std::uint64_t last);

// Writes sectors range.first..range.last of `image` to the same sectors of the disk, in
// ascending order; an image under 400 sectors has its sector 0 written first (then the drive is
// reset and its boot sector read again). The first failure stops the work: the message names the
// sector and the system's reason; the sectors before it are written, none after it. Then, unless
// `run.verify` is off, every sector written is read back and compared.
Outcome<FloppyStatus> WriteImageToDisk(RawDisk& disk, Bytes image, const WriteRange& range,
                                       const FloppyRun& run = {});

// The whole floppy as an image: its size is the boot sector's total sectors times bytes per
// sector, refused when the boot sector cannot be read, gives no usable size, or claims more
// than the disk holds.
struct DiskRead {
  Outcome<FloppyStatus> outcome;
  std::vector<std::uint8_t> bytes;
};
DiskRead ReadDiskImage(RawDisk& disk, const FloppyRun& run = {});

// Reads the floppy and saves it as `target` (a temporary file renamed over it, so a failure
// leaves no half-written image).
Outcome<FloppyStatus> ReadDiskToFile(RawDisk& disk, const std::filesystem::path& target,
                                     const FloppyRun& run, FileIo& io);

}  // namespace quarnel
