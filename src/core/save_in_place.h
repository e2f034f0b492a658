// Saving a volume read in place (an image file larger than a floppy, a partition): only the
// sectors a change wrote reach the file, in an order that keeps the disk consistent at every step
// it can, and the file is flushed once at the end. Floppies are saved whole (save_image.h).
#pragma once

#include <cstdint>
#include <vector>

#include "core/disk_image.h"

namespace quarnel {

// The order in which the staged sectors of `image` reach its file: first the sectors of clusters
// that were free before the change (new data nothing points to yet), then, when the change takes
// free clusters, the FAT copies (first copy first) and after them everything else (directory
// entries, the root, the boot sector); when it takes none (a delete), everything else before the
// FAT copies, so that no entry ever points at clusters the FAT calls free.
std::vector<std::uint64_t> InPlaceWriteOrder(const DiskImage& image);

// Writes what `image` staged to its file in InPlaceWriteOrder and flushes the file once. True
// when there was nothing to write or all of it was written.
bool CommitInPlace(DiskImage& image);

}  // namespace quarnel
