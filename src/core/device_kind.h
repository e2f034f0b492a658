// What an image file holds, told by its bytes rather than its name: a card or hard-disk image
// with a partition table, one volume larger than a floppy, or neither (a floppy, or something
// else). Card images are often named .img, which is also the name of a raw floppy dump: the
// bytes decide which of the two a file is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/partition_table.h"
#include "core/partition_volume.h"

namespace quarnel {

enum class DeviceKind {
  Other,        // no partition table and no volume larger than a floppy (or no readable file)
  Partitioned,  // a partition table (Nextor, MBR, Sunrise IDE)
  LargeVolume,  // no table, and sector 0 is the boot sector of a volume larger than a floppy
};

DeviceKind DeviceKindOf(const std::string& path);

// The partitions of a card image with what each one holds, as a listing of them shows it.
struct DeviceSurvey {
  std::uint64_t bytes = 0;  // the size of the image file
  PartitionTable table;
  std::vector<PartitionVolume> volumes;  // one per partition of the table, in its order
};

// Reads the table and the boot sector and root directory of each partition's volume; nothing
// else of the image is read. Empty (no table) when the file cannot be opened.
DeviceSurvey SurveyDevice(const std::string& path);

}  // namespace quarnel
