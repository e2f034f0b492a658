// Finding free data clusters: the lowest ones, as an allocation picks them, and how many there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/disk_image.h"

namespace quarnel {

// The `n` lowest free data clusters in ascending order, found in one pass over the FAT; fewer
// when the disk has fewer. `from`: a cluster below which none is free, where the pass starts.
std::vector<std::uint16_t> LowestFreeClusters(const DiskImage& image, std::size_t n,
                                              std::uint32_t from = 2);

// Number of free data clusters.
std::size_t FreeClusterCount(const DiskImage& image);

// The `need` clusters an allocation picks once `release` is freed: the lowest among the free
// data clusters and `release`, ascending (fewer when there are fewer). `from` as for
// LowestFreeClusters.
std::vector<std::uint16_t> LowestFreeAfterRelease(const DiskImage& image,
                                                  const std::vector<std::uint16_t>& release,
                                                  std::size_t need, std::uint32_t from = 2);

}  // namespace quarnel
