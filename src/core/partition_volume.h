// What a partition holds, as a listing of partitions shows it: the kind of FAT, the volume
// name and the size of its volume, read from the boot sector and the root directory alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/geometry.h"
#include "core/partition_table.h"
#include "core/sector_store.h"

namespace quarnel {

struct PartitionVolume {
  bool readable = false;  // the boot sector gives a layout the volume may be read by
  FatKind fatKind = FatKind::Fat12;
  std::int32_t clusters = 0;
  std::uint64_t bytes = 0;  // what the boot sector says the volume holds
  std::string label;        // the root directory's volume name, trailing blanks removed
  // Why the volume cannot be read (the boot sector's fault in words); empty when it can.
  std::string fault;
  // A disagreement that does not keep the volume from being read: a partition type that claims
  // the other FAT than the cluster count gives (the cluster count decides).
  std::string note;
};

// The volume of partition `p` seen through `volume` (the partition's own store; offsets from
// the partition's start). Partitions of other types than FAT give an unreadable summary that
// says so.
PartitionVolume ReadPartitionVolume(const SectorStore& volume, const Partition& p);

// "FAT12" or "FAT16".
std::string_view FatKindName(FatKind kind);

}  // namespace quarnel
