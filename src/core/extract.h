// Extracting files of the image to host files: exactly the entry's size in bytes, the read-only
// bit as the host's missing write permission, and the entry's date and time as the file's
// modification time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/atomic_write.h"
#include "core/disk_image.h"
#include "core/fat.h"
#include "core/outcome.h"
#include "core/volume.h"

namespace quarnel {

enum class ExtractStatus {
  Written,
  NoImage,
  FirstClusterOutOfBounds,  // "File's first cluster out of bounds!"; nothing written
  ClusterError,             // the chain ends before the size is covered: "Cluster Error in Fat";
                            // nothing written (a cut file would pass for a whole one)
  CannotWrite,              // "Cannot write file: " + path
};
using ExtractOutcome = Outcome<ExtractStatus>;

// Writes the file of `entry` to `hostPath`.
ExtractOutcome ExtractFile(const DiskImage& image, const FileEntry& entry,
                           const std::filesystem::path& hostPath, FileIo& io = DefaultFileIo());

// Gives the host folder (or file) `hostPath` the date and time of `entry` as its modification
// time; false when the entry's date is none or the host refuses.
bool ApplyEntryTime(const DiskImage& image, const FileEntry& entry,
                    const std::filesystem::path& hostPath);

}  // namespace quarnel
