// A card or hard-disk image open in the main window: its partitions, listed as the top level of
// the file list, and the one whose volume is open. Each partition row carries its partition
// number in the row's slot, so commands on a row take the partition as a value.
#pragma once

#include <string>

#include "core/device_kind.h"
#include "listing/file_rows.h"

namespace quarnel {

struct CardState {
  std::string path;
  DeviceSurvey survey;
  int entered = 0;  // the partition whose volume is open; 0 while the partitions are listed

  bool Listing() const { return entered == 0; }
};

// "Partition 2".
std::string PartitionCaption(int number);

// The rows of the partitions: caption, size, type ("FAT16"; "Linux (83)" for other types),
// volume name (or why the volume cannot be read) and first sector; the summary names the table.
// The columns the rows fill are those of the file list: the volume name stands in the third,
// the first sector in the fourth.
FileListing PartitionRows(const DeviceSurvey& survey);

}  // namespace quarnel
