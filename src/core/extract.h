// Extracting files of the image to host files: exactly the entry's size in bytes, the read-only
// bit as the host's missing write permission, and the entry's date and time as the file's
// modification time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/disk_image.h"
#include "core/fat.h"
#include "core/outcome.h"
#include "core/save_image.h"
#include "core/volume.h"

namespace quarnel {

// The bytes of a file: as many clusters of its chain as its size covers (a chain that goes on
// past them is not looked at), walked by ChainPolicy::Read: the walk stops at a value that is no
// data cluster and at a cluster met before. `earlyEnd` says what an end marker before the size
// is covered means. A size beyond the data area is damage: nothing is read.
struct ChainBytes {
  std::vector<std::uint8_t> bytes;  // `size` bytes when complete, fewer otherwise
  bool complete = true;
  bool endedEarly = false;  // ChainEarlyEnd::Short: an end marker came before the size was
                            // covered (bytes hold what the chain has); otherwise an incomplete
                            // read met a broken chain
  // The read stands as the policy takes it: complete, or ended early where that is no break.
  bool ok() const { return complete || endedEarly; }
};
ChainBytes ReadChainBytes(const DiskImage& image, std::uint16_t first, std::uint32_t size,
                          ChainEarlyEnd earlyEnd = ChainEarlyEnd::Short);

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

}  // namespace quarnel
