// The disk map as the viewer draws it. A floppy's map has a mark for each cluster; a FAT16
// volume of up to 65,524 clusters would take some 1,600 rows that way, so its map is scaled:
// each mark stands for the same number of consecutive cells, enough to keep the map within
// kMostDrawnCells marks, and shows the most telling class among them (a mark is free only
// where all its clusters are).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/disk_report.h"

namespace quarnel {

// About a hundred rows of the map's forty marks.
inline constexpr std::size_t kMostDrawnCells = 4096;

struct FoldedMap {
  std::size_t perMark = 1;  // cells of the map behind each mark
  std::vector<tools::MapClass> marks;

  // The row label as the map's own rows have it, counting the cells of the map ("  0\t",
  // " 680\t").
  std::string RowLabel(std::size_t row) const;
};

FoldedMap FoldMap(const tools::ClusterMap& map, std::size_t mostMarks = kMostDrawnCells);

// What mark `mark` tells when the pointer rests on it: as the map's cell says for a mark of one
// cell; for more, the clusters it covers and how many of them are of each class, and the first
// file met among them.
std::string DescribeMark(const tools::ClusterMap& map, const FoldedMap& folded, std::size_t mark,
                         const std::vector<std::string>& owners);

}  // namespace quarnel
