// What a file's properties show beside its listed fields: the clusters and sectors it occupies
// as ranges, whether its chain is sound (the disk check's findings about the entry), and the
// creation and access dates PC systems write into the entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/directory.h"
#include "core/disk_image.h"

namespace quarnel::tools {

// first..last, both included.
struct NumberRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  bool operator==(const NumberRange&) const = default;
};

// The runs of consecutive numbers in `clusters` as they come (chain order): 2 3 4 9 8 gives
// 2-4, 9, 8.
std::vector<NumberRange> ClusterRanges(const std::vector<std::uint16_t>& clusters);
// The sectors of the volume that those clusters occupy, one range per cluster range.
std::vector<NumberRange> SectorRanges(const DiskGeometry& geometry,
                                      const std::vector<NumberRange>& clusters);
// "2-4, 9, 8"; "" for none.
std::string RangesText(const std::vector<NumberRange>& ranges);

struct FileProperties {
  std::vector<std::uint16_t> chain;   // the clusters of the chain, as fileinfo lists them
  std::vector<NumberRange> clusters;  // ClusterRanges(chain)
  std::vector<NumberRange> sectors;   // SectorRanges(clusters)
  // What the disk check finds wrong with the entry's first cluster, size and chain (cross-links
  // included); the chain is sound when there is nothing.
  std::vector<std::string> chainFaults;
  bool ChainSound() const { return chainFaults.empty(); }
  // "5/04/2002 13:05:08" and "5/04/2002" as PC systems keep them in the entry; "" when the entry
  // holds none.
  std::string created;
  std::string accessed;
};

FileProperties BuildFileProperties(const DiskImage& image, const FileEntry& entry);

}  // namespace quarnel::tools
